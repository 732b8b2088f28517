#include "platform/casq/qtrenderer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <strings.h>

#include "platform/casq/glyphcache.h"
#include "platform/casq/styles.h"

namespace casq {
namespace {

QColor colourof(COLORREF colour, int alpha)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour), alpha);
}

QPolygonF polygonof(const std::vector<DPOINT>& points)
{
    QPolygonF polygon;
    polygon.reserve(qsizetype(points.size()));
    for (const DPOINT& point : points) {
        polygon << QPointF(point.x, point.y);
    }
    return polygon;
}

} // namespace

QPainterPath pathof(const FIGURE& shape)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& step : shape.steps) {
        switch (step.kind) {
        case FIGURE::move:
            path.moveTo(step.to.x, step.to.y);
            break;
        case FIGURE::line:
            path.lineTo(step.to.x, step.to.y);
            break;
        case FIGURE::cubic:
            path.cubicTo(step.c1.x, step.c1.y, step.c2.x, step.c2.y, step.to.x, step.to.y);
            break;
        case FIGURE::close:
            path.closeSubpath();
            break;
        }
    }
    return path;
}

QFont toolkitfont(const FONT& font, double pixelsize)
{
    bool fixed = font.fixedpitch || strcasecmp(font.face.c_str(), VECTOR_FONT_FACE) == 0;
    QFont qfont = fixed ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                        : QFont(QString::fromStdString(font.face));
    qfont.setPixelSize(std::max(1, int(pixelsize)));
    qfont.setHintingPreference(QFont::PreferNoHinting);
    qfont.setStyleStrategy(QFont::ForceOutline);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeout);
    qfont.setKerning(false);
    return qfont;
}

TEXTLAYOUT textlayout(
    DPOINT at, double angle, const QString& text, const FONT& font, int justification, QTransform& placement)
{
    double advance = QFontMetricsF(toolkitfont(font, TEXTLAYOUTSIZE)).horizontalAdvance(text);
    return textlayout(at, angle, advance, font, justification, placement);
}

TEXTLAYOUT textlayout(DPOINT at, double angle, double advance, const FONT& font, int justification, QTransform& placement)
{
    double dx = (justification & 3) == JUSTIFY_RIGHT ? -advance
        : (justification & 3) == JUSTIFY_CENTRE      ? -advance / 2
                                                     : 0;
    double dy = (justification & 0xC) == JUSTIFY_TOP ? CAPHEIGHT * TEXTLAYOUTSIZE
        : (justification & 0xC) == JUSTIFY_MIDDLE    ? CAPHEIGHT * TEXTLAYOUTSIZE / 2
                                                     : 0;
    double scale = font.size / TEXTLAYOUTSIZE;
    placement = QTransform();
    placement.translate(at.x, at.y);
    placement.rotate(-angle);
    placement.scale(scale * font.stretch, scale);
    return TEXTLAYOUT { QPointF(dx, dy), advance };
}

QTRENDERER::QTRENDERER(QPainter* painter, bool israster, bool asoutlines, double thinnestwidth)
    : p(painter)
    , raster(israster)
    , outlines(asoutlines)
    , thinnest(thinnestwidth)
{
    if (raster && !outlines)
        glyphs = std::make_unique<GLYPHCACHE>();
}

QTRENDERER::~QTRENDERER() = default;

void QTRENDERER::beginpage(double width, double height, COLORREF background, bool erase)
{
    flush();
    prepared.valid = false;
    if (erase) {
        p->fillRect(QRectF(0, 0, width, height), colourof(background, 255));
    }
    // The painter's own clip (a window's update area) stays under every clip set later.
    p->save();
}

void QTRENDERER::endpage()
{
    flush();
    prepared.valid = false;
    p->restore();
    if (overlaid && overlaid->isActive()) {
        overlaid->restore();
    }
    overlaid = nullptr;
    clipped = false;
}

void QTRENDERER::clip(const DRECT* area)
{
    flush();
    prepared.valid = false;
    clipped = area != nullptr;
    if (area) {
        cliparea = *area;
    }
    for (QPainter* painter : { p, overlaid }) {
        if (painter) {
            painter->restore();
            painter->save();
            applyclip(*painter);
        }
    }
}

void QTRENDERER::applyclip(QPainter& painter) const
{
    if (clipped) {
        painter.setClipRect(QRectF(QPointF(cliparea.left, cliparea.top), QPointF(cliparea.right, cliparea.bottom)),
            Qt::IntersectClip);
    }
}

QPainter* QTRENDERER::overlaypainter()
{
    if (!overlaid && overlay) {
        overlaid = overlay();
        if (overlaid) {
            overlaid->save();
            applyclip(*overlaid);
        }
    }
    return overlaid;
}

bool QTRENDERER::PREPARED::matches(const QPainter* painter, const PAINT& paint, bool fill) const
{
    return valid && target == painter && filled == fill && paint.stroke == last.stroke && paint.fill == last.fill
        && paint.pencolour == last.pencolour && paint.penwidth == last.penwidth && paint.alpha == last.alpha
        && paint.exclusiveor == last.exclusiveor && paint.fillcolour == last.fillcolour
        && paint.dashes == last.dashes;
}

QPainter* QTRENDERER::prepare(const PAINT& paint, bool fill)
{
    flush();
    bool exclusive = paint.exclusiveor && raster;
    QPainter* target = exclusive ? overlaypainter() : nullptr;
    target = target ? target : p;
    int alpha = exclusive ? 255 : paint.alpha;
    bool filled = fill && paint.fill;
    QPainter* drawn = alpha > 0 && (paint.stroke || filled) ? target : nullptr;
    // A view draws thousands of figures alike in a row: their painter's state is set once.
    if (prepared.matches(target, paint, fill)) {
        return drawn;
    }
    target->setCompositionMode(
        exclusive ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
    // Exclusive-or must touch each pixel exactly once to undo itself.
    target->setRenderHint(QPainter::Antialiasing, raster && !exclusive);
    if (paint.stroke) {
        double width = paint.penwidth > 0 ? paint.penwidth : thinnest;
        QPen pen(colourof(paint.pencolour, alpha), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        pen.setCosmetic(width <= 0);
        if (!paint.dashes.empty()) {
            // The toolkit counts dashes in pen widths (a cosmetic pen's width being one unit).
            width = width > 0 ? width : 1;
            QVector<qreal> pattern;
            for (double length : paint.dashes) {
                pattern << std::max(length, 0.01) / width;
            }
            pen.setDashPattern(pattern);
        }
        target->setPen(pen);
    } else {
        target->setPen(Qt::NoPen);
    }
    target->setBrush(filled ? QBrush(colourof(paint.fillcolour, alpha)) : QBrush(Qt::NoBrush));
    prepared = PREPARED { true, target, fill, paint };
    return drawn;
}

void QTRENDERER::polyline(const std::vector<DPOINT>& points, const PAINT& paint)
{
    if (QPainter* target = prepare(paint, false)) {
        target->drawPolyline(polygonof(points));
    }
}

void QTRENDERER::polygon(const std::vector<DPOINT>& points, const PAINT& paint)
{
    if (QPainter* target = prepare(paint, true)) {
        target->drawPolygon(polygonof(points), Qt::OddEvenFill);
    }
}

void QTRENDERER::ellipse(DPOINT centre, double rx, double ry, const PAINT& paint)
{
    if (QPainter* target = prepare(paint, true)) {
        target->drawEllipse(QPointF(centre.x, centre.y), rx, ry);
    }
}

void QTRENDERER::arc(DPOINT centre, double rx, double ry, double start, double sweep, const PAINT& paint)
{
    QPainter* target = prepare(paint, false);
    if (!target) {
        return;
    }
    QRectF bounds(centre.x - rx, centre.y - ry, 2 * rx, 2 * ry);
    QPainterPath path;
    path.arcMoveTo(bounds, start);
    path.arcTo(bounds, start, sweep);
    target->drawPath(path);
}

void QTRENDERER::figure(const FIGURE& shape, const PAINT& paint)
{
    if (QPainter* target = prepare(paint, true)) {
        target->drawPath(pathof(shape));
    }
}

void QTRENDERER::block(const DRECT& area, const PAINT& paint)
{
    if (paint.exclusiveor || !raster) {
        RENDERER::block(area, paint);
        return;
    }
    if (paint.alpha <= 0) {
        return;
    }
    flush();
    // Whole pixels: the toolkit fills them without working out the coverage of each.
    QRect pixels(QPoint(int(std::floor(area.left)), int(std::floor(area.top))),
        QPoint(int(std::ceil(area.right)) - 1, int(std::ceil(area.bottom)) - 1));
    p->fillRect(pixels, colourof(paint.fillcolour, paint.alpha));
}

void QTRENDERER::flush()
{
    if (glyphs && glyphs->flush()) {
        prepared.valid = false;
    }
}

void QTRENDERER::text(DPOINT at, double angle, const std::string& utf8, const FONT& font, int justification)
{
    if (font.size <= 0 || font.alpha <= 0) {
        return;
    }
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    QColor colour = colourof(font.colour, font.alpha);
    QTransform placement;
    QTransform before = p->transform();
    if (glyphs) {
        glyphs->setfont(font);
        GLYPHCACHE::SHAPED& shape = glyphs->shaped(text);
        TEXTLAYOUT layout = textlayout(at, angle, shape.advance, font, justification, placement);
        double scale = font.size / TEXTLAYOUTSIZE;
        // Level text at the face's own width needs no transform: its glyphs come from the
        // toolkit's cache, and a row of such texts is drawn as one run.
        if (angle == 0 && font.stretch == 1 && before.type() <= QTransform::TxTranslate) {
            glyphs->queue(*p, shape, QPointF(at.x, at.y) + layout.start * scale, scale, colour);
            return;
        }
        flush();
        prepared.valid = false;
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->setRenderHint(QPainter::Antialiasing, true);
        p->setRenderHint(QPainter::TextAntialiasing, true);
        p->setPen(colour);
        p->setTransform(QTransform::fromScale(1 / scale, 1 / scale) * placement, true);
        glyphs->draw(*p, shape, layout.start, scale);
        p->setTransform(before);
        return;
    }
    prepared.valid = false;
    TEXTLAYOUT layout = textlayout(at, angle, text, font, justification, placement);
    QFont qfont = toolkitfont(font, TEXTLAYOUTSIZE);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::Antialiasing, raster);
    p->setRenderHint(QPainter::TextAntialiasing, raster);
    p->setTransform(placement, true);
    if (outlines) {
        QPainterPath shapes;
        shapes.addText(layout.start, qfont, text);
        p->fillPath(shapes, colour);
    } else {
        p->setFont(qfont);
        p->setPen(colour);
        p->drawText(layout.start, text);
    }
    p->setTransform(before);
}

void QTRENDERER::image(const PIXELS& pixels, DPOINT origin, DPOINT across, DPOINT down, int alpha)
{
    if (pixels.width <= 0 || pixels.height <= 0 || alpha <= 0) {
        return;
    }
    flush();
    prepared.valid = false;
    QImage picture(reinterpret_cast<const uchar*>(pixels.argb.data()), pixels.width, pixels.height,
        pixels.width * 4, QImage::Format_ARGB32);
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    p->setOpacity(alpha / 255.0);
    p->setTransform(QTransform(across.x / pixels.width, across.y / pixels.width, down.x / pixels.height,
                        down.y / pixels.height, origin.x, origin.y),
        true);
    p->drawImage(QPointF(0, 0), picture);
    p->restore();
}

} // namespace casq
