#include "platform/drelm/formtemplate.h"
#include "platform/drelm/tests/drelmtest.h"

using namespace drelmtest;

namespace {

QByteArray layout(const std::string& widgets, const std::string& tail = "")
{
    return QByteArray::fromStdString(
        "<?xml version=\"1.0\"?>\n<ui version=\"4.0\">\n<widget class=\"QWidget\" name=\"F\">\n" + widgets
        + "\n</widget>\n" + tail + "</ui>\n");
}

} // namespace

TEST(FormLayouts, TheLayoutsOfTheFrameworkAndTheTestsPassTheCheck)
{
    Started started;
    for (const char* name :
        { "STATUSBOX", "EDIT_KEYBOARD_MAP", "TESTFORM", "SHOWCASE", "TABBED", "PAGEA", "PAGEB" }) {
        SCOPED_TRACE(name);
        QByteArray bytes;
        HINSTANCE module = nullptr;
        std::string error;
        ASSERT_TRUE(drelm::findlayout(name, bytes, module, error)) << error;
        EXPECT_EQ(drelm::checklayout(bytes), "");
    }
}

TEST(FormLayouts, DamagedLayoutsAreRefusedWithTheLineAndTheReason)
{
    const struct {
        QByteArray text;
        const char* problem;
    } cases[] = {
        { "<ui><widget class=\"QWidget\">", "line 1: " },
        { "", "line 1: " },
        { "<form/>", "line 1: the layout's root element is <form>, not <ui>" },
        { layout("<widget class=\"QWebView\" name=\"W\"/>"),
            "line 4: widget class 'QWebView' is not allowed" },
        { layout("<layout class=\"QStackedLayout\" name=\"L\"/>"),
            "line 4: layout class 'QStackedLayout' is not allowed" },
        { layout("", "<connections><connection><sender>F</sender></connection></connections>\n"),
            "line 6: <connection> is not allowed in a form" },
        { layout("<widget class=\"QLabel\" name=\"P\"><property "
                 "name=\"pixmap\"><pixmap>/etc/x.png</pixmap></property></widget>"),
            "line 4: <pixmap> is not allowed in a form" },
        { layout("<property "
                 "name=\"geometry\"><rect><x>0</x><y>-20000</y><width>10</width><height>10</height></rect></"
                 "property>"),
            "line 4: the y -20000 is out of range (at most 10000)" },
        { layout("<property "
                 "name=\"minimumSize\"><size><width>12000</width><height>10</height></size></property>"),
            "line 4: the width 12000 is out of range" },
        { layout("<property "
                 "name=\"geometry\"><rect><x>0</x><y>0</y><width>wide</width><height>1</height></rect></"
                 "property>"),
            "line 4: the width is no number" },
        { layout("<widget class=\"QLineEdit\" name=\"E\">\n<property name=\"bind\" "
                 "stdset=\"0\"><bool>true</bool></property>\n</widget>"),
            "line 6: the bound edit that starts on line 4 has no maxLength" },
        { QByteArray(drelm::MAXLAYOUTBYTES + 1, ' '), "line 1: the layout is larger than 1048576 bytes" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(120).toStdString());
        const std::string problem = drelm::checklayout(c.text);
        EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    }
    std::string many;
    for (int i = 0; i <= drelm::MAXWIDGETS; ++i)
        many += "<widget class=\"QLabel\" name=\"L" + std::to_string(i) + "\"/>\n";
    EXPECT_NE(drelm::checklayout(layout(many)).find("more than 1000 widgets"), std::string::npos);

    // What Designer writes and the library allows.
    EXPECT_EQ(
        drelm::checklayout(layout(
            "<property "
            "name=\"maximumSize\"><size><width>16777215</width><height>16777215</height></size></property>"
            "<widget class=\"QLineEdit\" name=\"E\"><property "
            "name=\"maxLength\"><number>31</number></property>"
            "<property name=\"bind\" stdset=\"0\"><bool>true</bool></property></widget>",
            "<resources/>\n<connections/>\n")),
        "");
}
