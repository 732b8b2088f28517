#include "shell/project/linkhandler.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QUrl>
#include <QUrlQuery>

#include "framework/appln/applnframe.h"
#include "framework/appln/applnprocess.h"
#include "framework/appln/applnwidget.h"
#include "framework/documents/applndocument.h"
#include "platform/drelm/messageboxes.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/win/qt/winqt.h"
#include "shell/project/idesignexplorer.h"
#include "shell/project/linkdialog.h"
#include "shell/project/vktproject.h"

namespace {

const QString designscheme = QStringLiteral("corvane");
const QString schematic = QStringLiteral("tavi");
const QString layout = QStringLiteral("brix");

CDBCORE* database()
{
    auto* project = dynamic_cast<VKTPROJECT*>(getapplnproject());
    return project ? project->getcdb() : nullptr;
}

// The current name of what the link names; empty when it is gone or has none.
QString currentname(CDBCORE& cdb, const QString& module, unsigned long id)
{
    const auto key = static_cast<uint32_t>(id);
    if (module == schematic) {
        const ELEMENT* element = cdb.getelement(key);
        return element ? QString::fromStdString(element->name) : QString();
    }
    const PART* part = cdb.getpart(key);
    return part ? QString::fromStdString(part->name) : QString();
}

void refuse(const QString& link, const QString& reason)
{
    qDebug() << "Invalid link activated: " << link.left(LinkHandler::LONGESTLINK);
    errbox(QStringLiteral("The link cannot be followed: %1").arg(reason).toLocal8Bit().constData());
}

// Shows what a design link names through the design explorer.
void showindesign(const QString& link)
{
    QString ref;
    QString module;
    unsigned long id = 0;
    bool live = false;
    LinkHandler::parseCorvaneLink(QUrl(link), ref, id, module, live);
    CDBCORE* cdb = database();
    if (!cdb || currentname(*cdb, module, id).isNull()) {
        qDebug() << "LinkHandler: Part not found: " << ref;
        refuse(link, QStringLiteral("the design holds nothing of the id %1 (%2).").arg(id).arg(ref));
        return;
    }
    auto* explorer = static_cast<IDESIGNEXPLORER*>(getmoduleinterface("PELVARD", IDESIGNEXPLORER::ID));
    if (!explorer) {
        errbox("The design explorer module 'PELVARD' is not installed: the link shows nothing.");
        return;
    }
    if (!explorer->isavailable())
        return;
    const int inlayout = module == layout ? 1 : 0;
    if (inlayout)
        explorer->switchto(1);
    if (!explorer->show(inlayout, static_cast<uint32_t>(id)))
        qDebug() << (inlayout ? "LinkHandler: Part not placed: " : "LinkHandler: Part not found: ") << ref;
}

} // namespace

QString LinkHandler::createCorvaneLink(const QString& module, const QString& ref, unsigned long id, bool live)
{
    return QStringLiteral("corvane://%1?ref=%2&id=%3&live=%4")
        .arg(module, QString::fromLatin1(QUrl::toPercentEncoding(ref)), QString::number(id),
            live ? QStringLiteral("true") : QStringLiteral("false"));
}

bool LinkHandler::parseCorvaneLink(const QUrl& url, QString& ref, unsigned long& id, QString& module, bool& live)
{
    id = 0;
    live = false;
    if (url.scheme() != designscheme)
        return false;
    const QUrlQuery query(url);
    module = url.authority();
    live = query.queryItemValue(QStringLiteral("live")) == QLatin1String("true");
    bool number = false;
    id = query.queryItemValue(QStringLiteral("id")).toULong(&number);
    if (!number)
        id = 0;
    ref = query.queryItemValue(QStringLiteral("ref"), QUrl::FullyDecoded);
    return true;
}

QString LinkHandler::refusal(const QString& link)
{
    if (link.size() > LONGESTLINK)
        return QStringLiteral("it is longer than %1 characters.").arg(LONGESTLINK);
    for (const QChar c : link)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("it holds a control character.");
    const QUrl url(link, QUrl::StrictMode);
    if (!url.isValid())
        return QStringLiteral("it is not a valid address.");
    const QString scheme = url.scheme();
    if (scheme.isEmpty() && link.startsWith(QLatin1Char('#')))
        return QString();
    if (scheme == QLatin1String("bookmark") || scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return QString();
    if (scheme != designscheme)
        return QStringLiteral("its scheme '%1' is none this program follows.").arg(scheme.left(32));
    QString ref;
    QString module;
    unsigned long id = 0;
    bool live = false;
    parseCorvaneLink(url, ref, id, module, live);
    if (module != schematic && module != layout)
        return QStringLiteral("it names no kind of design element this program knows ('%1').").arg(module.left(32));
    if (!url.path().isEmpty())
        return QStringLiteral("it holds a path; a design link names its element by its id alone.");
    if (!id)
        return QStringLiteral("it names no element id.");
    return QString();
}

void LinkHandler::navigateLink(const QString& link)
{
    qDebug() << "LinkHandler link activated: " << link.left(LONGESTLINK);
    if (const QString reason = refusal(link); !reason.isEmpty()) {
        refuse(link, reason);
        return;
    }
    const QUrl url(link);
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        QDesktopServices::openUrl(url);
    else if (scheme == designscheme)
        showindesign(link);
}

void LinkHandler::modifyLink(QString& text, QString& link, const QStringList& bookmarks)
{
    QWidget* parent = getapplnwidget();
    if (!parent)
        if (APPLNPROCESS* process = getapplnprocess())
            if (APPLNFRAME* frame = process->getactiveframe())
                parent = winqt::widgetof(frame->hwnd);
    LinkDialog dialog(parent, text, link, bookmarks, database());
    if (dialog.exec() != QDialog::Accepted)
        return;
    text = dialog.displayText();
    link = dialog.link();
}

void LinkHandler::updateLiveLinks(QMap<QString, QPair<QString, QString>>& links)
{
    updateLiveLinks(links, database());
}

void LinkHandler::updateLiveLinks(QMap<QString, QPair<QString, QString>>& links, CDBCORE* cdb)
{
    if (!cdb || !cdb->numelements()) {
        links.clear();
        return;
    }
    for (auto entry = links.begin(); entry != links.end();) {
        QString ref;
        QString module;
        unsigned long id = 0;
        bool live = false;
        if (!refusal(entry.key()).isEmpty() || !parseCorvaneLink(QUrl(entry.key()), ref, id, module, live) || !live) {
            entry = links.erase(entry);
            continue;
        }
        const QString name = currentname(*cdb, module, id);
        // A link to something gone keeps its reference, so that its text does not grow with every
        // refresh.
        const QString text = !name.isEmpty()
            ? name
            : QCoreApplication::translate("LinkHandler::live reference not found message", "%1 (not found)").arg(ref);
        entry.value() = { createCorvaneLink(module, name.isEmpty() ? ref : name, id, live), text };
        ++entry;
    }
}
