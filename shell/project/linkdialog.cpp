#include "shell/project/linkdialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/hulvane/cdbcore.h"
#include "shell/project/linkhandler.h"

namespace {

constexpr int HELPID = 32;
constexpr const char* schematicmodule = "tavi";
constexpr const char* layoutmodule = "brix";
constexpr const char* bookmarkscheme = "bookmark";

QWidget* formpage(QFormLayout*& form)
{
    auto* page = new QWidget;
    form = new QFormLayout(page);
    form->setContentsMargins(0, 0, 0, 0);
    return page;
}

} // namespace

int LinkDialog::lastpage = LinkDialog::EXTERNAL;

LinkDialog::LinkDialog(
    QWidget* parent, const QString& shown, const QString& given, const QStringList& bookmarks, CDBCORE* cdb)
    : APPLNDIALOG(parent, HELPID, "MERVALE")
    , text(new QLineEdit(shown))
    , types(new QButtonGroup(this))
    , pages(new QStackedWidget)
    , address(new QLineEdit)
    , bookmark(new QComboBox)
    , targettype(new QComboBox)
    , live(new QCheckBox(tr("Live Display Text")))
    , target(new QComboBox)
    , remove(new QPushButton(tr("Remove Link")))
{
    setWindowTitle(given.isEmpty() ? tr("Create Link") : tr("Edit Link"));
    auto* typebox = new QGroupBox(tr("Link Type"));
    auto* typerow = new QHBoxLayout(typebox);
    const QString typenames[] = { tr("External Link"), tr("Internal Link"), tr("Corvane Link") };
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(typenames[i]);
        types->addButton(button, i);
        typerow->addWidget(button);
    }
    QFormLayout* form = nullptr;
    pages->addWidget(formpage(form));
    form->addRow(tr("Address"), address);
    pages->addWidget(formpage(form));
    form->addRow(tr("Bookmark"), bookmark);
    pages->addWidget(formpage(form));
    targettype->addItems({ tr("Schematic"), tr("Layout") });
    form->addRow(tr("Target Type"), targettype);
    form->addRow(QString(), live);
    target->setEditable(true);
    form->addRow(tr("Link Target"), target);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok = buttons->button(QDialogButtonBox::Ok);
    buttons->addButton(remove, QDialogButtonBox::DestructiveRole);
    auto* textform = new QFormLayout;
    textform->addRow(tr("Text To Display"), text);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(typebox);
    layout->addLayout(textform);
    layout->addWidget(pages);
    layout->addWidget(buttons);

    remove->setVisible(!given.isEmpty());
    ok->setEnabled(false);
    bookmark->addItems(bookmarks);
    filltargets(cdb);
    choosepage(static_cast<PAGE>(lastpage));
    filltargetbox();
    readlink(given);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, [this] {
        removed = true;
        accept();
    });
    connect(types, &QButtonGroup::idClicked, this, [this](int id) { choosepage(static_cast<PAGE>(id)); });
    connect(text, &QLineEdit::textChanged, this, [this] { validate(); });
    connect(address, &QLineEdit::textChanged, this, [this] { validate(); });
    connect(target, &QComboBox::currentTextChanged, this, [this] { validate(); });
    connect(live, &QCheckBox::toggled, this, [this] { validate(); });
    connect(targettype, &QComboBox::currentIndexChanged, this, [this] {
        filltargetbox();
        validate();
    });
    validate();
}

void LinkDialog::filltargets(CDBCORE* cdb)
{
    if (!cdb)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CDBWALKQ queue;
    for (SHEET* sheet = cdb->walkfirstsheet(queue, 0, 1, nullptr); sheet; sheet = cdb->walknextsheet(queue))
        for (const ELEMENT* element : sheet->elements) {
            if (!element->name.empty())
                elements.insert(QString::fromStdString(element->name).toUpper(), element->id);
            if (element->part && !element->part->name.empty())
                parts.insert(QString::fromStdString(element->part->name).toUpper(), element->part->id);
        }
    QApplication::restoreOverrideCursor();
}

void LinkDialog::readlink(const QString& given)
{
    if (given.isEmpty())
        return;
    const QUrl url(given);
    QString ref;
    QString module;
    unsigned long id = 0;
    bool islive = false;
    if (url.scheme() == QLatin1String(bookmarkscheme) || (url.scheme().isEmpty() && given.startsWith('#'))) {
        bookmark->setCurrentIndex(bookmark->findText(url.fragment(QUrl::FullyDecoded)));
        choosepage(INTERNAL);
    } else if (LinkHandler::parseCorvaneLink(url, ref, id, module, islive)) {
        targettype->setCurrentIndex(module == QLatin1String(schematicmodule) ? 0 : 1);
        filltargetbox();
        live->setChecked(islive);
        QMap<QString, unsigned long>& map = module == QLatin1String(schematicmodule) ? elements : parts;
        const QString key = ref.toUpper();
        if (map.value(key, 0) != id) {
            map.insert(key, id);
            filltargetbox();
        }
        target->setCurrentText(key);
        choosepage(DESIGN);
    } else {
        address->setText(given);
        choosepage(EXTERNAL);
    }
}

void LinkDialog::filltargetbox()
{
    const QSignalBlocker quiet(target);
    target->clear();
    target->addItems(targetmap().keys());
    target->setCurrentIndex(-1);
}

const QMap<QString, unsigned long>& LinkDialog::targetmap() const
{
    return targettype->currentIndex() == 0 ? elements : parts;
}

void LinkDialog::choosepage(PAGE chosen)
{
    types->button(chosen)->setChecked(true);
    pages->setCurrentIndex(chosen);
    lastpage = chosen;
    validate();
}

LinkDialog::PAGE LinkDialog::page() const
{
    return static_cast<PAGE>(pages->currentIndex());
}

void LinkDialog::validate()
{
    bool valid = false;
    if (page() == DESIGN) {
        const int found = target->findText(text->text().toUpper(), Qt::MatchFixedString);
        if (found >= 0 && target->currentIndex() != found) {
            const QSignalBlocker quiet(target);
            target->setCurrentIndex(found);
        }
        if (live->isChecked() && text->text() != target->currentText()) {
            const QSignalBlocker quiet(text);
            text->setText(target->currentText());
        }
        text->setEnabled(!live->isChecked());
        valid = targetmap().contains(target->currentText().toUpper());
    } else {
        text->setEnabled(true);
        valid = page() == INTERNAL || (!address->text().isEmpty() && QUrl(address->text(), QUrl::StrictMode).isValid());
    }
    ok->setEnabled(!text->text().isEmpty() && valid);
}

QString LinkDialog::displayText() const
{
    return text->text();
}

QString LinkDialog::link() const
{
    if (removed)
        return QString();
    switch (page()) {
    case EXTERNAL:
        return address->text();
    case INTERNAL:
        return bookmark->currentIndex() >= 0
            ? QStringLiteral("bookmark://#%1").arg(QString::fromLatin1(QUrl::toPercentEncoding(bookmark->currentText())))
            : QString();
    case DESIGN: {
        const QString name = target->currentText().toUpper();
        return LinkHandler::createCorvaneLink(QLatin1String(targettype->currentIndex() == 0 ? schematicmodule : layoutmodule),
            name, targetmap().value(name), live->isChecked());
    }
    }
    return QString();
}
