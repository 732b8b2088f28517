// Project clips: a piece of the project saved in a clip file of its own (a zip with the extension
// "VKTCLIP"), read back into this or another project. The design and the layout each write and
// read their part through their clip interface; the database groups the clip's elements and keeps
// the map of their names to ids; the firmware may make the clip a peripheral block, whose
// descriptor names schematic elements that must be in the clip.
//
// Entries of a clip file: "DESIGN.SEC" (the schematic part), "LAYOUT.RGN" (the layout part),
// "BINDINGS.DAT" (the element map, with both parts or a descriptor), "THUMB.BMP" (a 24-bit picture).

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <sstream>

#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "platform/drelm/messageboxes.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/gdi.h"
#include "platform/win/qt/winqt.h"
#include "shell/project/projectmessages.h"
#include "shell/project/vktproject.h"

namespace {

constexpr const char* CLIPEXTENSION = "VKTCLIP";
constexpr const char* SECTIONENTRY = "DESIGN.SEC";
constexpr const char* REGIONENTRY = "LAYOUT.RGN";
constexpr const char* BINDINGSENTRY = "BINDINGS.DAT";
constexpr const char* THUMBENTRY = "THUMB.BMP";
constexpr unsigned long MSG_CLIPNOTPLACED = 22;

ICLIPSERVER* clipserverof(IDOCSERVER* server)
{
    return server ? static_cast<ICLIPSERVER*>(server->queryinterface(IID_CLIPSERVER)) : nullptr;
}

QByteArray contents(const RAMFILE& file)
{
    return QByteArray(reinterpret_cast<const char*>(file.buffer), file.length);
}

void replace(RAMFILE& file, const QByteArray& bytes)
{
    file.seek(0, SEEK_SET);
    file.length = 0;
    file.write(bytes.constData(), static_cast<int>(bytes.size()));
    file.seek(0, SEEK_SET);
}

void copyfile(const RAMFILE& from, RAMFILE& to)
{
    replace(to, contents(from));
}

int writeentry(VKTARCHIVE& archive, const char* entry, const QByteArray& bytes)
{
    VFILE& file = archive.openfile(entry, nullptr);
    file.write(bytes.constData(), static_cast<int>(bytes.size()));
    return archive.closefile(file, 0);
}

// The picture as a 24-bit BMP; the bitmap is deleted.
QByteArray thumbnailbmp(HBITMAP bitmap)
{
    const QImage image = winqt::toimage(bitmap).convertToFormat(QImage::Format_RGB888);
    DeleteObject(bitmap);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

} // namespace

int VKTPROJECT::bindelements(SNIPPET* clip, XML::ELEMENT element, std::ostream& errors)
{
    int bound = 1;
    if (element.hasAttribute(QStringLiteral("ELEMENT"))) {
        const std::string name = element.attribute(QStringLiteral("ELEMENT")).toStdString();
        const auto at = std::find_if(clip->bindings.begin(), clip->bindings.end(),
            [&name](const std::pair<std::string, uint32_t>& entry) { return entry.first == name; });
        if (at != clip->bindings.end()) {
            element.setdword("UID", at->second);
        } else {
            errors << "Project clip does not contain element '" << name << "' referenced in descriptor." << '\n';
            bound = 0;
        }
    }
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        bound &= bindelements(clip, child, errors);
    return bound;
}

int VKTPROJECT::binddescriptor(SNIPPET* clip, const char* file, const char* invalid, const char* inconsistent)
{
    XML::DOCUMENT descriptor("ROOT");
    QString message;
    if (!XML::parsedocument(descriptor, contents(clip->descriptor), &message, nullptr, nullptr)) {
        errorbox(invalid, message.toLocal8Bit().constData());
        return 0;
    }
    std::ostringstream errors;
    XML::ELEMENT root = descriptor.documentElement();
    if (!bindelements(clip, root, errors)) {
        errorbox(inconsistent, errors.str().c_str());
        return 0;
    }
    root.setattribute("SOURCE", QFileInfo(QString::fromLocal8Bit(file)).completeBaseName().toUtf8().constData());
    replace(clip->descriptor, descriptor.toByteArray());
    return 1;
}

int VKTPROJECT::dropclip(SNIPPET* clip)
{
    if (clip->thumbnail)
        DeleteObject(clip->thumbnail);
    cdb->removesnippet(clip, 0);
    return 0;
}

int VKTPROJECT::exportsnippet(const char* file, IDOCSERVER* server, SHEET* sheet)
{
    SNIPPET* clip = cdb->addsnippet(sheet);
    cdb->cleartags();
    ICLIPSERVER* design = clipserverof(designserver);
    ICLIPSERVER* layout = clipserverof(layoutserver);
    const int schematic = design && design->selectclip(*cdb, clip);
    const int pcb = layout && layout->selectclip(*cdb, clip);
    IFIRMWAREBUILDER* builder = firmwarebuilder();
    if (builder && builder->peripheral(file, clip) && !yesno("Create this project clip as a Peripheral Block?"))
        replace(clip->descriptor, QByteArray());
    if (!schematic && !pcb) {
        errbox("You must select a schematic and/or PCB section of the project to export");
        return dropclip(clip);
    }
    if (!schematic && !confirm("This project clip will contain only a PCB layout."))
        return dropclip(clip);
    if (!pcb && !confirm("This project clip will contain only a schematic."))
        return dropclip(clip);
    std::ostringstream errors;
    if (!cdb->bindsnippet(clip, schematic, pcb, errors)) {
        errorbox("The selections of the schematic and PCB are not consistent.\n%s", errors.str().c_str());
        return dropclip(clip);
    }

    const int described = clip->descriptor.length > 0;
    VKTARCHIVE archive;
    archive.setextension(CLIPEXTENSION);
    if (!archive.beginsave(file))
        return dropclip(clip);
    if ((schematic && pcb) || described) {
        VFILE& bindings = archive.openfile(BINDINGSENTRY, nullptr);
        cdb->savebindings(clip, bindings);
        archive.closefile(bindings, 0);
    }
    if (schematic)
        design->saveclip(SECTIONENTRY, archive, clip);
    if (pcb)
        layout->saveclip(REGIONENTRY, archive, clip);
    if (clip->thumbnail) {
        writeentry(archive, THUMBENTRY, thumbnailbmp(clip->thumbnail));
        clip->thumbnail = nullptr;
    }
    // A clip whose file was not written is no clip: its elements go back to the design.
    if (!archive.endsave())
        return dropclip(clip);
    if (described && builder
        && binddescriptor(clip, file, "The Project Clip Descriptor contains invalid XML.\n%s",
            "The Project Clip Descriptor is inconsistent with the selection in the schematic.\n%s"))
        builder->installperipheral(clip);
    return 1;
}

int VKTPROJECT::importsnippet(const char* file, IDOCSERVER* server, SHEET* sheet)
{
    SNIPPET* clip = cdb->addsnippet(sheet);
    VKTARCHIVE archive;
    archive.setextension(CLIPEXTENSION);
    if (!archive.beginload(file, 1)) {
        errorbox("Cannot open project snippet '%s'", file);
        return dropclip(clip);
    }
    const bool fromdesign = server && server == designserver;
    const bool fromlayout = server && server == layoutserver;
    const bool fromfirmware = server && server == firmwareserver;
    const int schematic = archive.exists(SECTIONENTRY, nullptr);
    const int pcb = archive.exists(REGIONENTRY, nullptr) && !fromfirmware;
    const int bound = archive.exists(BINDINGSENTRY, nullptr);

    int placed = 0;
    if (bound && fromlayout) {
        errbox("This snippet must be imported into TAVI first.");
    } else if (fromdesign && !schematic) {
        errbox("This snippet does not contain a schematic clip.");
    } else if (fromlayout && !pcb) {
        errbox("This snippet does not contain a layout clip.");
    } else {
        if (schematic && opendesign(1))
            if (ICLIPSERVER* design = clipserverof(designserver))
                design->loadclip(SECTIONENTRY, archive, clip);
        if (pcb && openlayout(1))
            if (ICLIPSERVER* layout = clipserverof(layoutserver))
                layout->loadclip(REGIONENTRY, archive, clip);
        if (bound) {
            VFILE& bindings = archive.openfile(BINDINGSENTRY, nullptr);
            cdb->loadbindings(clip, bindings);
            archive.closefile(bindings, 0);
        }
        if (!fromfirmware) {
            std::vector<SNIPPET*> siblings;
            cdb->getsiblings(clip, siblings);
            for (SNIPPET* sibling : siblings) {
                copyfile(clip->section, sibling->section);
                copyfile(clip->region, sibling->region);
            }
        }
        IFIRMWAREBUILDER* builder = firmwarebuilder();
        const int install = builder && builder->peripheral(file, clip)
            && binddescriptor(clip, file, "The Peripheral Descriptor contains invalid XML.\n%s",
                "The Peripheral Descriptor is inconsistent with the Project Clip.\n%s");

        ICLIPSERVER* placer = nullptr;
        int flag = 0;
        if ((fromdesign || fromfirmware) && schematic) {
            placer = clipserverof(designserver);
            flag = fromfirmware ? 1 : 0;
        } else if (fromlayout && pcb) {
            placer = clipserverof(layoutserver);
        }
        placed = placer && placer->placeclip(clip, *cdb, flag);
        if (!placed && placer && fromfirmware)
            showmessage(MSG_CLIPNOTPLACED);
        if (placed && install && openfirmware(0))
            if (IFIRMWAREBUILDER* installer = firmwarebuilder())
                installer->installperipheral(clip);
    }
    archive.endload();
    return placed ? 1 : dropclip(clip);
}

int VKTPROJECT::deletesnippet(SNIPPET* clip)
{
    int deleted = 0;
    for (IDOCSERVER* server : { designserver, layoutserver })
        if (ICLIPSERVER* clips = clipserverof(server))
            deleted |= clips->deleteclip(clip, *cdb) ? 1 : 0;
    if (deleted) {
        cdb->removesnippet(clip, 0);
        cdb->setmodified(1);
    }
    return deleted;
}

int VKTPROJECT::getsnippetthumb(const char* file, QImage& image)
{
    VKTARCHIVE scratch;
    scratch.setextension(CLIPEXTENSION);
    if (!scratch.beginload(file, 1))
        return 0;
    int loaded = 0;
    if (scratch.exists(THUMBENTRY, nullptr)) {
        VFILE& entry = scratch.openfile(THUMBENTRY, nullptr);
        QByteArray bytes;
        char block[4096];
        for (int read; (read = entry.read(block, sizeof block)) > 0;)
            bytes.append(block, read);
        scratch.closefile(entry, 0);
        loaded = image.loadFromData(bytes, "BMP");
    }
    scratch.endload();
    return loaded;
}
