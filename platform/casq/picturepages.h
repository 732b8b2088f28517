#pragma once

// A toolkit picture that takes every page of an output, each below the one before, so that an
// output of several sheets loses none of them.
// Callers: the picture device and the metafile device's clipboard picture (casq).

#include <QPainter>
#include <QPicture>
#include <optional>

#include "platform/casq/qtrenderer.h"

namespace casq {

// Device units of a picture: the toolkit's logical pixels, so that it plays back at its size.
constexpr int PICTUREDPI = 96;

class PICTUREPAGES {
public:
    // target: drawn into when given (not owned), else into the object's own picture.
    PICTUREPAGES(QPicture* target, bool outlines);
    // The renderer of the next page; null when the picture cannot be drawn on.
    RENDERER* start(double width, double height);
    // Ends the recording (the picture restarts when drawn on again).
    void end();
    // The picture, complete once ended.
    const QPicture& picture() const { return *target; }
    // The size of all pages together, in device units.
    QSizeF size() const { return QSizeF(width, top); }

private:
    QPicture own;
    QPicture* target;
    QPainter painter;
    QTRENDERER renderer;
    double top = 0;
    double width = 0;
};

} // namespace casq
