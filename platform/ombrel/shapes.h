#pragma once

// The shapes the rubber-band loops build: lines, circles, quarter arcs as cubic beziers, and paths
// of lines and arcs that end where they began.

#include <vector>

#include "platform/ombrel/point.h"

struct LINE {
    POINT p1;
    POINT p2;

    constexpr LINE() = default;
    constexpr LINE(POINT a, POINT b)
        : p1(a)
        , p2(b)
    {
    }
};

struct CIRCLE {
    POINT centre;
    int32_t radius = 0;

    constexpr CIRCLE() = default;
    constexpr CIRCLE(POINT c, int32_t r)
        : centre(c)
        , radius(r)
    {
    }
};

// A cubic bezier: from p1 with control points c1, c2 to p2.
struct BEZIER {
    POINT p1;
    POINT c1;
    POINT c2;
    POINT p2;

    // The quarter of an ellipse from p1 to p2: with horizontal set it leaves p1 along x and meets p2
    // along y, otherwise it leaves along y and meets along x.
    void setquadrant(POINT from, POINT to, int horizontal);
};

// A chain of segments, each beginning where the one before ended.
class PATH {
public:
    // Appends a segment; its start is taken as given for the first one and forced onto the end of
    // the path for later ones, so the chain never breaks.
    void add(const LINE& line);
    void add(const BEZIER& arc);
    // Drops the last segment; 0 when the path was empty.
    int removelast();
    // The end of the last segment; the zero point for an empty path.
    POINT last() const;
    // At least one segment, and the end meets the start.
    bool isclosed() const;
    // Closes a path whose end is off its start with a line back to it; 0 when the path is empty.
    int validate();
    int count() const { return static_cast<int>(segments.size()); }
    // A line is stored as a bezier with its control points on its ends, flagged by isline.
    struct SEGMENT {
        BEZIER shape;
        bool isline;
    };
    const std::vector<SEGMENT>& getsegments() const { return segments; }

private:
    void append(BEZIER shape, bool isline);

    std::vector<SEGMENT> segments;
};
