#include "platform/win/qt/painterdc.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/win/windowtable.h"

namespace winqt {
namespace {

// Which context has a painter open on which pixels: only one may at a time.
std::unordered_map<const uchar*, PainterDC*>& painting()
{
    static std::unordered_map<const uchar*, PainterDC*> owners;
    return owners;
}

QColor colourof(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

QRect rectof(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QPainterPath pathof(const win::Region& region)
{
    QPainterPath path;
    path.setFillRule(region.fillmode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    for (const auto& polygon : region.polygons) {
        QPolygonF shape;
        for (const auto& p : polygon) {
            shape << QPointF(p.x, p.y);
        }
        path.addPolygon(shape);
        path.closeSubpath();
    }
    return path;
}

QPolygon polygonof(const tagPOINT* points, int count)
{
    QPolygon polygon(count);
    for (int i = 0; i < count; ++i) {
        polygon[i] = QPoint(points[i].x, points[i].y);
    }
    return polygon;
}

QPainter::CompositionMode blitmode(DWORD rop)
{
    switch (rop) {
    case SRCPAINT:
        return QPainter::RasterOp_SourceOrDestination;
    case SRCAND:
        return QPainter::RasterOp_SourceAndDestination;
    case SRCINVERT:
        return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY:
        return QPainter::RasterOp_NotSource;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// The source pixels as an opaque image view, so that blits copy colours whatever the alpha.
QImage opaqueview(const QImage& image)
{
    if (image.format() == QImage::Format_RGB32) {
        return image;
    }
    return QImage(
        image.constBits(), image.width(), image.height(), image.bytesPerLine(), QImage::Format_RGB32);
}

QImage sourceimage(win::DeviceContext& source)
{
    if (auto* painter = dynamic_cast<PainterDC*>(&source)) {
        return painter->image();
    }
    return source.bitmap ? imageof(*source.bitmap) : QImage();
}

bool uniformalpha(const win::Bitmap& bitmap)
{
    if (bitmap.pixels.empty()) {
        return true;
    }
    uint32_t alpha = bitmap.pixels.front() >> 24;
    if (alpha != 0 && alpha != 0xff) {
        return false;
    }
    return std::all_of(
        bitmap.pixels.begin(), bitmap.pixels.end(), [&](uint32_t p) { return (p >> 24) == alpha; });
}

} // namespace

QImage iconimage(const win::Icon& icon, UINT flags)
{
    if (!icon.colour) {
        return QImage();
    }
    QImage image = imageof(*icon.colour).convertToFormat(QImage::Format_ARGB32);
    if (flags == DI_IMAGE) {
        return image.convertToFormat(QImage::Format_RGB32);
    }
    if (icon.mask && uniformalpha(*icon.colour)) {
        QImage mask = imageof(*icon.mask);
        for (int y = 0; y < image.height() && y < mask.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width() && x < mask.width(); ++x) {
                bool transparent = (mask.pixel(x, y) & 0xffffff) != 0;
                line[x] = transparent ? 0u : (line[x] | 0xff000000u);
            }
        }
    }
    return image;
}

void finishpainting(const QImage& image)
{
    auto& owners = painting();
    auto found = owners.find(image.constBits());
    if (found != owners.end()) {
        found->second->finish();
    }
}

QFont fontof(const LOGFONTA& logfont)
{
    QFont font(QString::fromUtf8(logfont.lfFaceName));
    if (!logfont.lfFaceName[0]) {
        font = QGuiApplication::font();
    }
    int height = logfont.lfHeight;
    if (height < 0) {
        font.setPixelSize(-height);
    } else if (height > 0) {
        // A positive height is the cell height: ascent plus descent.
        font.setPixelSize(height);
        int cell = QFontMetrics(font).height();
        if (cell > 0 && cell != height) {
            font.setPixelSize(std::max(1, height * height / cell));
        }
    } else {
        font.setPixelSize(12);
    }
    if (logfont.lfWeight > 0) {
        font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(logfont.lfWeight, 100, 900)));
    }
    font.setItalic(logfont.lfItalic);
    font.setUnderline(logfont.lfUnderline);
    font.setStrikeOut(logfont.lfStrikeOut);
    if (logfont.lfQuality == 3) { // NONANTIALIASED_QUALITY
        font.setStyleStrategy(QFont::NoAntialias);
    }
    return font;
}

QImage wrap(win::Bitmap& bitmap)
{
    return QImage(reinterpret_cast<uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
        bitmap.width * 4, bitmap.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QImage imageof(win::Bitmap& bitmap)
{
    QImage image = wrap(bitmap).copy();
    return bitmap.bottomup ? image.mirrored(false, true) : image;
}

PainterDC::PainterDC(HWND window, QImage* surface, QImage* overlay, const RECT* clip)
    : owner(window)
    , surface(surface)
    , overlay(overlay)
{
    if (clip) {
        windowclip = *clip;
        clipped = true;
    }
}

PainterDC::PainterDC()
{
    memory = true;
}

PainterDC::~PainterDC()
{
    finish();
}

void PainterDC::finish()
{
    for (QPainter* open : { &active, &overlaying }) {
        if (!open->isActive()) {
            continue;
        }
        const uchar* key = open->device() ? static_cast<QImage*>(open->device())->constBits() : nullptr;
        open->end();
        auto& owners = painting();
        auto found = owners.find(key);
        if (found != owners.end() && found->second == this) {
            owners.erase(found);
        }
    }
}

QImage PainterDC::image()
{
    if (surface) {
        return *surface;
    }
    if (!bitmap) {
        return QImage();
    }
    return bitmap->bottomup ? wrap(*bitmap).mirrored(false, true) : wrap(*bitmap);
}

SIZE PainterDC::size() const
{
    if (surface) {
        return SIZE { surface->width(), surface->height() };
    }
    return DeviceContext::size();
}

QPainter* PainterDC::painter()
{
    if (active.isActive()) {
        return &active;
    }
    QImage* target = surface ? surface : (wrapped.isNull() ? nullptr : &wrapped);
    if (!target || target->isNull()) {
        return nullptr;
    }
    auto& owners = painting();
    const uchar* key = target->constBits();
    auto found = owners.find(key);
    if (found != owners.end() && found->second != this) {
        found->second->finish();
    }
    if (!active.begin(target)) {
        return nullptr;
    }
    owners[key] = this;
    if (bitmap && bitmap->bottomup && !surface) {
        active.setTransform(QTransform(1, 0, 0, -1, 0, target->height()));
    }
    active.setRenderHint(QPainter::Antialiasing, false);
    applystate(true, true);
    return &active;
}

void PainterDC::statechanged()
{
    if (active.isActive()) {
        applystate(true, true);
    }
}

void PainterDC::bitmapchanged()
{
    finish();
    wrapped = bitmap ? wrap(*bitmap) : QImage();
}

void PainterDC::applystate(bool usepen, bool usebrush)
{
    if (!active.isActive()) {
        return;
    }
    if (usepen && pen && pen->style != PS_NULL) {
        Qt::PenStyle style = pen->style == PS_DASH ? Qt::DashLine
            : pen->style == PS_DOT                 ? Qt::DotLine
            : pen->style == PS_DASHDOT             ? Qt::DashDotLine
            : pen->style == PS_DASHDOTDOT          ? Qt::DashDotDotLine
                                                   : Qt::SolidLine;
        QPen qpen(colourof(pen->colour), pen->width <= 1 ? 0 : pen->width, style, Qt::FlatCap, Qt::MiterJoin);
        active.setPen(qpen);
    } else {
        active.setPen(Qt::NoPen);
    }
    if (usebrush && brush && brush->style != BS_NULL) {
        active.setBrush(QBrush(colourof(brush->colour)));
    } else {
        active.setBrush(Qt::NoBrush);
    }
    active.setClipping(false);
    bool first = true;
    auto addclip = [&](const QPainterPath& path) {
        active.setClipPath(path, first ? Qt::ReplaceClip : Qt::IntersectClip);
        first = false;
    };
    if (clipped) {
        QPainterPath path;
        path.addRect(QRectF(rectof(windowclip)));
        addclip(path);
    }
    for (const auto& region : clip) {
        addclip(pathof(region));
    }
}

QPainter* PainterDC::toolkitpainter(const RECT& area)
{
    QPainter* p = painter();
    if (p) {
        touch(QRectF(area.left, area.top, area.right - area.left, area.bottom - area.top));
    }
    return p;
}

QPainter* PainterDC::overlaypainter(const RECT& area)
{
    if (overlaying.isActive()) {
        touch(QRectF(rectof(area)));
        return &overlaying;
    }
    QPainter* below = overlay ? painter() : nullptr;
    if (!below) {
        return nullptr;
    }
    if (overlay->size() != surface->size()) {
        finishpainting(*overlay);
        *overlay = QImage(surface->size(), QImage::Format_RGB32);
        overlay->fill(Qt::black);
    }
    auto& owners = painting();
    const uchar* key = overlay->constBits();
    auto found = owners.find(key);
    if (found != owners.end() && found->second != this) {
        found->second->finish();
        below = painter();
    }
    if (!overlaying.begin(overlay)) {
        return nullptr;
    }
    owners[key] = this;
    if (below->hasClipping()) {
        overlaying.setClipPath(below->clipPath());
    }
    touch(QRectF(rectof(area)));
    return &overlaying;
}

void PainterDC::scroll(int dx, int dy)
{
    QPainter* p = painter();
    if (!p) {
        return;
    }
    QImage before = surface->copy();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->drawImage(QPoint(dx, dy), before);
    p->restore();
    touch(QRectF(surface->rect()));
    if (!overlay || overlay->isNull()) {
        return;
    }
    QImage shown = overlay->copy();
    RECT all { 0, 0, surface->width(), surface->height() };
    if (QPainter* o = overlaypainter(all)) {
        o->save();
        o->setCompositionMode(QPainter::CompositionMode_Source);
        o->fillRect(overlay->rect(), Qt::black);
        o->drawImage(QPoint(dx, dy), shown);
        o->restore();
    }
}

void PainterDC::touch(const QRectF& area)
{
    QRect r = area.toAlignedRect().adjusted(-1, -1, 1, 1);
    if (bitmap && bitmap->bottomup && !surface) {
        r.moveTop(bitmap->height - r.bottom() - 1);
    }
    dirty = dirty.united(r);
}

void PainterDC::fillrect(const RECT& rect, const win::Brush& fill)
{
    QPainter* p = painter();
    if (!p || fill.style == BS_NULL) {
        return;
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRect area = rectof(rect);
    p->fillRect(area, colourof(fill.colour));
    touch(area);
}

void PainterDC::polyline(const tagPOINT* points, int count)
{
    QPainter* p = painter();
    if (!p || !pen || pen->style == PS_NULL) {
        return;
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPolygon line = polygonof(points, count);
    p->drawPolyline(line);
    touch(line.boundingRect().adjusted(-pen->width, -pen->width, pen->width, pen->width));
}

void PainterDC::rectangle(const RECT& rect)
{
    QPainter* p = painter();
    if (!p) {
        return;
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRect area = rectof(rect);
    if (!pen || pen->style == PS_NULL) {
        // Without a pen the filled area is one pixel smaller each way, as the system draws it.
        p->drawRect(QRect(area.x(), area.y(), area.width() - 1, area.height() - 1));
    } else {
        // Interior and outline apart, so that each pixel is drawn once.
        QPen keep = p->pen();
        p->setPen(Qt::NoPen);
        p->drawRect(area.adjusted(1, 1, -1, -1));
        p->setPen(keep);
        p->setBrush(Qt::NoBrush);
        p->drawRect(QRect(area.x(), area.y(), area.width() - 1, area.height() - 1));
        applystate(true, true);
    }
    touch(area);
}

void PainterDC::focusrect(const RECT& rect)
{
    QPainter* p = painter();
    if (!p) {
        return;
    }
    QRect area = rectof(rect);
    p->save();
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->setPen(QPen(Qt::white, 0, Qt::DotLine, Qt::FlatCap));
    p->setBrush(Qt::NoBrush);
    p->drawRect(QRect(area.x(), area.y(), area.width() - 1, area.height() - 1));
    p->restore();
    touch(area);
}

QFont PainterDC::qfont() const
{
    return font ? fontof(font->logfont) : QGuiApplication::font();
}

int PainterDC::drawtext(std::string_view text, RECT& rect, UINT format)
{
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QFont f = qfont();
    QFontMetrics metrics(f);
    int flags = (format & DT_CENTER) ? Qt::AlignHCenter
        : (format & DT_RIGHT)        ? Qt::AlignRight
                                     : Qt::AlignLeft;
    if (format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        flags |= (format & DT_VCENTER) ? Qt::AlignVCenter
            : (format & DT_BOTTOM)     ? Qt::AlignBottom
                                       : Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & DT_WORDBREAK) {
        flags |= Qt::TextWordWrap;
    }
    if (format & DT_EXPANDTABS) {
        flags |= Qt::TextExpandTabs;
    }
    if (!(format & DT_NOPREFIX)) {
        flags |= Qt::TextShowMnemonic;
    }
    QRect area = rectof(rect);
    if ((format & DT_END_ELLIPSIS) && (format & DT_SINGLELINE)) {
        s = metrics.elidedText(
            s, Qt::ElideRight, area.width(), (format & DT_NOPREFIX) ? 0 : Qt::TextShowMnemonic);
    }
    if (format & DT_CALCRECT) {
        QRect limit(
            area.left(), area.top(), (format & DT_WORDBREAK) ? std::max(1, area.width()) : 1 << 20, 1 << 20);
        QRect needed = metrics.boundingRect(
            limit, flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom), s);
        rect.right = rect.left + needed.width();
        rect.bottom = rect.top + needed.height();
        return needed.height();
    }
    QPainter* p = painter();
    if (!p) {
        return 0;
    }
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setFont(f);
    p->setPen(colourof(textcolour));
    if (!(format & DT_NOCLIP)) {
        p->setClipRect(area, Qt::IntersectClip);
    }
    QRect drawn = metrics.boundingRect(area, flags, s);
    if (bkmode == OPAQUE) {
        p->fillRect(drawn.intersected(area), colourof(bkcolour));
    }
    p->drawText(area, flags, s);
    p->restore();
    touch(area);
    return (format & (DT_VCENTER | DT_BOTTOM)) ? drawn.bottom() + 1 - area.top() : drawn.height();
}

SIZE PainterDC::textextent(std::string_view text)
{
    QFontMetrics metrics(qfont());
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return SIZE { metrics.horizontalAdvance(s), metrics.height() };
}

bool PainterDC::blit(const RECT& to, win::DeviceContext& source, const RECT& from, DWORD rop)
{
    QPainter* p = painter();
    if (!p) {
        return false;
    }
    QRect target = rectof(to);
    switch (rop) {
    case BLACKNESS:
    case WHITENESS:
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->fillRect(target, rop == BLACKNESS ? Qt::black : Qt::white);
        touch(target);
        return true;
    case DSTINVERT:
        p->setCompositionMode(QPainter::RasterOp_NotDestination);
        p->fillRect(target, Qt::white);
        touch(target);
        return true;
    case PATCOPY:
    case PATINVERT:
        if (brush && brush->style != BS_NULL) {
            p->setCompositionMode(rop == PATCOPY ? QPainter::CompositionMode_SourceOver
                                                 : QPainter::RasterOp_SourceXorDestination);
            p->fillRect(target, p->brush());
        }
        touch(target);
        return true;
    default:
        break;
    }
    QImage image = sourceimage(source);
    if (image.isNull()) {
        return false;
    }
    QImage* mine = surface ? surface : &wrapped;
    if (image.constBits() == mine->constBits()) {
        image = image.copy(); // drawing an image onto itself needs the pixels as they were
    }
    p->setCompositionMode(blitmode(rop));
    if (target.size() != rectof(from).size()) {
        p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    p->drawImage(QRectF(target), opaqueview(image), QRectF(rectof(from)));
    touch(target);
    return true;
}

bool PainterDC::drawicon(const RECT& to, const win::Icon& icon, UINT flags)
{
    QPainter* p = painter();
    QImage image = iconimage(icon, flags);
    if (!p || image.isNull()) {
        return false;
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRect target = rectof(to);
    p->setRenderHint(QPainter::SmoothPixmapTransform, target.size() != image.size());
    p->drawImage(target, image);
    touch(target);
    return true;
}

COLORREF PainterDC::getpixel(int x, int y)
{
    if (!surface) {
        return DeviceContext::getpixel(x, y);
    }
    if (!surface->valid(x, y)) {
        return CLR_INVALID;
    }
    QRgb shown = surface->pixel(x, y);
    if (overlay && overlay->valid(x, y)) {
        shown ^= overlay->pixel(x, y) & 0x00FFFFFF;
    }
    return win::colourofpixel(shown);
}

COLORREF PainterDC::setpixel(int x, int y, COLORREF colour)
{
    if (!surface) {
        return DeviceContext::setpixel(x, y, colour);
    }
    if (!surface->valid(x, y) || (clipped && !win::contains(windowclip, tagPOINT { x, y }))) {
        return CLR_INVALID;
    }
    reinterpret_cast<QRgb*>(surface->scanLine(y))[x] = win::pixelofcolour(colour);
    touch(QRectF(x, y, 1, 1));
    return colour;
}

int PainterDC::devicecaps(int index)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    switch (index) {
    case LOGPIXELSX:
        return screen ? static_cast<int>(screen->logicalDotsPerInchX()) : 96;
    case LOGPIXELSY:
        return screen ? static_cast<int>(screen->logicalDotsPerInchY()) : 96;
    default:
        return DeviceContext::devicecaps(index);
    }
}

} // namespace winqt
