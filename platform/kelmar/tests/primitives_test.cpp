#include <gtest/gtest.h>

#include <functional>

#include "core/containers/dpa.h"
#include "platform/casq/tests/recordingdevice.h"
#include "platform/kelmar/draghandle.h"
#include "platform/kelmar/symbol.h"
#include "platform/kelmar/tests/kelmartest.h"

using namespace kelmartest;

namespace {

using MAKER = std::function<PRIMITIVE*()>;

// A symbol of one line, for the symbol instances.
SYMBOL& linesymbol()
{
    static SYMBOL* symbol = [] {
        auto* s = new SYMBOL("LINE");
        s->add(new PR_LINE(LINE(POINT(0, 0), POINT(1000, 0)), THIN));
        return s;
    }();
    return *symbol;
}

std::vector<DRAGHANDLE> handlesof(const PRIMITIVE& primitive)
{
    GDPA<DRAGHANDLE> list;
    primitive.gethandles(list);
    std::vector<DRAGHANDLE> handles;
    for (DRAGHANDLE* handle : list)
        handles.push_back(*handle);
    list.zap();
    return handles;
}

} // namespace

TEST(Primitive, HitTestsNarrowTheDistanceToWhatEachKindDraws)
{
    struct CASE {
        const char* what;
        MAKER make;
        POINT point;
        int tolerance;
        int hit;
        int distance;
    };
    const MAKER line = [] { return new PR_LINE(LINE(POINT(0, 0), POINT(1000, 0)), THIN); };
    const MAKER thickline = [] { return new PR_LINE(LINE(POINT(0, 0), POINT(1000, 0)), THICK); };
    const MAKER box = [] { return new PR_BOX(BOX(0, 0, 1000, 500), THIN); };
    const MAKER filledbox = [] { return new PR_BOX(BOX(0, 0, 1000, 500), FILLED); };
    const MAKER circle = [] { return new PR_CIRCLE(CIRCLE(POINT(0, 0), 1000), THIN); };
    const MAKER filledcircle = [] { return new PR_CIRCLE(CIRCLE(POINT(0, 0), 1000), FILLED); };
    const MAKER bezier = [] { return new PR_BEZIER(arch(), THIN); };
    const MAKER path = [] { return new PR_PATH(closedpath(), THIN); };
    const MAKER filledpath = [] { return new PR_PATH(closedpath(), FILLED); };
    const MAKER text = [] { return new PR_TEXT(CTS(POINT(0, 0)), "TEXT", FONT, JUSTIFY_LEFT | JUSTIFY_BOTTOM, THIN); };
    const MAKER symbol = [] { return new PR_SYM(CTS(POINT(0, 0), 900), &linesymbol(), THIN); };
    const CASE cases[] = {
        { "line, on it", line, POINT(500, 0), 0, 1, 0 },
        { "line, beside it", line, POINT(500, 300), 500, 1, 300 },
        { "line, too far", line, POINT(500, 300), 200, 0, 200 },
        { "line, past its end", line, POINT(1300, 400), 600, 1, 500 },
        { "thick line, within its pen", thickline, POINT(500, 90), 0, 1, 0 },
        { "thick line, beside its pen", thickline, POINT(500, 300), 500, 1, 200 },
        { "box, inside a hollow one", box, POINT(500, 250), 100, 0, 100 },
        { "box, near its edge", box, POINT(500, 450), 100, 1, 50 },
        { "box, inside a filled one", filledbox, POINT(500, 250), 0, 1, 0 },
        { "circle, its hollow centre", circle, POINT(0, 0), 100, 0, 100 },
        { "circle, outside", circle, POINT(0, 1100), 200, 1, 100 },
        { "circle, its filled centre", filledcircle, POINT(0, 0), 0, 1, 0 },
        { "bezier, its top", bezier, POINT(500, 750), 0, 1, 0 },
        { "bezier, between its ends", bezier, POINT(500, 0), 100, 0, 100 },
        { "path, inside a hollow one", path, POINT(600, 300), 100, 0, 100 },
        { "path, on its curve", path, POINT(1375, 500), 10, 1, 0 },
        { "path, inside a filled one", filledpath, POINT(600, 300), 0, 1, 0 },
        { "text, on its letters", text, POINT(2000, 50000), 0, 1, 0 },
        { "text, left of it", text, POINT(-30000, 50000), 40000, 1, 30000 },
        { "symbol instance, on its turned line", symbol, POINT(0, 700), 0, 1, 0 },
        { "symbol instance, where the line was", symbol, POINT(700, 0), 100, 0, 100 },
    };
    for (const CASE& c : cases) {
        std::unique_ptr<PRIMITIVE> primitive(c.make());
        int distance = c.tolerance;
        EXPECT_EQ(primitive->test(c.point, &distance), c.hit) << c.what;
        EXPECT_NEAR(distance, c.distance, 2) << c.what;
    }
}

TEST(Primitive, HandlesStandOnTheShapeAndResizeIt)
{
    struct CASE {
        const char* what;
        MAKER make;
        std::vector<std::pair<int, POINT>> handles; // id, point
        int moved; // the handle moved in the resize below
        POINT to;
        BOX after; // the shape's box afterwards
    };
    const CASE cases[] = {
        { "line", [] { return new PR_LINE(LINE(POINT(0, 0), POINT(1000, 0)), THIN); },
            { { 0, POINT(0, 0) }, { 1, POINT(1000, 0) } }, 1, POINT(1000, 2000), BOX(0, 0, 1000, 2000) },
        { "box", [] { return new PR_BOX(BOX(0, 0, 1000, 500), THIN); },
            { { 0, POINT(0, 0) }, { 1, POINT(1000, 0) }, { 2, POINT(1000, 500) }, { 3, POINT(0, 500) },
                { 4, POINT(500, 0) }, { 5, POINT(500, 500) }, { 6, POINT(0, 250) }, { 7, POINT(1000, 250) } },
            4, POINT(777, -300), BOX(0, -300, 1000, 500) },
        { "box dragged over its other edge", [] { return new PR_BOX(BOX(0, 0, 1000, 500), THIN); },
            { { 0, POINT(0, 0) }, { 1, POINT(1000, 0) }, { 2, POINT(1000, 500) }, { 3, POINT(0, 500) },
                { 4, POINT(500, 0) }, { 5, POINT(500, 500) }, { 6, POINT(0, 250) }, { 7, POINT(1000, 250) } },
            6, POINT(1500, 0), BOX(1000, 0, 1500, 500) },
        { "circle", [] { return new PR_CIRCLE(CIRCLE(POINT(0, 0), 1000), THIN); },
            { { 0, POINT(1000, 0) }, { 1, POINT(0, 1000) }, { 2, POINT(-1000, 0) }, { 3, POINT(0, -1000) } }, 1,
            POINT(300, 400), BOX(-500, -500, 500, 500) },
        { "bezier", [] { return new PR_BEZIER(arch(), THIN); },
            { { 0, POINT(0, 0) }, { 1, POINT(0, 1000) }, { 2, POINT(1000, 1000) }, { 3, POINT(1000, 0) } }, 3,
            POINT(2000, 0), BOX() },
        { "path", [] { return new PR_PATH(closedpath(), THIN); },
            { { 0, POINT(0, 0) }, { 3, POINT(1000, 0) }, { 4, POINT(1500, 300) }, { 5, POINT(1500, 700) },
                { 6, POINT(1000, 1000) } },
            0, POINT(-500, 0), BOX() },
        { "text", [] { return new PR_TEXT(CTS(), "T", FONT, 0, THIN); }, {}, 0, POINT(), BOX() },
        { "symbol instance", [] { return new PR_SYM(CTS(), &linesymbol(), THIN); }, {}, 0, POINT(), BOX() },
    };
    for (const CASE& c : cases) {
        std::unique_ptr<PRIMITIVE> primitive(c.make());
        std::vector<DRAGHANDLE> handles = handlesof(*primitive);
        ASSERT_EQ(handles.size(), c.handles.size()) << c.what;
        for (size_t i = 0; i < handles.size(); ++i) {
            EXPECT_EQ(handles[i].id, c.handles[i].first) << c.what;
            EXPECT_EQ(handles[i].point, c.handles[i].second) << c.what << " handle " << i;
            EXPECT_EQ(handles[i].box, BOX(handles[i].point, handles[i].point)) << c.what;
        }
        if (handles.empty()) {
            DRAGHANDLE none(0, POINT(5, 5), 0);
            EXPECT_EQ(primitive->resize(&none), 0) << c.what;
            continue;
        }
        DRAGHANDLE grabbed = *std::find_if(handles.begin(), handles.end(), [&](auto& h) { return h.id == c.moved; });
        grabbed.point = c.to;
        EXPECT_EQ(primitive->resize(&grabbed), 1) << c.what;
        EXPECT_EQ(primitive->resize(&grabbed), 0) << c.what << ": the same point again changes nothing";
        if (!c.after.isvoid()) {
            EXPECT_EQ(primitive->occa(OCCA_SHAPE), c.after) << c.what;
        }
        DRAGHANDLE unknown(99, c.to, 0);
        EXPECT_EQ(primitive->resize(&unknown), 0) << c.what;
    }

    PR_PATH path(closedpath(), THIN);
    DRAGHANDLE start(0, POINT(-500, 0), 0);
    ASSERT_EQ(path.resize(&start), 1);
    const auto& segments = path.getpath().getsegments();
    EXPECT_EQ(segments.front().shape.p1, POINT(-500, 0));
    EXPECT_EQ(segments.back().shape.p2, POINT(-500, 0)) << "the path stays closed";
    EXPECT_EQ(segments.back().shape.c2, POINT(-500, 0)) << "a line keeps its control points on its ends";
}

TEST(Primitive, ABoxHeldWithinLimitsMovesTheEdgeThatWasDragged)
{
    PR_BOX box(BOX(0, 0, 100, 100), THIN);
    DRAGHANDLE left(6, POINT(95, 50), 0);
    ASSERT_EQ(box.resize(&left), 1);
    BOX limited;
    box.limit(limited, 40, 30, 2000000000, 2000000000);
    EXPECT_EQ(limited, BOX(60, 0, 100, 100));
    DRAGHANDLE top(5, POINT(50, 10), 0);
    ASSERT_EQ(box.resize(&top), 1);
    box.limit(limited, 40, 30, 2000000000, 2000000000);
    EXPECT_EQ(limited, BOX(60, 0, 100, 30));
    // The handle loop draws each step and puts the handle back: a box turned over comes back.
    PR_BOX flipping(BOX(0, 0, 1000, 500), THIN);
    DRAGHANDLE start(6, POINT(0, 250), 0);
    DRAGHANDLE current(6, POINT(1500, 250), 0);
    ASSERT_EQ(flipping.resize(&current), 1);
    EXPECT_EQ(flipping.box, BOX(1000, 0, 1500, 500));
    ASSERT_EQ(flipping.resize(&start), 1);
    EXPECT_EQ(flipping.box, BOX(0, 0, 1000, 500));

    PR_BOX untouched(BOX(0, 0, 10, 10), THIN);
    untouched.limit(limited, 20, 20, 15, 15);
    EXPECT_EQ(limited, BOX(0, 0, 20, 20)) << "the least size wins over a smaller most";
}

TEST(Primitive, TurnedByAnyAngleAShapeStaysExactAndNormalisingKeepsItsDrawing)
{
    PR_BOX box(BOX(1000, 1000, 3000, 2000), FILLED);
    box.map(CTS(POINT(), 450));
    // The corner (3000, 1000) turned by 45 degrees.
    int distance = 2;
    EXPECT_EQ(box.test(POINT(1414, 2828), &distance), 1);
    CTS orientation;
    EXPECT_EQ(box.getornt(&orientation), 1);
    EXPECT_EQ(orientation.angle, 450);
    EXPECT_NEAR(orientation.x, 354, 2);
    EXPECT_NEAR(orientation.y, 2475, 2) << "the centre (2000, 1500) turned";

    casqtest::RECORDINGDVC before;
    before.begin();
    before.setmapping(1, 1, 1);
    before.setwindow(BOX(-100000, -100000, 100000, 100000));
    CTS placement(POINT(50000, 0), 900);
    box.plot(placement, &before, 0);
    box.normalise(placement);
    EXPECT_EQ(box.cts, CTS()) << "the turn went into the placement";
    BOX shape = box.occa(OCCA_SHAPE);
    EXPECT_NEAR(shape.x1, -1000, 2);
    EXPECT_NEAR(shape.y2, 500, 2);
    EXPECT_EQ(shape.width(), 2000);
    EXPECT_EQ(placement.angle, 1350);
    casqtest::RECORDINGDVC after;
    after.begin();
    after.setmapping(1, 1, 1);
    after.setwindow(BOX(-100000, -100000, 100000, 100000));
    box.plot(placement, &after, 0);
    ASSERT_EQ(before.recorder.figures.size(), 1u);
    ASSERT_EQ(after.recorder.figures.size(), 1u);
    EXPECT_EQ(before.recorder.figures[0].kind, "polygon");
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(after.recorder.figures[0].points[i].x, before.recorder.figures[0].points[i].x, 0.01);
        EXPECT_NEAR(after.recorder.figures[0].points[i].y, before.recorder.figures[0].points[i].y, 0.01);
    }

    PR_LINE line(LINE(POINT(0, 0), POINT(10, 0)), THIN);
    line.map(CTS(POINT(5, 5)));
    EXPECT_EQ(line.cts, CTS()) << "a move goes into the shape";
    EXPECT_EQ(line.line.p2, POINT(15, 5));
}

TEST(Primitive, EveryKindPacksToARecordThatMakesItAgain)
{
    std::vector<std::unique_ptr<PRIMITIVE>> kinds;
    kinds.emplace_back(new PR_LINE(LINE(POINT(-5, 7), POINT(INT32_MAX, INT32_MIN)), THICK));
    kinds.emplace_back(new PR_BOX(BOX(0, 0, 1000, 500), FILLED));
    kinds.emplace_back(new PR_CIRCLE(CIRCLE(POINT(10, 20), 300), THIN));
    kinds.emplace_back(new PR_BEZIER(arch(), THIN));
    kinds.emplace_back(new PR_PATH(closedpath(), FILLED));
    kinds.emplace_back(new PR_TEXT(CTS(POINT(3, 4), 900, 1), "TWO\nLINES", FONT, JUSTIFY_CENTRE | JUSTIFY_MIDDLE, THIN));
    kinds.emplace_back(new PR_SYM(CTS(POINT(9, 9), 2700), &linesymbol(), THIN));
    kinds[1]->map(CTS(POINT(), 450));
    SYMBOLFINDER before = setsymbolfinder([](const char* name) { return strcmp(name, "LINE") == 0 ? &linesymbol() : nullptr; });
    for (const auto& primitive : kinds) {
        for (DPKB_MODE mode : { DPKB_WORD32, DPKB_WORD16 }) {
            std::vector<uint8_t> bytes = packed(*primitive, mode);
            ASSERT_FALSE(bytes.empty()) << primitive->kind();
            std::unique_ptr<PRIMITIVE> again = made(bytes, mode);
            ASSERT_TRUE(again) << primitive->kind();
            EXPECT_EQ(again->kind(), primitive->kind());
            EXPECT_EQ(packed(*again, mode), bytes) << primitive->kind();
            EXPECT_EQ(again->occa(OCCA_DRAWN), primitive->occa(OCCA_DRAWN)) << primitive->kind();
            std::unique_ptr<PRIMITIVE> copy(primitive->clone());
            EXPECT_EQ(packed(*copy, mode), bytes) << primitive->kind();
        }
    }
    EXPECT_EQ(static_cast<PR_SYM*>(made(packed(*kinds[6])).get())->getsymbol(), &linesymbol());
    setsymbolfinder(nullptr);
    auto unresolved = made(packed(*kinds[6]));
    ASSERT_TRUE(unresolved) << "a symbol the finder lacks keeps its name";
    EXPECT_EQ(static_cast<PR_SYM*>(unresolved.get())->getsymbol(), nullptr);
    EXPECT_EQ(packed(*unresolved), packed(*kinds[6]));
    setsymbolfinder(before);
}

TEST(Primitive, StylesFollowTheirTableOrTheFallbackAndTheAttributeIsThePenStyle)
{
    XSTYLE_MANAGER<GSTYLE> table;
    table.add("2D GRAPHIC", GSTYLE(12345, RGB(1, 2, 3), NOCOLOUR), XS_BUILTIN);
    table.add("GONE", GSTYLE(1, 0, NOCOLOUR), XS_DELETED);
    PR_LINE line(LINE(POINT(), POINT(1, 1)), THIN);
    line.updatestyles(table, nullptr);
    EXPECT_EQ(line.getstyle().style.penwidth, 12345);
    EXPECT_STREQ(line.getstyle().name, "2D GRAPHIC");

    PR_LINE gone(LINE(POINT(), POINT(1, 1)), GSTYLE_ENTRY("GONE", GSTYLE(7, 0, NOCOLOUR)));
    gone.updatestyles(table, nullptr);
    EXPECT_EQ(gone.getstyle().style.penwidth, 7) << "without a fallback it keeps its values";
    gone.updatestyles(table, table.get("2D GRAPHIC"));
    EXPECT_STREQ(gone.getstyle().name, "2D GRAPHIC");
    EXPECT_EQ(gone.getstyle().style.penwidth, 12345);

    EXPECT_EQ(line.setattr(PENSTYLE_DASH), 1);
    EXPECT_EQ(line.getstyle().style.penstyle, PENSTYLE_DASH);
    EXPECT_EQ(line.setattr(PENSTYLE_DASH), 0);
    EXPECT_EQ(line.setattr(77), 0);
}

TEST(Primitive, TextsWithoutTextAreEmptyAndScalingGrowsEverything)
{
    PR_TEXT text(CTS(POINT(10, 10)), "  \n", FONT, 0, THIN);
    EXPECT_EQ(text.isempty(), 1);
    text.settext("A");
    EXPECT_EQ(text.isempty(), 0);
    text.scale(3);
    EXPECT_EQ(text.cts.offset(), POINT(30, 30));
    EXPECT_EQ(text.getfont().height, 3 * FONT.height);

    PR_CIRCLE circle(CIRCLE(POINT(10, -10), 5), THIN);
    circle.scale(-2);
    EXPECT_EQ(circle.circle.centre, POINT(-20, 20));
    EXPECT_EQ(circle.circle.radius, 10);
}
