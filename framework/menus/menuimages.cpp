// The image strips of commands: four menu cells made from one toolbar image.

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "framework/appln/errorhandler.h"
#include "framework/context/applncontext.h"
#include "framework/menus/checkmark.h"
#include "framework/menus/menu.h"
#include "platform/drelm/dialoglook.h"
#include "platform/tirsk/drawhelpers.h"
#include "platform/win/gdi.h"
#include "platform/win/images.h"
#include "platform/win/menu.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/winqt.h"

namespace {

struct METRICS {
    int image; // toolbar images are square
    int cellwidth;
    int cellheight;
};

const METRICS& metrics()
{
    static const METRICS computed = [] {
        const int small = GetSystemMetrics(SM_CXSMICON);
        if (small < 21)
            return METRICS { 16, 20, 19 };
        if (small <= 28)
            return METRICS { 24, 30, 29 };
        return METRICS { 32, 40, 38 };
    }();
    return computed;
}

// The dialog library's gradient of the cells, pressed in the cell of a checked item.
constexpr int facegradient = 0;

HBITMAP checkmark = nullptr;
bool checkmarktried = false;

// The strip of a bitmap of the module, else of the framework; null (reported) when neither has it.
HBITMAP fromresource(const char* name, int index, COLORREF transparent)
{
    const std::string resource = MENU::bmp_name(name);
    HBITMAP strip = LoadBitmapA(getapplngraphicsinstance(), resource.c_str());
    if (!strip)
        strip = LoadBitmapA(getapplnlanguageinstance(), resource.c_str());
    if (!strip) {
        APPLNERRORHANDLER::showierror("Cannot find bitmap '%s'.\n", resource.c_str());
        return nullptr;
    }
    return MENU::make_images(strip, index, transparent);
}

QRgb qrgbof(COLORREF colour)
{
    return qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// The image lightened by percent of the way to white.
QImage lightened(QImage image, int percent)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const COLORREF c = adjust_colour(RGB(qRed(p), qGreen(p), qBlue(p)), percent);
            line[x] = qRgba(GetRValue(c), GetGValue(c), GetBValue(c), qAlpha(p));
        }
    }
    return image;
}

void frame(HDC dc, const RECT& cell, bool raised)
{
    HGDIOBJ old = SelectObject(dc, raised ? dlg_hihilitepen : dlg_lolitepen);
    MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
    LineTo(dc, cell.left, cell.top);
    LineTo(dc, cell.right - 1, cell.top);
    SelectObject(dc, raised ? dlg_lolitepen : dlg_hihilitepen);
    LineTo(dc, cell.right - 1, cell.bottom - 1);
    LineTo(dc, cell.left, cell.bottom - 1);
    SelectObject(dc, old);
}

// The four cells' backgrounds: flat, flat, raised, sunken.
QImage cellbackgrounds()
{
    const int width = MENU::menu_bmpwidth();
    const int height = MENU::menu_bmpheight();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP cells = CreateCompatibleBitmap(dc, 4 * width, height);
    HGDIOBJ old = SelectObject(dc, cells);
    for (int k = 0; k < 4; ++k) {
        const RECT cell { k * width, 0, (k + 1) * width, height };
        GradientFillRect(dc, &cell, facegradient, 0, k == 3 ? 1 : 0);
        if (k >= 2)
            frame(dc, cell, k == 2);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    QImage image = winqt::toimage(cells).convertToFormat(QImage::Format_ARGB32);
    DeleteObject(cells);
    return image;
}

} // namespace

HBITMAP sharedcheckmark()
{
    if (!checkmarktried) {
        checkmarktried = true;
        checkmark = fromresource(CHECKMARKBITMAP, 0, MENU::TRANSPARENTCOLOUR);
    }
    return checkmark;
}

int MENU::tbar_bmpwidth()
{
    return metrics().image;
}

int MENU::tbar_bmpheight()
{
    return metrics().image;
}

int MENU::menu_bmpwidth()
{
    return metrics().cellwidth;
}

int MENU::menu_bmpheight()
{
    return metrics().cellheight;
}

std::string MENU::bmp_name(const char* name)
{
    const int size = tbar_bmpwidth();
    return size == 16 ? name : name + std::to_string(size);
}

HBITMAP MENU::make_images(const char* name, int index, COLORREF transparent)
{
    if (!name) {
        DeleteObject(checkmark);
        checkmark = nullptr;
        checkmarktried = false;
        return nullptr;
    }
    sharedcheckmark();
    return fromresource(name, index, transparent);
}

HBITMAP MENU::make_images(HBITMAP strip, int index, COLORREF transparent)
{
    const QImage source = winqt::toimage(strip).convertToFormat(QImage::Format_ARGB32);
    DeleteObject(strip);
    const int size = tbar_bmpwidth();
    if (index < 0 || (index + 1) * size > source.width() || source.height() < size)
        return nullptr;
    HDC screen = CreateCompatibleDC(nullptr);
    const QRgb key = qrgbof(GetNearestColor(screen, transparent)) & RGB_MASK;
    DeleteDC(screen);
    QImage image = source.copy(index * size, 0, size, size);
    bool visible = false;
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            if (qAlpha(line[x]) == 0 || (line[x] & RGB_MASK) == key)
                line[x] = 0;
            else
                visible = true;
        }
    }
    if (!visible)
        return nullptr;
    const QImage greyed
        = QIcon(QPixmap::fromImage(image)).pixmap(image.size(), 1.0, QIcon::Disabled).toImage();
    const QImage images[4] = { image, greyed, lightened(image, 20), image };
    QImage strip4 = cellbackgrounds();
    QPainter painter(&strip4);
    const int width = menu_bmpwidth();
    const QPoint inset((width - size) / 2, (menu_bmpheight() - size) / 2);
    for (int k = 0; k < 4; ++k)
        painter.drawImage(QPoint(k * width, 0) + inset, images[k]);
    painter.end();
    return winqt::tobitmap(strip4);
}

void MENU::set_popupmenu_bitmaps(
    HMENU popup, HBITMAP strip, std::initializer_list<std::pair<unsigned short, int>> images)
{
    const QImage whole = winqt::toimage(strip);
    for (const auto& [id, index] : images) {
        HBITMAP cells = make_images(winqt::tobitmap(whole), index, TRANSPARENTCOLOUR);
        if (cells && !SetMenuItemBitmaps(popup, id, MF_BYCOMMAND, cells, cells))
            DeleteObject(cells);
    }
}

void MENU::zap_popupmenu_bitmaps(HMENU popup)
{
    const int count = GetMenuItemCount(popup);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_CHECKMARKS;
        if (!GetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &info) || !info.hbmpChecked)
            continue;
        DeleteObject(info.hbmpChecked);
        if (info.hbmpUnchecked != info.hbmpChecked)
            DeleteObject(info.hbmpUnchecked);
        info.hbmpChecked = info.hbmpUnchecked = nullptr;
        SetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &info);
    }
}
