#pragma once

// Texts shaped once and kept as glyph runs at the layout size (TEXTLAYOUTSIZE), per face and
// text, for the raster devices: drawing one again places the same glyphs at the same proportions
// as the layout that every device follows, at the device's size, without shaping it anew. Views
// redraw the same texts over and over; shaping them each time is what makes text slow.
// Callers: the toolkit renderer (casq).

#include <QColor>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <map>
#include <vector>

#include <QFont>

#include "platform/casq/renderer.h"

class QPainter;

namespace casq {

class GLYPHCACHE {
public:
    struct RUN {
        int font; // index into faces
        QVector<quint32> glyphs;
        QVector<QPointF> positions; // layout units, from the start of the baseline
    };
    // A text shaped in the current face at TEXTLAYOUTSIZE, and its runs as last drawn.
    struct SHAPED {
        std::vector<RUN> runs;
        double advance = 0;
        double drawnscale = 0;
        std::vector<QGlyphRun> drawn;
    };

    // The face of the texts that follow (its size and colour aside).
    void setfont(const FONT& font);
    SHAPED& shaped(const QString& text);
    // Draws the text, its baseline starting at `start` (layout units) in the painter's
    // coordinates, which map layout units onto the device scaled by `scale`: the glyphs are
    // rendered `scale` times the layout size, drawn with the painter's transform less that scale.
    void draw(QPainter& painter, SHAPED& text, QPointF start, double scale);
    // The same for a text drawn without a transform, its baseline starting at `origin` (device
    // units), in the pen's colour: texts in a row of one face, size and colour reach the painter as
    // one run at the next flush. Anything else drawn on the painter must flush first.
    void queue(QPainter& painter, SHAPED& text, QPointF origin, double scale, QColor colour);
    // Draws what is queued; true when there was something (the painter's pen and mix changed).
    bool flush();

private:
    // The runs of the text at the scale, made on the first draw at it.
    const std::vector<QGlyphRun>& runsat(SHAPED& text, double scale);

    // The face at the pixel size, made once for each size drawn.
    const QRawFont& sized(int font, double pixels);

    FONT current; // size and colour not kept
    bool hasfont = false;
    QFont layoutfont;
    std::map<QString, QHash<QString, SHAPED>> byface; // keyed by the face's key, then the text
    QHash<QString, SHAPED>* texts = nullptr; // the current face's
    std::vector<QRawFont> faces; // at the layout size
    std::map<std::pair<int, double>, QRawFont> sizes;

    // The texts queued and not yet drawn.
    struct PENDING {
        QPainter* painter = nullptr; // null: nothing queued
        QRawFont font;
        QColor colour;
        QVector<quint32> glyphs;
        QVector<QPointF> positions;
    } pending;
};

} // namespace casq
