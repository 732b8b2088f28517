#include <gtest/gtest.h>

#include "platform/kelmar/proptool.h"

TEST(PropertyTool, ValuesCountFromTheFirstCountByTheStep)
{
    struct CASE {
        const char* assignment;
        int first;
        int step;
        std::vector<std::string> values;
    };
    const CASE cases[] = {
        { "REF=R#", 1, 1, { "R1", "R2", "R3" } },
        { "NET=D#", 0, 1, { "D0", "D1", "D2" } },
        { "NET=A#B#", 7, 2, { "A7B7", "A9B9", "A11B11" } },
        { "NET=BIT-#", 3, -1, { "BIT-3", "BIT-2", "BIT-1", "BIT-0", "BIT--1" } },
        { "VALUE=10k", 1, 1, { "10k", "10k" } },
        { "VALUE=##5", 1, 1, { "#5", "#5" } },
        { "VALUE=N###", 4, 1, { "N#4", "N#5" } },
        { " NET = GND ", 1, 1, { " GND ", " GND " } },
        { "NET=", 1, 1, { "", "" } },
        { "NET=A=B", 1, 1, { "A=B" } },
    };
    for (const CASE& c : cases) {
        PROPTOOL tool;
        ASSERT_EQ(tool.define(c.assignment, PA_SET, c.first, c.step), 1) << c.assignment;
        std::vector<std::string> values;
        for (size_t i = 0; i < c.values.size(); ++i)
            values.push_back(tool.nextvalue());
        EXPECT_EQ(values, c.values) << c.assignment;
    }
}

TEST(PropertyTool, ActionsNameOnlyTheirPropertyAndWrongAssignmentsAreRefused)
{
    PROPTOOL tool;
    EXPECT_EQ(tool.isarmed(), 0);
    EXPECT_EQ(tool.test(PA_SET, "REF"), 0);
    ASSERT_EQ(tool.define("ref=U#", PA_SET), 1);
    EXPECT_STREQ(tool.getname(), "ref");
    EXPECT_EQ(tool.test(PA_SET, "REF"), 1);
    EXPECT_EQ(tool.test(PA_SET, "REFX"), 0);
    EXPECT_EQ(tool.test(PA_DELETE, "REF"), 0);
    ASSERT_EQ(tool.define("PACKAGE", PA_HIDE), 1);
    EXPECT_EQ(tool.test(PA_HIDE, "package"), 1);
    EXPECT_EQ(tool.define("VALUE=OLD", PA_DELETE), 1) << "a value given to delete is ignored";
    EXPECT_STREQ(tool.getname(), "VALUE");

    const std::pair<const char*, PATACTIONS> refused[] = {
        { "REF", PA_SET }, { "=R1", PA_SET }, { "   =R1", PA_SET }, { "", PA_SHOW }, { "{REF}=1", PA_SET },
        { "REF=1\n2", PA_SET }, { "REF", PATACTIONS(2) }, { nullptr, PA_HIDE },
    };
    for (const auto& [assignment, action] : refused) {
        EXPECT_NE(PROPTOOL::check(assignment, action), nullptr) << (assignment ? assignment : "(null)");
        EXPECT_EQ(tool.define(assignment, action), 0);
        EXPECT_STREQ(tool.getname(), "VALUE") << "a refused assignment leaves the tool as it was";
    }
    tool.reset();
    EXPECT_EQ(tool.test(PA_DELETE, "VALUE"), 0);
    EXPECT_STREQ(tool.getassignment(), "VALUE=OLD");
}
