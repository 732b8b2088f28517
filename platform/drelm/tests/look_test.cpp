#include <QLabel>
#include <QtGlobal>

#include "platform/drelm/dialoglook.h"
#include "platform/drelm/messageboxes.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/gdi.h"
#include "platform/win/monitors.h"

using namespace drelmtest;

namespace {

struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
    Surface(int width, int height)
        : bitmap(CreateCompatibleBitmap(dc, width, height))
        , old(SelectObject(dc, bitmap))
    {
    }
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

// Colours may differ by rounding in the painter's blending.
bool near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2
        && std::abs(GetBValue(a) - GetBValue(b)) <= 2;
}

struct Kind {
    int kind, a, b;
};
const Kind kinds[]
    = { { 0, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 3, 0, 0 }, { 3, 1, 0 }, { 4, 0, 0 }, { 4, 0, 1 } };

} // namespace

TEST(DialogLook, EveryGradientKindPaintsItsEndColoursAtTheCorners)
{
    Started started;
    for (const Kind& k : kinds) {
        SCOPED_TRACE(testing::Message() << "kind " << k.kind << " (" << k.a << ", " << k.b << ")");
        COLORREF from = 0, to = 0;
        BOOL vertical = FALSE;
        ASSERT_TRUE(GradientColours(k.kind, k.a, k.b, &from, &to, &vertical));
        EXPECT_NE(from, to);
        Surface s(40, 30);
        RECT area { 0, 0, 40, 30 };
        ASSERT_TRUE(GradientFillRect(s.dc, &area, k.kind, k.a, k.b));
        // The first corner shows the start colour, the opposite corner the end colour; the two
        // other corners follow the direction.
        EXPECT_TRUE(near(GetPixel(s.dc, 0, 0), from));
        EXPECT_TRUE(near(GetPixel(s.dc, 39, 29), to));
        EXPECT_TRUE(near(GetPixel(s.dc, 39, 0), vertical ? from : to));
        EXPECT_TRUE(near(GetPixel(s.dc, 0, 29), vertical ? to : from));
    }
    // The background runs left to right between its two named colours, the pressed form reversed;
    // the kinds differ from one another.
    COLORREF from = 0, to = 0;
    GradientColours(4, 0, 0, &from, &to, nullptr);
    EXPECT_EQ(from, gradb_1colour);
    EXPECT_EQ(to, gradb_4colour);
    GradientColours(4, 0, 1, &from, &to, nullptr);
    EXPECT_EQ(from, gradb_4colour);
    COLORREF face = 0, greyed = 0;
    GradientColours(0, 1, 0, &face, nullptr, nullptr);
    GradientColours(3, 1, 0, &greyed, nullptr, nullptr);
    EXPECT_NE(face, greyed);

    Surface s(4, 4);
    RECT area { 0, 0, 4, 4 }, empty { 2, 2, 2, 4 };
    EXPECT_FALSE(GradientFillRect(s.dc, &area, 2, 0, 0)) << "no such kind";
    EXPECT_FALSE(GradientFillRect(s.dc, &empty, 0, 0, 0));
    char text[8];
    EXPECT_EQ(GradientFillRect(text, sizeof text, 1, 0, 0), 0);
}

TEST(DialogLook, TheTextFormIsAStyleSheetGradientThatQtAccepts)
{
    Started started;
    static std::vector<QString> warnings;
    warnings.clear();
    QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
              if (type != QtDebugMsg)
                  warnings.push_back(text);
          });
    // The placeholders of the Qt host's menu style: kind 0 with (0, 0) and (1, 0), kind 3 with (1, 0).
    for (const Kind& k : { Kind { 0, 0, 0 }, Kind { 0, 1, 0 }, Kind { 3, 1, 0 }, Kind { 4, 0, 1 } }) {
        SCOPED_TRACE(testing::Message() << "kind " << k.kind << " (" << k.a << ", " << k.b << ")");
        char expression[160];
        const int length = GradientFillRect(expression, sizeof expression, k.kind, k.a, k.b);
        ASSERT_GT(length, 0);
        EXPECT_EQ(static_cast<size_t>(length), strlen(expression));
        EXPECT_EQ(std::string(expression).rfind("qlineargradient(", 0), 0u);
        QLabel sample;
        sample.setStyleSheet(QString("QLabel { background: %1; border: none; }").arg(expression));
        sample.resize(60, 40);
        const QImage image = sample.grab().toImage();
        COLORREF from = 0, to = 0;
        BOOL vertical = FALSE;
        GradientColours(k.kind, k.a, k.b, &from, &to, &vertical);
        const QColor first = image.pixelColor(0, 0);
        const QColor last = image.pixelColor(image.width() - 1, image.height() - 1);
        EXPECT_TRUE(near(RGB(first.red(), first.green(), first.blue()), from)) << first.name().toStdString();
        EXPECT_TRUE(near(RGB(last.red(), last.green(), last.blue()), to)) << last.name().toStdString();
    }
    char small[10];
    EXPECT_EQ(GradientFillRect(small, sizeof small, 0, 0, 0), 9) << "cut to the buffer";
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.empty()) << warnings.front().toStdString();
}

TEST(DialogLook, ASunkenFrameHasDarkTopAndLeftEdgesAndLightBottomAndRightOnes)
{
    Started started;
    Surface s(20, 10);
    RECT area { 0, 0, 20, 10 };
    FillRect(s.dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ASSERT_TRUE(draw3Drect(s.dc, &area, 'b'));
    EXPECT_EQ(GetPixel(s.dc, 10, 0), dlg_locolour);
    EXPECT_EQ(GetPixel(s.dc, 0, 5), dlg_locolour);
    EXPECT_EQ(GetPixel(s.dc, 10, 9), dlg_hihicolour);
    EXPECT_EQ(GetPixel(s.dc, 19, 5), dlg_hihicolour);
    EXPECT_EQ(GetPixel(s.dc, 10, 5), RGB(0, 0, 0)) << "the inside untouched";
    EXPECT_FALSE(draw3Drect(s.dc, &area, 'r'));
}

TEST(DialogLook, TheLibraryMakesItsColoursFontsAndPensAndGivesThemBackAtTheEnd)
{
    Started started;
    EXPECT_NE(dlg_globalfont, nullptr);
    EXPECT_NE(dlg_buttonfont, nullptr);
    EXPECT_NE(dlg_bkbrush, nullptr);
    EXPECT_EQ(dlg_bkcolour, GetSysColor(COLOR_BTNFACE));
    for (COLORREF c :
        { grad_4colour, gradd_4colour, tb_checkedborder_colour, tb_hotgrad1_colour, tb_hotgrad2_colour,
            tb_hotborder_colour, tb_activegrad1_colour, tb_activegrad2_colour, tb_activeborder_colour })
        EXPECT_NE(c, dlg_bkcolour);

    auto current = [] {
        MESSAGEBOXHOOK hook = setmessageboxhook(nullptr);
        setmessageboxhook(hook);
        return hook;
    };
    EXPECT_EQ(current(), &drelm::messagebox) << "message boxes are the library's";
    dlg_term();
    EXPECT_EQ(dlg_globalfont, nullptr);
    EXPECT_EQ(dlg_bkbrush, nullptr);
    EXPECT_NE(current(), &drelm::messagebox) << "and the layer's again at the end";
    dlg_init(nullptr);
    EXPECT_EQ(current(), &drelm::messagebox);

    dlg_term();
    {
        RecordedBoxes recorded;
        dlg_init(nullptr);
        EXPECT_EQ(MessageBoxA(nullptr, "kept", "Test", MB_OK), IDOK);
        ASSERT_EQ(boxes().size(), 1u) << "a box the caller installed stays";
        dlg_term();
    }
    dlg_init(nullptr);
}
