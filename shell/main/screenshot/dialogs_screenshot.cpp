// Under a real X server (Xvfb): the System Settings dialog on its first page and the about box,
// built from the program's forms and grabbed as build/artifacts/settings-dialog.png (the path
// VKT_SCREENSHOT_PATH names) and about.png beside it; each is checked for its texts' ink.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <filesystem>

#include "platform/drelm/form.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/win/window.h"
#include "shell/main/aboutbox.h"
#include "shell/main/settingsdialog.h"
#include "shell/main/tests/programabouttexts.h"
#include "shell/main/vktpaths.h"

using namespace drelmtest;

namespace {

// The form shown modeless at (40, 40), grabbed into path; the picture.
QImage grab(FORM& form, const std::string& path)
{
    SetWindowPos(form.gethwnd(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    wintest::settle();
    wintest::turnuntil([] { return false; }, 800);
    RECT area;
    GetWindowRect(form.gethwnd(), &area);
    QImage shot = QGuiApplication::primaryScreen()
                      ->grabWindow(0, area.left, area.top, area.right - area.left, area.bottom - area.top)
                      .toImage();
    EXPECT_TRUE(shot.save(QString::fromStdString(path), "PNG"));
    return shot;
}

// The share of dark pixels: text drawn on the light dialog.
double ink(const QImage& shot)
{
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            dark += qGray(shot.pixel(x, y)) < 100;
    return shot.isNull() ? 0 : static_cast<double>(dark) / (shot.width() * shot.height());
}

} // namespace

TEST(XvfbScreenshot, TheSettingsDialogAndTheAboutBox)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    const char* path = std::getenv("VKT_SCREENSHOT_PATH");
    ASSERT_NE(path, nullptr);
    Started started;
    Factory factory;
    factory.callbacks = [](const char* name) -> FORMPROC {
        if (strcasecmp(name, "core_settings") == 0)
            return core_settings;
        if (strcasecmp(name, "brix_settings") == 0)
            return brix_settings;
        return strcasecmp(name, "help_about") == 0 ? help_about : nullptr;
    };

    strcpy(template_paths, "C:\\Users\\Public\\Documents\\Corvane\\Templates");
    strcpy(library_paths, "C:\\Users\\Public\\Documents\\Corvane\\Library");
    strcpy(snippets_path, "C:\\Users\\Public\\Documents\\Corvane\\Snippets");
    strcpy(viewdata_path, "C:\\Users\\Public\\Documents\\Corvane\\Datasheets");
    SYSTEMSETTINGS settings;
    strcpy(settings.documentpath, "C:\\Users\\Designer\\Documents");
    strcpy(settings.backupfolder, "Project Backups");
    int toolbar = 0;
    int upload = 1;
    int checkdays = 7;
    int ticketage = 30;
    FORM dialog(nullptr, "TABBED_SETTINGS");
    ASSERT_EQ(dialog.open(DLG_MODELESS, LT_VARARGS, &settings.folderopenmode, settings.documentpath,
                  &library_locale, template_paths, library_paths, snippets_path, viewdata_path, &settings.undolevels,
                  &settings.autosaveinterval, &toolbar, &settings.backuplevels, settings.backupfolder, module_paths,
                  partition_path, &partition_kb_limit, cadcam_path, mcad_user_path, mcad_cache, &upload, &checkdays,
                  &ticketage),
        1);
    const QImage settingsshot = grab(dialog, path);
    EXPECT_GT(ink(settingsshot), 0.01) << "the page's labels";
    for (const char* name : { "openmode0", "openmode2", "DOCFOLDER", "BACKUPFOLDER" }) {
        const QWidget* widget = dialog.getroot()->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_GE(widget->height(), widget->sizeHint().height()) << name << " is squeezed";
    }
    dialog.end(IDCANCEL);

    const ABOUTTEXTS texts = programabouttexts(1234567890);
    FORM about(nullptr, "HELP_ABOUT", help_about);
    ASSERT_EQ(about.open(DLG_MODELESS, LT_VARARGS, "Corvane", texts.release.c_str(), texts.website.c_str(),
                  texts.pins.c_str(), texts.memory.c_str(), texts.system.c_str(), texts.controls.c_str()),
        1);
    const QImage aboutshot
        = grab(about, (std::filesystem::path(path).parent_path() / "about.png").string());
    EXPECT_GT(ink(aboutshot), 0.005) << "the version lines";
    about.end(IDCANCEL);
}
