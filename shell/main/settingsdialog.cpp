#include "shell/main/settingsdialog.h"

#include "core/text/strutil.h"
#include "core/windows/registry.h"
#include "framework/appln/registrytext.h"
#include "framework/bars/ctrlbar.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/hulvane/librarypaths.h"
#include "shell/main/outsidemodules.h"
#include "shell/main/vktpaths.h"

namespace {

constexpr int toolbarsizes[] = { 0, 16, 24, 32 };
constexpr int DOCUMENTPATHMODE = 2;
constexpr int PATHFROMABOVE = 1; // the CADCAM output goes to the path given, not the project's folder

// The control's value; -1 when the form has no such control.
long valueof(FORM& form, const char* name)
{
    CONTROL* control = form.getctrl(name);
    return control ? control->getvalue() : -1;
}

void enableif(FORM& form, const char* name, bool on)
{
    if (CONTROL* control = form.getctrl(name))
        control->enable(on ? 1 : 0);
}

void committext(FORM& form, const char* name, char* buffer, int size)
{
    if (CONTROL* control = form.getctrl(name))
        strnzcpy(buffer, control->text().c_str(), size - 1);
}

} // namespace

int toolbarsizechoice(int pixels)
{
    for (int choice = 1; choice < 4; ++choice)
        if (toolbarsizes[choice] == pixels)
            return choice;
    return 0;
}

int editsystemsettings(SYSTEMSETTINGS& settings, IREPORT* reporter)
{
    int upload = reporter ? reporter->getuploadmode() : 0;
    int checkdays = reporter ? reporter->getcheckinterval() : 0;
    int ticketage = reporter ? reporter->getticketage() : 5;
    int toolbar = toolbarsizechoice(CTRLBAR::getsizing());
    if (rm_get("TABBED_SETTINGS", &settings.folderopenmode, settings.documentpath, &library_locale, template_paths,
            library_paths, snippets_path, viewdata_path, &settings.undolevels, &settings.autosaveinterval, &toolbar,
            &settings.backuplevels, settings.backupfolder, module_paths, partition_path, &partition_kb_limit,
            cadcam_path, mcad_user_path, mcad_cache, &upload, &checkdays, &ticketage)
        != IDOK)
        return 0;
    reg_putpath(nullptr, "Template Paths", template_paths);
    reg_putpath(nullptr, "Library Paths", library_paths);
    reg_putval(nullptr, "Library Locale", static_cast<DWORD>(library_locale));
    reg_putpath(nullptr, "Datasheets Path", viewdata_path);
    reg_putpath(nullptr, "Snippets Path", snippets_path);
    CTRLBAR::setsizing(toolbarsizes[toolbar >= 0 && toolbar < 4 ? toolbar : 0]);
    reg_putpath(nullptr, "Module Paths", module_paths);
    reg_putpath(nullptr, "Results Path", partition_path);
    reg_putval(nullptr, "Results Limit", static_cast<DWORD>(partition_kb_limit));
    reg_putpath(nullptr, "CADCAM Path", cadcam_path);
    reg_putpath(nullptr, "MCAD Path", mcad_user_path);
    reg_putpath(nullptr, "MCAD Cache", mcad_cache);
    if (reporter) {
        reporter->setuploadmode(upload);
        reporter->setcheckinterval(checkdays);
        reporter->setticketage(ticketage);
    }
    return 1;
}

DLGCODES core_settings(FORM& form, unsigned msg, unsigned, long)
{
    if (msg == DLGM_START || msg == DLGM_COMMAND || msg == DLGM_UPDATE)
        enableif(form, "DOCFOLDER", valueof(form, "OPENMODE") == DOCUMENTPATHMODE);
    return DLG_DEFAULT;
}

DLGCODES brix_settings(FORM& form, unsigned msg, unsigned wparam, long)
{
    switch (msg) {
    case DLGM_START:
        if (CONTROL* usedir = form.getctrl("USEDIR"))
            usedir->setvalue(*cadcam_path ? PATHFROMABOVE : 0);
        enableif(form, "CCDIR", valueof(form, "USEDIR") == PATHFROMABOVE);
        break;
    case DLGM_COMMAND:
    case DLGM_UPDATE:
        enableif(form, "CCDIR", valueof(form, "USEDIR") == PATHFROMABOVE);
        break;
    case DLGM_CLOSING:
        if (wparam != IDOK)
            break;
        if (valueof(form, "USEDIR") == PATHFROMABOVE)
            committext(form, "CCDIR", cadcam_path, PATHBUFFER);
        else
            *cadcam_path = '\0';
        committext(form, "MCADDIR", mcad_user_path, PATHBUFFER);
        committext(form, "MCADCACHE", mcad_cache, PATHBUFFER);
        return DLG_HANDLED;
    default:
        break;
    }
    return DLG_DEFAULT;
}
