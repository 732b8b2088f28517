#include "shell/main/settingsdialog.h"

#include <gtest/gtest.h>

#include <QRadioButton>
#include <cstring>
#include <functional>
#include <string>
#include <strings.h>

#include "core/text/strutil.h"
#include "core/windows/registry.h"
#include "framework/appln/registrytext.h"
#include "framework/bars/ctrlbar.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/win/pathboundary.h"
#include "shell/main/vktpaths.h"

using namespace drelmtest;

namespace {

// What the user does in the dialog, once it runs.
std::function<void(FORM&)> user;

DLGCODES tabbed_settings(FORM& form, unsigned msg, unsigned, long)
{
    if (msg == DLGM_START)
        later([&form] { user(form); });
    return DLG_DEFAULT;
}

// The dialog with its pages' callbacks, over a registry of its own.
struct SETTINGSRUN {
    SETTINGSRUN()
    {
        reg_init(REGISTRY_USERTHENMACHINE, "Software\\Venthorne Electronics\\Settings Test");
        factory.callbacks = [](const char* name) -> FORMPROC {
            if (strcasecmp(name, "tabbed_settings") == 0)
                return tabbed_settings;
            if (strcasecmp(name, "core_settings") == 0)
                return core_settings;
            return strcasecmp(name, "brix_settings") == 0 ? brix_settings : nullptr;
        };
        strnzcpy(template_paths, "C:\\Templates", LIBRARYPATHSIZE - 1);
        strnzcpy(cadcam_path, "C:\\Output", PATHBUFFER - 1);
        strnzcpy(mcad_user_path, "C:\\MCAD", PATHBUFFER - 1);
        strnzcpy(partition_path, towindowspath("/var/results").c_str(), PATHBUFFER - 1);
        library_locale = 0;
    }
    Started started;
    RecordedBoxes boxes;
    Factory factory;
};

void choose(FORM& form, const char* button)
{
    form.getroot()->findChild<QRadioButton*>(button)->click();
}

std::string registrypath(const char* value)
{
    std::string path;
    return reg_getpath(nullptr, value, path) ? path : "(none)";
}

TEST(SettingsDialog, OkWritesTheFoldersAndLimitsAndAnUnknownToolbarSizeBecomesAuto)
{
    SETTINGSRUN run;
    // Folders as the program holds them, in their Windows form.
    static const std::string templates = towindowspath("/srv/templates") + ";" + towindowspath("/home/me/mine");
    static const std::string models = towindowspath("/home/me/models");
    CTRLBAR::setsizing(20);
    SYSTEMSETTINGS settings;
    settings.undolevels = 25;
    user = [](FORM& form) {
        EXPECT_EQ(form.getctrl("TOOLBARSIZE")->getvalue(), 0) << "20 pixels shows as Auto";
        EXPECT_EQ(form.getctrl("UNDOLEVELS")->getvalue(), 25);
        EXPECT_FALSE(form.getctrl("DOCFOLDER")->isenabled()) << "the first open mode";
        choose(form, "openmode2");
        EXPECT_TRUE(form.getctrl("DOCFOLDER")->isenabled());
        form.getctrl("DOCFOLDER")->settext("C:\\Designs");
        EXPECT_EQ(form.getctrl("USEDIR")->getvalue(), 1) << "a CADCAM path is given";
        EXPECT_TRUE(form.getctrl("CCDIR")->isenabled());
        choose(form, "usedir0");
        EXPECT_FALSE(form.getctrl("CCDIR")->isenabled());
        form.getctrl("TEMPLATES")->settext(templates.c_str());
        form.getctrl("MCADDIR")->settext(models.c_str());
        choose(form, "locale2");
        form.getctrl("UNDOLEVELS")->setvalue(40);
        form.pressbutton(IDOK);
    };
    ASSERT_EQ(editsystemsettings(settings, nullptr), 1);
    EXPECT_EQ(settings.folderopenmode, 2);
    EXPECT_STREQ(settings.documentpath, "C:\\Designs");
    EXPECT_EQ(settings.undolevels, 40);
    EXPECT_EQ(CTRLBAR::getsizing(), 0);
    EXPECT_EQ(template_paths, templates);
    EXPECT_EQ(library_locale, 2);
    EXPECT_STREQ(cadcam_path, "") << "the project's folder takes the output";
    EXPECT_EQ(mcad_user_path, models);
    EXPECT_EQ(registrypath("Template Paths"), templates);
    EXPECT_EQ(reg_getdw(nullptr, "Library Locale", 9), 2u);
    EXPECT_EQ(registrypath("CADCAM Path"), "");
    EXPECT_EQ(registrypath("MCAD Path"), models);
    EXPECT_EQ(registrypath("Results Path"), partition_path);
}

TEST(SettingsDialog, CancelChangesNothing)
{
    SETTINGSRUN run;
    CTRLBAR::setsizing(24);
    SYSTEMSETTINGS settings;
    user = [](FORM& form) {
        EXPECT_EQ(form.getctrl("TOOLBARSIZE")->getvalue(), 2);
        form.getctrl("TEMPLATES")->settext("D:\\Elsewhere");
        choose(form, "usedir0");
        form.getctrl("TOOLBARSIZE")->setvalue(3);
        form.pressbutton(IDCANCEL);
    };
    EXPECT_EQ(editsystemsettings(settings, nullptr), 0);
    EXPECT_STREQ(template_paths, "C:\\Templates");
    EXPECT_STREQ(cadcam_path, "C:\\Output");
    EXPECT_EQ(CTRLBAR::getsizing(), 24);
    EXPECT_EQ(registrypath("Template Paths"), "(none)");
}

} // namespace
