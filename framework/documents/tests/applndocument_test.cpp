#include "framework/documents/applndocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/context/applncontext.h"
#include "framework/documents/applnproject.h"

namespace {

class PROJECT : public APPLNPROJECT {
public:
    PROJECT(const char* file, int untitled, int readonly)
        : untitled(untitled)
    {
        std::strcpy(path, file);
        this->readonly = readonly;
    }
    int isuntitled() override { return untitled; }
    void onmodified(APPLNDOCUMENT* document) override { modified = document; }

    int untitled;
    APPLNDOCUMENT* modified = nullptr;
};

} // namespace

TEST(ApplnDocument, AnswersFromItsNameUntilAProjectHoldsIt)
{
    APPLNDOCUMENT document;
    EXPECT_STREQ(document.defaultfont(), "Vector Font");
    document.setdocname("C:\\designs\\amp.DSN");
    EXPECT_STREQ(document.filename(), "amp.DSN");
    EXPECT_STREQ(document.pathname(), "C:\\designs\\amp.DSN");
    EXPECT_FALSE(document.isinitialized());
    EXPECT_EQ(document.getproperty("TITLE"), nullptr);

    PROJECT project("C:\\projects\\amp.vktprj", 0, 1);
    document.setproject(&project);
    EXPECT_TRUE(document.isinitialized());
    EXPECT_STREQ(document.filename(), "amp.vktprj");
    EXPECT_STREQ(document.pathname(), "C:\\projects\\amp.vktprj");
    EXPECT_EQ(document.isreadonly(), 1);

    document.setdefaultfont(std::string(60, 'f').c_str());
    EXPECT_EQ(std::strlen(document.defaultfont()), 39u);
}

TEST(ApplnDocument, MatchesItsExtensionWithoutRegardToCase)
{
    APPLNDOCUMENT document;
    document.setdocname("ROOT.DSN");
    EXPECT_TRUE(document.isdoctype("dsn"));
    EXPECT_TRUE(document.isdoctype("DSN"));
    EXPECT_FALSE(document.isdoctype("LYT"));
    EXPECT_FALSE(document.isdoctype("DS"));
    document.setdocname("NOTES");
    EXPECT_FALSE(document.isdoctype(""));
}

TEST(ApplnDocument, ADirtyDocumentMarksItsProject)
{
    PROJECT project("a.vktprj", 0, 0);
    APPLNDOCUMENT document;
    document.setdirty(1);
    EXPECT_TRUE(document.isdirty());
    document.setproject(&project);
    document.setdirty(1);
    EXPECT_TRUE(project.isdirty());
    EXPECT_EQ(project.modified, &document);
    document.setdirty(0);
    EXPECT_TRUE(project.isdirty()) << "a clean document leaves the project as it is";
}

TEST(ApplnDocument, LocksByFlagAndByThePermissionsOfItsProject)
{
    struct CASE {
        int untitled, readonly, flag, locked;
    };
    const CASE cases[] = {
        { 0, 0, 1, 1 },
        { 0, 0, 0, 0 },
        { 0, 1, 0, 1 },
        { 1, 1, 0, 0 },
        { 1, 0, 1, 1 },
    };
    for (const CASE& c : cases) {
        PROJECT project("a.vktprj", c.untitled, c.readonly);
        APPLNDOCUMENT document;
        document.setproject(&project);
        document.updatelock(c.flag);
        EXPECT_EQ(document.islocked(), c.locked) << c.untitled << c.readonly << c.flag;
    }
}

TEST(ApplnDocument, TheCurrentContextGivesTheDocumentAndItsProject)
{
    EXPECT_EQ(getapplnproject(), nullptr);
    PROJECT project("a.vktprj", 0, 0);
    APPLNDOCUMENT document;
    document.setproject(&project);
    MODULECONTEXT context;
    context.document = &document;
    APPLNCONTEXT* previous = setapplncontext(&context);
    EXPECT_EQ(getapplndocument(), &document);
    EXPECT_EQ(getapplnproject(), &project);
    setapplncontext(previous);
}
