#include "platform/casq/printerdc.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <strings.h>
#include <sys/statvfs.h>

#include "platform/win/globalmemory.h"
#include "platform/win/replacefile.h"
#include "platform/win/winerror.h"

namespace casq {
namespace {

struct PAPER {
    SHORT code;
    QPageSize::PageSizeId id;
};

// The paper sizes of the settings record that the toolkit knows by name.
constexpr PAPER papers[] = { { 1, QPageSize::Letter }, { 3, QPageSize::Tabloid }, { 4, QPageSize::Ledger },
    { 5, QPageSize::Legal }, { 7, QPageSize::Executive }, { 8, QPageSize::A3 }, { 9, QPageSize::A4 },
    { 11, QPageSize::A5 }, { 12, QPageSize::JisB4 }, { 13, QPageSize::JisB5 }, { 20, QPageSize::Comm10E },
    { 27, QPageSize::DLE }, { 28, QPageSize::C5E }, { 34, QPageSize::EnvelopeB5 }, { 66, QPageSize::A2 },
    { 70, QPageSize::A6 } };

void copyname(BYTE (&to)[32], const std::string& from)
{
    std::memset(to, 0, sizeof to);
    std::memcpy(to, from.data(), std::min(from.size(), sizeof to - 1));
}

// Prepares a toolkit printer for one of the process's printers.
void setup(QPrinter& printer, const PRINTERINFO& info)
{
    if (info.driver == "PDF") {
        printer.setOutputFormat(QPrinter::PdfFormat);
        return;
    }
    printer.setPrinterName(QString::fromStdString(info.name));
}

bool completepdf(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16) {
        return false;
    }
    file.seek(std::max<qint64>(0, file.size() - 32));
    return file.readAll().contains("%%EOF");
}

bool shortofroom(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct statvfs space { };
    return statvfs(folder.c_str(), &space) == 0 && double(space.f_bavail) * space.f_frsize < 1024.0 * 1024;
}

} // namespace

std::vector<PRINTERINFO> printers()
{
    std::vector<PRINTERINFO> list;
    QString preferred = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& queue : QPrinterInfo::availablePrinters()) {
        list.push_back(PRINTERINFO {
            queue.printerName().toStdString(), "CUPS", "CUPS", queue.printerName() == preferred });
    }
    bool hasdefault = std::any_of(list.begin(), list.end(), [](const PRINTERINFO& p) { return p.isdefault; });
    list.push_back(PRINTERINFO { PDFPRINTER, "PDF", "FILE:", !hasdefault });
    return list;
}

std::optional<PRINTERINFO> findprinter(const char* name)
{
    if (!name) {
        return std::nullopt;
    }
    for (const PRINTERINFO& printer : printers()) {
        if (strcasecmp(printer.name.c_str(), name) == 0) {
            return printer;
        }
    }
    return std::nullopt;
}

DEVMODEA defaultsettings(const PRINTERINFO& info)
{
    QPrinter printer(QPrinter::HighResolution);
    setup(printer, info);
    return settingsof(printer, info.name);
}

DEVMODEA settingsof(const QPrinter& printer, const std::string& name)
{
    DEVMODEA settings {};
    copyname(settings.dmDeviceName, name);
    settings.dmSpecVersion = DM_SPECVERSION;
    settings.dmDriverVersion = PRINTERDRIVERVERSION;
    settings.dmSize = sizeof(DEVMODEA);
    settings.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES
        | DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_COLLATE;
    QPageLayout layout = printer.pageLayout();
    settings.dmOrientation
        = layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    QPageSize size = layout.pageSize();
    settings.dmPaperSize = DMPAPER_USER;
    for (const PAPER& paper : papers) {
        if (paper.id == size.id()) {
            settings.dmPaperSize = paper.code;
        }
    }
    QSizeF millimetres = size.size(QPageSize::Millimeter);
    settings.dmPaperWidth = SHORT(std::clamp(std::lround(millimetres.width() * 10), 1L, 32767L));
    settings.dmPaperLength = SHORT(std::clamp(std::lround(millimetres.height() * 10), 1L, 32767L));
    settings.dmScale = 100;
    settings.dmCopies = SHORT(std::clamp(printer.copyCount(), 1, 32767));
    settings.dmPrintQuality = SHORT(std::clamp(printer.resolution(), 1, 32767));
    settings.dmYResolution = settings.dmPrintQuality;
    settings.dmColor = printer.colorMode() == QPrinter::Color ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    settings.dmDuplex = printer.duplex() == QPrinter::DuplexLongSide ? DMDUP_VERTICAL
        : printer.duplex() == QPrinter::DuplexShortSide              ? DMDUP_HORIZONTAL
                                                                     : DMDUP_SIMPLEX;
    settings.dmCollate = printer.collateCopies() ? 1 : 0;
    return settings;
}

void applysettings(QPrinter& printer, const DEVMODEA& s)
{
    DWORD f = s.dmFields;
    if (f & DM_ORIENTATION) {
        printer.setPageOrientation(
            s.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    bool named = false;
    if (f & DM_PAPERSIZE) {
        for (const PAPER& paper : papers) {
            if (paper.code == s.dmPaperSize) {
                printer.setPageSize(QPageSize(paper.id));
                named = true;
            }
        }
    }
    if (!named && (f & DM_PAPERWIDTH) && (f & DM_PAPERLENGTH) && s.dmPaperWidth > 0 && s.dmPaperLength > 0) {
        printer.setPageSize(
            QPageSize(QSizeF(s.dmPaperWidth / 10.0, s.dmPaperLength / 10.0), QPageSize::Millimeter));
    }
    if ((f & DM_COPIES) && s.dmCopies > 0) {
        printer.setCopyCount(s.dmCopies);
    }
    if ((f & DM_PRINTQUALITY) && s.dmPrintQuality > 0) {
        printer.setResolution(s.dmPrintQuality);
    }
    if (f & DM_COLOR) {
        printer.setColorMode(s.dmColor == DMCOLOR_MONOCHROME ? QPrinter::GrayScale : QPrinter::Color);
    }
    if (f & DM_DUPLEX) {
        printer.setDuplex(s.dmDuplex == DMDUP_VERTICAL ? QPrinter::DuplexLongSide
                : s.dmDuplex == DMDUP_HORIZONTAL       ? QPrinter::DuplexShortSide
                                                       : QPrinter::DuplexNone);
    }
    if (f & DM_COLLATE) {
        printer.setCollateCopies(s.dmCollate != 0);
    }
}

HGLOBAL makedevnames(const PRINTERINFO& printer)
{
    std::string strings = printer.driver + '\0' + printer.name + '\0' + printer.port + '\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DEVNAMES) + strings.size());
    auto* names = static_cast<DEVNAMES*>(GlobalLock(block));
    if (!names) {
        GlobalFree(block);
        return nullptr;
    }
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = WORD(sizeof(DEVNAMES) + printer.driver.size() + 1);
    names->wOutputOffset = WORD(names->wDeviceOffset + printer.name.size() + 1);
    names->wDefault = printer.isdefault ? DN_DEFAULTPRN : 0;
    std::memcpy(reinterpret_cast<char*>(names) + sizeof(DEVNAMES), strings.data(), strings.size());
    GlobalUnlock(block);
    return block;
}

HGLOBAL makedevmode(const DEVMODEA& settings)
{
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DEVMODEA));
    void* bytes = GlobalLock(block);
    if (!bytes) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(bytes, &settings, sizeof settings);
    GlobalUnlock(block);
    return block;
}

std::optional<PRINTERINFO> printerofdevnames(HGLOBAL devnames)
{
    size_t size = GlobalSize(devnames);
    const auto* bytes = static_cast<const char*>(GlobalLock(devnames));
    if (!bytes || size <= sizeof(DEVNAMES)) {
        GlobalUnlock(devnames);
        return std::nullopt;
    }
    const auto* names = reinterpret_cast<const DEVNAMES*>(bytes);
    WORD offset = names->wDeviceOffset;
    std::optional<PRINTERINFO> found;
    if (offset >= sizeof(DEVNAMES) && offset < size && std::memchr(bytes + offset, '\0', size - offset)) {
        found = findprinter(bytes + offset);
    }
    GlobalUnlock(devnames);
    return found;
}

PRINTERDC::PRINTERDC(const PRINTERINFO& printerinfo, const DEVMODEA* settings, bool information)
    : info(printerinfo)
    , printer(QPrinter::HighResolution)
    , infoonly(information)
{
    // Made by CreateDCA and freed by DeleteDC as the layer frees its memory contexts.
    memory = true;
    setup(printer, info);
    printer.setFullPage(false);
    if (settings) {
        applysettings(printer, *settings);
    }
}

PRINTERDC::~PRINTERDC()
{
    if (started) {
        abortdoc();
    }
}

PRINTERDC* PRINTERDC::of(HDC dc)
{
    return dynamic_cast<PRINTERDC*>(win::DeviceContext::of(dc));
}

SIZE PRINTERDC::size() const
{
    QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    return SIZE { paint.width(), paint.height() };
}

int PRINTERDC::devicecaps(int index)
{
    int dpi = printer.resolution();
    QPageLayout layout = printer.pageLayout();
    QRect paint = layout.paintRectPixels(dpi);
    QRect full = layout.fullRectPixels(dpi);
    QRectF paintmm = layout.paintRect(QPageLayout::Millimeter);
    bool colour = printer.colorMode() == QPrinter::Color;
    switch (index) {
    case DRIVERVERSION:
        return PRINTERDRIVERVERSION;
    case TECHNOLOGY:
        return DT_RASPRINTER;
    case HORZSIZE:
        return int(std::lround(paintmm.width()));
    case VERTSIZE:
        return int(std::lround(paintmm.height()));
    case HORZRES:
        return paint.width();
    case VERTRES:
        return paint.height();
    case LOGPIXELSX:
    case LOGPIXELSY:
    case ASPECTX:
    case ASPECTY:
        return dpi;
    case ASPECTXY:
        return int(std::lround(dpi * std::sqrt(2.0)));
    case BITSPIXEL:
    case COLORRES:
        return colour ? 24 : 1;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return colour ? -1 : 2;
    case NUMBRUSHES:
    case NUMPENS:
        return -1;
    case CLIPCAPS:
        return 1;
    case PHYSICALWIDTH:
        return full.width();
    case PHYSICALHEIGHT:
        return full.height();
    case PHYSICALOFFSETX:
        return paint.left();
    case PHYSICALOFFSETY:
        return paint.top();
    case RASTERCAPS:
        return 0x2A89; // bit blocks, large bitmaps, DIB transfer and stretching
    case CURVECAPS:
        return 0x1FF;
    case LINECAPS:
        return 0xFE;
    case POLYGONALCAPS:
        return 0x3FF;
    case TEXTCAPS:
        return 0x5F3F; // any rotation and scaling, bold, italic, underline, strikeout, vector faces
    case SHADEBLENDCAPS:
        return 0x3; // constant and per-pixel alpha
    default:
        return 0;
    }
}

int PRINTERDC::startdoc(const DOCINFOA& document)
{
    static std::atomic<int> jobs { 0 };
    if (infoonly || started) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    bool tofile = document.lpszOutput && *document.lpszOutput;
    if (!tofile && info.driver == "PDF") {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    if (tofile) {
        target = document.lpszOutput;
        stream = openbeside(target, temporary);
        if (!stream) {
            SetLastError(ERROR_ACCESS_DENIED);
            return SP_ERROR;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(temporary));
    }
    printer.setDocName(QString::fromUtf8(document.lpszDocName ? document.lpszDocName : ""));
    if (!painter.begin(&printer)) {
        discardfile();
        SetLastError(ERROR_WRITE_FAULT);
        return SP_ERROR;
    }
    started = true;
    pages = 0;
    return ++jobs;
}

int PRINTERDC::startpage()
{
    if (!started) {
        return SP_ERROR;
    }
    if (pages > 0 && !printer.newPage()) {
        return SP_ERROR;
    }
    ++pages;
    return 1;
}

int PRINTERDC::endpage()
{
    return started ? 1 : SP_ERROR;
}

QPainter* PRINTERDC::jobpainter()
{
    return started && painter.isActive() ? &painter : nullptr;
}

int PRINTERDC::enddoc()
{
    if (!started) {
        return SP_ERROR;
    }
    started = false;
    painter.end();
    if (!stream) {
        return 1;
    }
    if (!completepdf(temporary)) {
        bool full = shortofroom(target);
        discardfile();
        SetLastError(ERROR_WRITE_FAULT);
        return full ? SP_OUTOFDISK : SP_ERROR;
    }
    std::FILE* closing = stream;
    stream = nullptr;
    if (!replacetarget(closing, temporary, target)) {
        int fault = errno;
        SetLastError(ERROR_WRITE_FAULT);
        return fault == ENOSPC || fault == EDQUOT ? SP_OUTOFDISK : SP_ERROR;
    }
    return 1;
}

int PRINTERDC::abortdoc()
{
    if (!started) {
        return SP_ERROR;
    }
    started = false;
    printer.abort();
    painter.end();
    discardfile();
    return 1;
}

void PRINTERDC::discardfile()
{
    if (stream) {
        discardbeside(stream, temporary);
        stream = nullptr;
    }
}

} // namespace casq
