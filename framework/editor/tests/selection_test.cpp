#include "framework/editor/selection.h"

#include <gtest/gtest.h>

#include <vector>


namespace {

// An object of the tests: a box that may refuse to be placed.
class PIECE : public APPLNOBJECT {
public:
    explicit PIECE(const BOX& box, int placeable = 1)
        : area(box)
        , placeable(placeable)
    {
    }
    BOX getarea(AREACODES code) override { return area; }
    void map(CTS cts) override { area.map(cts); }
    void plot(VGDVC* device, DRAWMODES mode) override { }
    int checkplacement(int final) override
    {
        if (final)
            ++placed;
        return placeable;
    }

    BOX area;
    int placeable;
    int placed = 0;
};

} // namespace

TEST(Selection, TheFramesEightHandlesFromTheBottomLeftCorner)
{
    SELECTION selection(BOX(100, 200, 500, 600));
    GDPA<DRAGHANDLE> handles;
    ASSERT_EQ(selection.gethandles(handles), 1);
    struct Expected {
        long cursor;
        POINT point;
    };
    const Expected expected[8] = { { 32643, { 100, 200 } }, { 32642, { 500, 200 } }, { 32643, { 500, 600 } },
        { 32642, { 100, 600 } }, { 32645, { 300, 200 } }, { 32645, { 300, 600 } }, { 32644, { 100, 400 } },
        { 32644, { 500, 400 } } };
    ASSERT_EQ(handles.count, 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(handles[i]->id, i);
        EXPECT_EQ(handles[i]->cursor, expected[i].cursor) << "handle " << i;
        EXPECT_EQ(handles[i]->point, expected[i].point) << "handle " << i;
    }
    handles.zap();
    SELECTION none;
    EXPECT_EQ(none.gethandles(handles), 0) << "no area, no handles";
    EXPECT_EQ(handles.count, 0);
}

TEST(Selection, ResizingMovesTheEdgesTheHandleHolds)
{
    const BOX start(100, 200, 500, 600);
    const POINT to(50, 700);
    const BOX expected[8] = { BOX(50, 700, 500, 600), BOX(100, 700, 50, 600), BOX(100, 200, 50, 700),
        BOX(50, 200, 500, 700), BOX(100, 700, 500, 600), BOX(100, 200, 500, 700), BOX(50, 200, 500, 600),
        BOX(100, 200, 50, 600) };
    for (int id = 0; id < 8; ++id) {
        SELECTION selection(start);
        DRAGHANDLE handle;
        handle.id = id;
        handle.point = to;
        EXPECT_EQ(selection.resize(&handle), 1);
        EXPECT_EQ(selection.getarea(AREA_SELECT), expected[id]) << "handle " << id;
    }
    SELECTION selection(start);
    DRAGHANDLE unknown;
    unknown.id = 8;
    unknown.point = to;
    EXPECT_EQ(selection.resize(&unknown), 0);
    EXPECT_EQ(selection.getarea(AREA_SELECT), start);
}

TEST(Selection, APlacementOneObjectRefusesIsRefusedAndNothingMoves)
{
    PIECE free(BOX(0, 0, 10, 10));
    PIECE stuck(BOX(20, 0, 30, 10), 0);
    SELECTION selection;
    selection.setarea(BOX(0, 0, 30, 10));
    selection.addobject(&free);
    selection.addobject(&stuck);
    CTS move(POINT(100, 0));
    EXPECT_EQ(selection.drag(DRAG_MOVED, move, nullptr, nullptr), 0);
    EXPECT_EQ(free.area, BOX(0, 0, 10, 10)) << "the check moves nothing";
    EXPECT_EQ(selection.getarea(AREA_SELECT), BOX(0, 0, 30, 10));
    EXPECT_EQ(selection.checkplacement(1), 0);
    EXPECT_EQ(free.placed, 0) << "nobody is placed for good unless all agree";

    stuck.placeable = 1;
    EXPECT_EQ(selection.drag(DRAG_MOVED, move, nullptr, nullptr), 1);
    EXPECT_EQ(free.area, BOX(0, 0, 10, 10));
    EXPECT_EQ(selection.checkplacement(1), 1);
    EXPECT_EQ(free.placed + stuck.placed, 2);
}

TEST(Selection, SingleMultipleAndAreaAlone)
{
    PIECE a(BOX(0, 0, 10, 10));
    PIECE b(BOX(20, 0, 30, 10));
    SELECTION selection;
    EXPECT_FALSE(selection.isvalid());
    selection.addobject(&a);
    EXPECT_TRUE(selection.issingle());
    EXPECT_EQ(selection.getsingle(), &a);
    selection.addobject(&b);
    EXPECT_TRUE(selection.ismultiple());
    EXPECT_EQ(selection.getsingle(), nullptr);
    selection.removeobject(&a);
    EXPECT_EQ(selection.getsingle(), &b) << "the one left is the single object";
    selection.removeobject(&b);
    EXPECT_EQ(selection.getsingle(), nullptr);

    SELECTION area(BOX(0, 0, 5, 5));
    EXPECT_TRUE(area.isvalid());
    EXPECT_TRUE(area.isboxed());
    EXPECT_FALSE(area.issingle());

    selection.setarea(BOX(0, 0, 10, 10));
    selection.addobject(&a);
    selection.map(CTS(POINT(5, 0)));
    EXPECT_EQ(a.area, BOX(5, 0, 15, 10)) << "a transform moves the objects";
    EXPECT_EQ(selection.getarea(AREA_SELECT), BOX(5, 0, 15, 10));
    EXPECT_EQ(selection.gettransform().offset(), POINT(10, 5)) << "the centre, moved";
}

TEST(Selection, AnUpdateReportsWhereTheAreaWasAndIs)
{
    PIECE a(BOX(0, 0, 10, 10));
    SELECTION selection;
    selection.setarea(BOX(0, 0, 10, 10));
    selection.addobject(&a);
    BOX old = VOIDBOX;
    BOX now = VOIDBOX;
    selection.update(old, now);
    EXPECT_TRUE(old.isvoid());
    EXPECT_EQ(now, BOX(0, 0, 10, 10));
    selection.map(CTS(POINT(100, 0)));
    old = now = VOIDBOX;
    selection.update(old, now);
    EXPECT_EQ(old, BOX(0, 0, 10, 10));
    EXPECT_EQ(now, BOX(100, 0, 110, 10));
    selection.empty();
    old = now = VOIDBOX;
    selection.update(old, now);
    EXPECT_EQ(old, BOX(100, 0, 110, 10)) << "without objects the area goes";
    EXPECT_TRUE(selection.getarea(AREA_SELECT).isvoid());
}
