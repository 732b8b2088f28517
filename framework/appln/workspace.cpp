// The workspace file: which frames were open, with their placement and windows, and each loaded
// module's own settings, so that the next run reopens the same layout. An XML document, root
// "WORKSPACE", holding one "FRAME" per saved frame in frame order, then one "MODULE" (attribute
// "name") per module that wrote settings, in module-index order.

#include <cstdio>
#include <sstream>
#include <string>

#include "core/files/diskfile.h"
#include "framework/appln/applnprocess.h"
#include "framework/context/applncontext.h"
#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "platform/drelm/messageboxes.h"
#include "platform/win/input.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"

namespace {

constexpr unsigned long MSG_WORKSPACEREFUSED = 0xF301;

} // namespace

void APPLNPROCESS::saveworkspace()
{
    char name[PATHBUFFER] = {};
    if (!getworkspacename(name) || !name[0])
        return;
    XML::DOCUMENT document("WORKSPACE");
    QDomElement root = document.documentElement();
    for (APPLNFRAME* frame : frames) {
        XML::ELEMENT element = document.createElement("FRAME");
        if (frame->savesettings(element))
            root.appendChild(element);
    }
    for (MODULEINSTANCE* instance : modules) {
        if (!instance->module)
            continue;
        XML::ELEMENT element = document.createElement("MODULE");
        if (!instance->module->savesettings(element))
            continue;
        element.setattribute("name", instance->name);
        root.appendChild(element);
    }
    // Written whole or not at all: a failed save keeps the workspace of the last one.
    const std::string target = pathforwriting(name);
    std::string temporary;
    FILE* stream = openbeside(target, temporary);
    if (!stream)
        return;
    DISKFILE file(stream);
    if (document.save(file))
        replacetarget(stream, temporary, target);
    else
        discardbeside(stream, temporary);
}

void APPLNPROCESS::restoreworkspace()
{
    char name[PATHBUFFER] = {};
    const std::string path = getworkspacename(name) ? findexistingpath(name) : std::string();
    FILE* stream = path.empty() || hidden ? nullptr : std::fopen(path.c_str(), "r");
    if (!stream) {
        for (APPLNFRAME* frame : frames)
            if (frame->numwindows() && !frame->getactivewindow())
                frame->selectwindow(0);
        return;
    }
    XML::DOCUMENT document("WORKSPACE");
    DISKFILE file(stream);
    std::ostringstream errors;
    const int parsed = document.load(file, &errors);
    std::fclose(stream);
    if (!parsed) {
        // Told, and the frames stay as they are: a damaged workspace never stops the project opening.
        std::string reason = errors.str();
        reason = reason.substr(0, reason.find('\n'));
        char text[PATHBUFFER + 1024];
        pushcontext();
        snprintf(text, sizeof text, getapplnmessage(MSG_WORKSPACEREFUSED), path.c_str(), reason.c_str());
        popcontext();
        errbox(text);
        return;
    }

    APPLNFRAME* first = getactiveframe();
    const QDomElement root = document.documentElement();
    if (!root.firstChildElement("FRAME").isNull()) {
        resetworkspace();
        bool isfirst = true;
        for (QDomElement each = root.firstChildElement("FRAME"); !each.isNull();
             each = each.nextSiblingElement("FRAME")) {
            APPLNFRAME* frame = isfirst && first ? first : createnewframe(nullptr);
            isfirst = false;
            if (!frame)
                continue;
            XML::ELEMENT element(each);
            if (!frame->loadsettings(element) && frame != first)
                removeframe(frame);
        }
    }
    for (QDomElement each = root.firstChildElement("MODULE"); !each.isNull();
         each = each.nextSiblingElement("MODULE")) {
        if (!each.hasAttribute("name"))
            continue;
        XML::ELEMENT element(each);
        if (APPLNMODULE* module = findmodule(each.attribute("name").toUtf8().constData()))
            module->loadsettings(element);
    }
    if (first && first->hwnd)
        SetActiveWindow(first->hwnd);
}

void APPLNPROCESS::resetworkspace()
{
    if (APPLNFRAME* frame = getactiveframe()) {
        closepending = 1;
        for (int i = frames.count - 1; i >= 0; --i)
            if (frames.ptr(i) && frames.ptr(i) != frame)
                removeframe(frames.ptr(i));
        frame->closeallwindows();
        closepending = 0;
    }
    for (MODULEINSTANCE* instance : modules)
        if (instance->module)
            instance->module->resetsettings();
    AUTOSAVE::reset();
}
