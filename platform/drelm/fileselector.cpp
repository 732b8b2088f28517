#include "platform/drelm/fileselector.h"

#include <QDir>
#include <QFileDialog>
#include <strings.h>

#include "platform/drelm/filefilter.h"
#include "platform/win/pathboundary.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace {

enum Mode { opening, saving, choosingfolder };

QStringList namefilters(const std::string& filter)
{
    QStringList filters;
    for (const FILEFILTER& f : parsefilefilter(filter.c_str())) {
        QStringList patterns;
        for (const std::string& p : f.patterns)
            patterns << QString::fromUtf8(p == "*.*" ? "*" : p.c_str()); // every file, as on Windows
        filters << QString::fromUtf8(f.name.c_str()) + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

} // namespace

std::string withdefaultextension(const std::string& name, const std::string& defext)
{
    if (defext.empty())
        return name;
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.rfind('.');
    const bool hasextension
        = dot != std::string::npos && (slash == std::string::npos || dot > slash) && dot + 1 < name.size();
    if (!hasextension)
        return (dot + 1 == name.size() ? name : name + ".") + defext;
    if (strcasecmp(name.c_str() + dot + 1, defext.c_str()) == 0)
        return name.substr(0, dot + 1) + defext;
    return name;
}

FILESELECTOR::FILESELECTOR(const char* title, const char* filter, const char* defext, const char* initial)
{
    settitle(title);
    setfilter(filter);
    setdefext(defext);
    setinitial(initial);
}

void FILESELECTOR::settitle(const char* text)
{
    title = text ? text : "";
}

void FILESELECTOR::setfilter(const char* text)
{
    filter = text ? text : "";
}

void FILESELECTOR::setdefext(const char* extension)
{
    defext = extension ? extension : "";
    if (!defext.empty() && defext[0] == '.')
        defext.erase(0, 1);
}

void FILESELECTOR::setinitial(const char* path)
{
    initial = path ? path : "";
}

void FILESELECTOR::setmultiselect(int on)
{
    multiselect = on != 0;
}

int FILESELECTOR::open(HWND owner)
{
    return ask(owner, opening);
}

int FILESELECTOR::save(HWND owner)
{
    return ask(owner, saving);
}

int FILESELECTOR::folder(HWND owner)
{
    return ask(owner, choosingfolder);
}

const char* FILESELECTOR::getpath(int index) const
{
    return index >= 0 && index < count() ? paths[static_cast<size_t>(index)].c_str() : "";
}

int FILESELECTOR::ask(HWND owner, int mode)
{
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    QFileDialog dialog(winqt::widgetof(root), QString::fromUtf8(title.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    const QStringList filters = namefilters(filter);
    if (mode == choosingfolder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setNameFilters(filters);
        dialog.setAcceptMode(mode == saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setDefaultSuffix(QString::fromUtf8(defext.c_str())); // added before the overwrite question
        dialog.setFileMode(mode == saving ? QFileDialog::AnyFile
                : multiselect             ? QFileDialog::ExistingFiles
                                          : QFileDialog::ExistingFile);
    }
    if (!initial.empty()) {
        const QString start = QString::fromUtf8(toposixpath(initial.c_str()).c_str());
        if (QFileInfo(start).isDir())
            dialog.setDirectory(start);
        else
            dialog.selectFile(start);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 0;
    paths.clear();
    for (const QString& chosen : dialog.selectedFiles()) {
        std::string path = chosen.toUtf8().toStdString();
        if (mode == saving)
            path = withdefaultextension(path, defext);
        paths.push_back(towindowspath(path));
    }
    filterindex = std::max<int>(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return 1;
}
