// The exports: a form of the calling module with the shared handler, then the kind's device drawn
// by the editor.

#include <QByteArray>
#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QVariant>
#include <cstring>
#include <memory>

#include "framework/context/applncontext.h"
#include "framework/output/applnprint.h"
#include "framework/output/outputform.h"
#include "framework/output/outputmessages.h"
#include "platform/casq/devices.h"
#include "platform/drelm/form.h"
#include "platform/drelm/messageboxes.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/input.h"

namespace {

constexpr long UNITSPERINCH = 2540000;
constexpr int bitmapdpi[] = { 100, 200, 300, 400, 600 };
constexpr int bitmapdepth[] = { 1, 4, 8, 0 };
constexpr int vectordevices = 4; // HPGL, HPGL (CTO), HI-80, DPML

// An index the user's settings hold, kept inside its table.
int choice(int index, int count)
{
    return index >= 0 && index < count ? index : 0;
}

// A compensation of 0 (settings never set) means none.
double compensation(float factor)
{
    return factor > 0 ? factor : 1.0;
}

// Fills the settings and proposes the file, as every export does before its form.
void prepare(APPLNPRINT& print, const char* docname, const char* ext)
{
    print.op_initocs(print.ocs);
    print.setoutputfilename(print.ocs.filename, docname, ext);
}

} // namespace

COLORREF outputbackground(COLORREF chosen, const OCS& settings)
{
    COLORREF colour = settings.colour_bpp == 0 ? RGB(255, 255, 255) : chosen;
    return settings.invert ? colour ^ 0xFFFFFF : colour;
}

int APPLNPRINT::op_fdierror(char* text)
{
    errbox(text);
    return 0;
}

int APPLNPRINT::drawexport(VGDVC& device, char* filename)
{
    FDIERRORHANDLER previous = fdi_seterrorhandler(op_fdierror);
    op_drawocs(ocs, &device, filename);
    int code = device.closeoutput();
    fdi_seterrorhandler(previous);
    return code;
}

int APPLNPRINT::op_bitmap()
{
    ocs.colour_set = -1;
    BMDVC device(ocs.tofile ? ocs.filename : nullptr, !ocs.tofile,
        bitmapdepth[choice(ocs.colour_bpp, std::size(bitmapdepth))], outputbackground(bkcolour, ocs), UNITSPERINCH,
        bitmapdpi[choice(rsln, std::size(bitmapdpi))]);
    device.setcompensation(compensation(ocs.xcomp), compensation(ocs.ycomp));
    prompt(MSG_GENBITMAP);
    return drawexport(device, nullptr);
}

int APPLNPRINT::op_metafile()
{
    MFDVC device(ocs.tofile ? ocs.filename : nullptr, nullptr, erasebkgnd,
        outputbackground(getapplncolour(0), ocs), UNITSPERINCH);
    device.setcompensation(compensation(ocs.xcomp), compensation(ocs.ycomp));
    status(MSG_GENMETAFILE);
    return drawexport(device, nullptr);
}

int APPLNPRINT::op_pdf(int option)
{
    erasebkgnd = 1;
    PDFDVC device(ocs.filename, showdoc, outputbackground(bkcolour, ocs), UNITSPERINCH, option);
    status(MSG_GENPDF);
    return drawexport(device, nullptr);
}

int APPLNPRINT::op_svg(int option)
{
    erasebkgnd = 1;
    SVGDVC device(ocs.filename, showdoc, outputbackground(bkcolour, ocs), UNITSPERINCH, option);
    status(MSG_GENSVG);
    return drawexport(device, nullptr);
}

int APPLNPRINT::op_dxf(const char* devicetext)
{
    DXDVC device(devicetext, UNITSPERINCH, ocs.dxfoption);
    prompt(MSG_GENDXF);
    return drawexport(device, ocs.filename);
}

int APPLNPRINT::op_eps(const char* devicetext, const char* docname, int option)
{
    PSDVC device(devicetext, docname, 1, UNITSPERINCH, option);
    prompt(MSG_GENEPS);
    return drawexport(device, ocs.filename);
}

int APPLNPRINT::op_vector()
{
    PPDVC device(PLOTTER_HPGL + choice(vectordevice, vectordevices), plotunits, nullptr, plotoption, UNITSPERINCH);
    prompt(MSG_GENVECTOR);
    return drawexport(device, ocs.filename);
}

int APPLNPRINT::op_bitmap_setup(const char* docname, FORMPROC callback)
{
    prepare(*this, docname, "BMP");
    FORM form(GetActiveWindow(), "OP_BITMAP", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, &rsln, &bkcolour, nullptr, nullptr, nullptr, &ocs,
            "Bitmap Files/*.bmp;*.dib/All Files/*.*", callback)
        != IDOK)
        return -1;
    return op_bitmap();
}

int APPLNPRINT::op_metafile_setup(const char* docname, FORMPROC callback)
{
    prepare(*this, docname, "EMF");
    FORM form(GetActiveWindow(), "OP_METAFILE", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, &erasebkgnd, nullptr, nullptr, nullptr, &ocs,
            "Enhanced Metafiles/*.EMF/All Files/*.*", callback)
        != IDOK)
        return -1;
    return op_metafile();
}

int APPLNPRINT::op_pdf_setup(const char*, const char* docname, FORMPROC callback, int option)
{
    prepare(*this, docname, "PDF");
    FORM form(GetActiveWindow(), "OP_PDF", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, &bkcolour, &showdoc, nullptr, nullptr, nullptr, &ocs,
            "PDF Files/*.PDF/All Files/*.*", callback)
        != IDOK)
        return -1;
    return op_pdf(option);
}

int APPLNPRINT::op_svg_setup(const char*, const char* docname, FORMPROC callback, int option)
{
    prepare(*this, docname, "SVG");
    FORM form(GetActiveWindow(), "OP_SVG", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, &bkcolour, &showdoc, nullptr, nullptr, nullptr, &ocs,
            "SVG Files/*.SVG/All Files/*.*", callback)
        != IDOK)
        return -1;
    return op_svg(option);
}

int APPLNPRINT::op_dxf_setup(const char* devicetext, const char* docname, FORMPROC callback)
{
    prepare(*this, docname, "DXF");
    FORM form(GetActiveWindow(), "OP_SPECIAL", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, "Export DXF", &ocs.scale, &ocs.rot, &ocs.mir, &ocs.tofile, nullptr,
            nullptr, nullptr, &ocs, "DXF Files/*.dxf/All Files/*.*", callback)
        != IDOK)
        return -1;
    return op_dxf(devicetext);
}

int APPLNPRINT::op_eps_setup(const char* devicetext, const char* docname, FORMPROC callback, int option)
{
    prepare(*this, docname, "EPS");
    FORM form(GetActiveWindow(), "OP_SPECIAL", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, "Export Postscript", &ocs.scale, &ocs.rot, &ocs.mir, &ocs.tofile,
            nullptr, nullptr, nullptr, &ocs, "EPS Files/*.eps/Postscript Files/*.ps/All Files/*.*", callback)
        != IDOK)
        return -1;
    return op_eps(devicetext, docname, option);
}

int APPLNPRINT::op_vector_setup(const char*, const char* docname, FORMPROC callback)
{
    prepare(*this, docname, "HGL");
    FORM form(GetActiveWindow(), "OP_VECTOR", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, &vectordevice, &ocs.scale, &ocs.rot, &ocs.mir, nullptr, nullptr,
            nullptr, &ocs, "HPGL Files/*.hgl/Plotter Files/*.plt/All Files/*.*", callback)
        != IDOK)
        return -1;
    return op_vector();
}

int APPLNPRINT::op_svg2_setup(const char*, const char* docname, FORMPROC, int option, char* result)
{
    op_initocs(ocs);
    ocs.dm = 0;
    ocs.separate = 1;
    ocs.colour_bpp = 1;
    uniqueoutputname(ocs.filename, docname, "SVG");
    erasebkgnd = 1;
    SSVGDVC device(QString::fromUtf8(ocs.filename), showdoc, outputbackground(getapplncolour(0), ocs), UNITSPERINCH,
        option);
    status(MSG_GENSVG);
    FDIERRORHANDLER previous = fdi_seterrorhandler(op_fdierror);
    op_generatesvg(ocs, &device, nullptr);
    int code = device.closeoutput();
    fdi_seterrorhandler(previous);
    if (result)
        copyoutputname(result, ocs.filename);
    else if (code == FDI_OK)
        infbox(QString("SVG created:\n\n%1").arg(QString::fromUtf8(ocs.filename)).toUtf8().constData());
    return code;
}

QByteArray APPLNPRINT::op_data_setup(QVariant& settings, FORMPROC callback, int option)
{
    op_initocs(ocs);
    QMap<QString, QVariant> map = settings.toMap();
    bool showform = !map.contains("ocs");
    if (!showform)
        extractOcs(map.value("ocs"), ocs);
    if (map.remove("reloadSettings"))
        showform = true;
    COLORREF background = map.contains("bkcolour") ? COLORREF(map.value("bkcolour").toULongLong()) : RGB(255, 255, 255);
    ocs.filename[0] = 0;
    QString caption = QCoreApplication::translate("APPLNPRINT", "Export Project Data - %1").arg(map.value("Name").toString());
    if (showform) {
        QByteArray title = caption.toUtf8();
        FORM form(GetActiveWindow(), "OP_DATA", printdlghlr);
        if (form.open(DLG_MODAL, LT_VARARGS, title.constData(), &background, nullptr, nullptr, nullptr, &ocs,
                nullptr, callback)
            != IDOK)
            return {};
        background = outputbackground(background, ocs);
    }
    erasebkgnd = 1;
    PCDVC device(background, UNITSPERINCH, option, nullptr);
    prompt(MSG_GENOUTPUT);
    drawexport(device, nullptr);
    map.insert("ocs", storeOcs(ocs));
    map.insert("bkcolour", qulonglong(background));
    settings = map;
    return device.getdata();
}
