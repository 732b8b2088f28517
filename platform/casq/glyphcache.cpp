#include "platform/casq/glyphcache.h"

#include <QPainter>
#include <QTextLayout>

#include "platform/casq/qtrenderer.h"

namespace casq {
namespace {

// Bounds of the caches: past them they start afresh (a view shows far fewer distinct texts).
constexpr size_t MAXTEXTS = 100000;
constexpr size_t MAXSIZES = 512;

bool sameface(const FONT& a, const FONT& b)
{
    return a.face == b.face && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline
        && a.strikeout == b.strikeout && a.fixedpitch == b.fixedpitch;
}

bool sameface(const QRawFont& a, const QRawFont& b)
{
    return a.familyName() == b.familyName() && a.styleName() == b.styleName() && a.weight() == b.weight()
        && a.style() == b.style();
}

} // namespace

void GLYPHCACHE::setfont(const FONT& font)
{
    if (hasfont && sameface(font, current))
        return;
    current = font;
    hasfont = true;
    layoutfont = toolkitfont(font, TEXTLAYOUTSIZE);
    texts = &byface[layoutfont.key()];
}

GLYPHCACHE::SHAPED& GLYPHCACHE::shaped(const QString& text)
{
    auto found = texts->find(text);
    if (found != texts->end())
        return *found;
    if (size_t(texts->size()) >= MAXTEXTS)
        texts->clear();
    SHAPED result;
    QTextLayout layout(text, layoutfont);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    double ascent = line.isValid() ? line.ascent() : 0;
    result.advance = line.isValid() ? line.horizontalAdvance() : 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        QRawFont face = run.rawFont();
        size_t index = 0;
        while (index < faces.size() && !sameface(faces[index], face))
            ++index;
        if (index == faces.size())
            faces.push_back(face);
        RUN kept { int(index), run.glyphIndexes(), run.positions() };
        for (QPointF& position : kept.positions)
            position.ry() -= ascent;
        result.runs.push_back(std::move(kept));
    }
    return *texts->insert(text, std::move(result));
}

const QRawFont& GLYPHCACHE::sized(int font, double pixels)
{
    auto key = std::make_pair(font, pixels);
    auto found = sizes.find(key);
    if (found != sizes.end())
        return found->second;
    if (sizes.size() >= MAXSIZES)
        sizes.clear();
    QRawFont face = faces[size_t(font)];
    face.setPixelSize(pixels);
    return sizes.emplace(key, face).first->second;
}

const std::vector<QGlyphRun>& GLYPHCACHE::runsat(SHAPED& shape, double scale)
{
    // A view redraws at one zoom many times: the runs of the last scale are kept.
    if (shape.drawnscale == scale)
        return shape.drawn;
    shape.drawn.clear();
    for (const RUN& run : shape.runs) {
        QVector<QPointF> positions(run.positions.size());
        for (qsizetype i = 0; i < positions.size(); ++i)
            positions[i] = run.positions[i] * scale;
        QGlyphRun glyphs;
        glyphs.setRawFont(sized(run.font, layoutfont.pixelSize() * scale));
        glyphs.setGlyphIndexes(run.glyphs);
        glyphs.setPositions(positions);
        glyphs.setUnderline(current.underline);
        glyphs.setStrikeOut(current.strikeout);
        shape.drawn.push_back(glyphs);
    }
    shape.drawnscale = scale;
    return shape.drawn;
}

void GLYPHCACHE::draw(QPainter& painter, SHAPED& shape, QPointF start, double scale)
{
    flush();
    QPointF origin = start * scale;
    for (const QGlyphRun& glyphs : runsat(shape, scale))
        painter.drawGlyphRun(origin, glyphs);
}

void GLYPHCACHE::queue(QPainter& painter, SHAPED& shape, QPointF origin, double scale, QColor colour)
{
    for (const QGlyphRun& run : runsat(shape, scale)) {
        // A line under or through a text must not run on into the next one.
        if (run.underline() || run.strikeOut()) {
            flush();
            painter.setPen(colour);
            painter.drawGlyphRun(origin, run);
            continue;
        }
        QRawFont font = run.rawFont();
        if (pending.painter && (pending.painter != &painter || pending.colour != colour || pending.font != font))
            flush();
        if (!pending.painter) {
            pending.painter = &painter;
            pending.font = font;
            pending.colour = colour;
        }
        pending.glyphs += run.glyphIndexes();
        for (const QPointF& position : run.positions())
            pending.positions.push_back(position + origin);
    }
}

bool GLYPHCACHE::flush()
{
    if (!pending.painter)
        return false;
    QGlyphRun run;
    run.setRawFont(pending.font);
    run.setGlyphIndexes(pending.glyphs);
    run.setPositions(pending.positions);
    QPainter& painter = *pending.painter;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(pending.colour);
    painter.drawGlyphRun(QPointF(0, 0), run);
    pending.painter = nullptr;
    pending.glyphs.clear();
    pending.positions.clear();
    return true;
}

} // namespace casq
