#include "platform/drelm/formbuilder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdlib>

#include "core/windows/stringtable.h"
#include "platform/drelm/controlevents.h"
#include "platform/drelm/controltext.h"
#include "platform/drelm/form.h"
#include "platform/drelm/formfactory.h"
#include "platform/drelm/formregistry.h"
#include "platform/drelm/formtemplate.h"
#include "platform/win/gdi.h"
#include "platform/win/images.h"
#include "platform/win/menu.h"
#include "platform/win/messagebox.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace {

constexpr int MAXPAGEDEPTH = 4;

// A name the layout's author gave: Designer's defaults ("pushButton_2") start in lower case.
bool isgivenname(const QString& name)
{
    return !name.isEmpty() && !name.at(0).isLower();
}

bool isinteractive(CTRLKIND kind)
{
    return kind != CK_STATIC && kind != CK_PICTURE && kind != CK_GROUPBOX && kind != CK_TABS;
}

// The kind of a widget of a layout; false for containers and the toolkit's inner widgets.
bool kindof(QWidget* widget, CTRLKIND& kind)
{
    const QString classname = QString::fromLatin1(widget->metaObject()->className());
    if (classname == QLatin1String("QPushButton")) {
        kind = widget->property("menu").isValid()       ? CK_MENUBUTTON
            : widget->property("colourpicker").toBool() ? CK_COLOURBUTTON
                                                        : CK_BUTTON;
    } else if (classname == QLatin1String("QCheckBox") || classname == QLatin1String("QRadioButton")) {
        kind = CK_CHECKBOX; // a radio button of a group is the group's (visit)
    } else if (classname == QLatin1String("QLineEdit")) {
        kind = widget->property(drelm::VALUEKINDPROPERTY).isValid() ? CK_VALUEEDIT
            : widget->property("keyedit").toBool()                  ? CK_KEYEDIT
                                                                    : CK_EDIT;
    } else if (classname == QLatin1String("QPlainTextEdit")) {
        kind = CK_EDIT;
    } else if (classname == QLatin1String("QSpinBox")) {
        kind = CK_SPINEDIT;
    } else if (classname == QLatin1String("QComboBox")) {
        kind = CK_COMBOBOX;
    } else if (classname == QLatin1String("QListWidget")) {
        kind = CK_LISTBOX;
    } else if (classname == QLatin1String("QTableWidget")) {
        kind = CK_LISTVIEW;
    } else if (classname == QLatin1String("QTreeWidget")) {
        kind = CK_TREEVIEW;
    } else if (classname == QLatin1String("QSlider")) {
        kind = CK_SLIDER;
    } else if (classname == QLatin1String("QTabWidget")) {
        kind = CK_TABS;
    } else if (classname == QLatin1String("QLabel")) {
        kind = widget->property("image").isValid() ? CK_PICTURE : CK_STATIC;
    } else if (classname == QLatin1String("QGroupBox")) {
        kind = CK_GROUPBOX;
    } else {
        return false;
    }
    return true;
}

// The form of a top-level window: the outermost form of a page.
FORM& outermost(FORM& form)
{
    FORM* f = &form;
    while (f->getparentform())
        f = f->getparentform();
    return *f;
}

// Keeps a window control over its placeholder: position, size and visibility.
class PlaceholderTracker : public QObject {
public:
    PlaceholderTracker(QWidget* placeholder, QWidget* root, HWND window, QObject* owner)
        : QObject(owner)
        , placeholder(placeholder)
        , root(root)
        , window(window)
    {
        placeholder->installEventFilter(this);
        follow();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            follow();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void follow()
    {
        const QPoint at = placeholder->mapTo(root, QPoint(0, 0));
        SetWindowPos(window, nullptr, at.x(), at.y(), placeholder->width(), placeholder->height(),
            SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(window, placeholder->isVisibleTo(root) ? SW_SHOWNA : SW_HIDE);
    }

    QWidget* placeholder;
    QWidget* root;
    HWND window;
};

// Return and Escape that reach the form: an edit's callback may take them, else they press the
// default (or OK) button and Cancel.
class DialogKeys : public QObject {
public:
    DialogKeys(FORM& form, QObject* owner)
        : QObject(owner)
        , form(form)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (!enter && key != Qt::Key_Escape)
            return false;
        CONTROL* focused = form.ctrlofwidget(QApplication::focusWidget());
        if (focused && (focused->getkind() == CK_EDIT || focused->getkind() == CK_VALUEEDIT)) {
            const unsigned code = enter ? 13 : 27;
            if (focused->report(DLGM_KEY, MAKEWPARAM(focused->getid(), code), 0) == DLG_HANDLED)
                return true;
        }
        if (!enter)
            return form.pressbutton(IDCANCEL) != 0;
        for (auto* button : form.getroot()->findChildren<QPushButton*>())
            if (button->isDefault() && button->isEnabled() && button->isVisibleTo(form.getroot())) {
                button->click();
                return true;
            }
        return form.pressbutton(IDOK) != 0;
    }

private:
    FORM& form;
};

} // namespace

FORMBUILDER::FORMBUILDER(FORM& form, HINSTANCE module, int depth)
    : form(form)
    , top(outermost(form))
    , module(module)
    , depth(depth)
{
}

std::string FORMBUILDER::build()
{
    QWidget* root = form.root;
    translate(root);
    if (&form == &top && root->property("bind").toBool()) {
        const char* title = static_cast<const char*>(form.nextarg());
        QString shown = root->windowTitle();
        const QString given = QString::fromUtf8(title ? title : "");
        shown = shown.contains(QLatin1String("%s")) ? shown.replace(QLatin1String("%s"), given) : given;
        root->setWindowTitle(shown);
    }
    walk(root);
    if (&form == &top) {
        form.guard = new QObject;
        root->installEventFilter(new DialogKeys(form, form.guard));
    }
    return error;
}

void FORMBUILDER::walk(QWidget* parent)
{
    for (QObject* child : parent->children()) {
        if (!error.empty())
            return;
        if (auto* widget = qobject_cast<QWidget*>(child))
            visit(widget);
    }
}

void FORMBUILDER::visit(QWidget* widget)
{
    translate(widget);
    const QVariant type = widget->property("controltype");
    if (type.isValid()) {
        placeholder(widget, type.toInt());
        return;
    }
    CTRLKIND kind;
    if (!kindof(widget, kind)) {
        walk(widget); // a container, or the toolkit's inner widgets
        return;
    }
    QObject* object = widget;
    QString name = widget->objectName();
    if (auto* radio = qobject_cast<QRadioButton*>(widget); radio && radio->group()) {
        QButtonGroup* group = radio->group();
        if (group->buttons().first() != radio)
            return; // the group is the control of its first button
        object = group;
        name = group->objectName();
        kind = CK_RADIOGROUP;
    }
    if (!isgivenname(name) && !widget->property("id").isValid()) {
        if (isinteractive(kind))
            qDebug("form '%s': control '%s' has no id or control name; ignored", form.getname(),
                qPrintable(name));
    } else if (CONTROL* control = add(object, kind, name)) {
        bind(*control);
        link(*control);
    }
    if (kind == CK_GROUPBOX)
        walk(widget);
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        // In the order of the tabs: the toolkit's children may stand in another.
        for (int i = 0; i < tabs->count() && error.empty(); ++i) {
            QWidget* tab = tabs->widget(i);
            if (const QVariant pageform = tab->property("form"); pageform.isValid())
                page(tab, pageform.toString());
            else
                walk(tab);
        }
    }
}

CONTROL* FORMBUILDER::add(QObject* object, CTRLKIND kind, const QString& name)
{
    QWidget* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        widget = static_cast<QButtonGroup*>(object)->buttons().first();
    const QVariant given = object->property("id").isValid() ? object->property("id") : widget->property("id");
    const int id = given.isValid() ? given.toInt() : top.autoid++;
    auto control = std::unique_ptr<CONTROL>(new CONTROL(&form, object, kind, id, name.toUtf8().constData()));
    if (kind == CK_PICTURE) {
        const QByteArray image = widget->property("image").toString().toUtf8();
        if (HANDLE icon = LoadImageA(module, image.constData(), IMAGE_ICON, 0, 0, 0)) {
            control->seticon(static_cast<HICON>(icon));
            DestroyIcon(static_cast<HICON>(icon));
        }
    }
    if (kind == CK_KEYEDIT || kind == CK_COLOURBUTTON)
        drelm::setvaluetext(*control, 0);
    form.controls.push_back(std::move(control));
    return form.controls.back().get();
}

void FORMBUILDER::bind(CONTROL& control)
{
    QObject* object = control.object;
    QWidget* widget = control.getwidget();
    const bool bound
        = (widget ? widget : static_cast<QButtonGroup*>(object)->buttons().first())->property("bind").toBool()
        || object->property("bind").toBool();
    if (!bound)
        return;
    control.bound = top.nextarg();
    if (auto* line = qobject_cast<QLineEdit*>(object))
        control.boundsize = line->maxLength() + 1;
    else if (widget)
        control.boundsize = widget->property("maxLength").toInt() + 1;
    control.showbound();
}

void FORMBUILDER::link(CONTROL& control)
{
    switch (control.kind) {
    case CK_BUTTON:
    case CK_MENUBUTTON:
    case CK_COLOURBUTTON:
    case CK_CHECKBOX:
    case CK_RADIOGROUP:
        linkbutton(control);
        break;
    case CK_EDIT:
    case CK_VALUEEDIT:
    case CK_KEYEDIT:
    case CK_SPINEDIT:
    case CK_SLIDER:
        linkedit(control);
        break;
    case CK_COMBOBOX:
    case CK_LISTBOX:
    case CK_LISTVIEW:
    case CK_TREEVIEW:
    case CK_TABS:
        linklist(control);
        break;
    default:
        break;
    }
}

void FORMBUILDER::linkbutton(CONTROL& control)
{
    CONTROL* c = &control;
    FORM* outer = &top;
    if (auto* group = qobject_cast<QButtonGroup*>(control.object)) {
        QObject::connect(group, &QButtonGroup::buttonClicked, c->guard, [c, group](QAbstractButton* button) {
            c->report(DLGM_COMMAND, c->getid(), group->buttons().indexOf(button));
        });
        return;
    }
    auto* button = static_cast<QAbstractButton*>(control.object);
    if (control.kind == CK_CHECKBOX) {
        QObject::connect(button, &QAbstractButton::clicked, c->guard,
            [c](bool checked) { c->report(DLGM_COMMAND, c->getid(), checked ? 1 : 0); });
        return;
    }
    if (control.kind == CK_COLOURBUTTON) {
        QObject::connect(button, &QAbstractButton::clicked, c->guard, [c, button] {
            const long now = c->getvalue();
            const QColor chosen = QColorDialog::getColor(
                QColor(GetRValue(now), GetGValue(now), GetBValue(now)), button->window());
            if (!chosen.isValid())
                return;
            const long colour = RGB(chosen.red(), chosen.green(), chosen.blue());
            c->setvalue(colour);
            c->report(DLGM_UPDATE, c->getid(), colour);
        });
        return;
    }
    if (control.kind == CK_MENUBUTTON) {
        const QStringList items = button->property("menu").toStringList();
        QObject::connect(button, &QAbstractButton::clicked, c->guard, [c, button, items, outer] {
            HMENU menu = CreatePopupMenu();
            for (const QString& item : items) {
                const qsizetype colon = item.indexOf(':');
                if (item == QLatin1String("-"))
                    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                else if (colon > 0)
                    AppendMenuA(
                        menu, MF_STRING, item.left(colon).toUInt(), item.mid(colon + 1).toUtf8().constData());
            }
            c->report(DLGM_POPUPMENU, c->getid(), reinterpret_cast<long>(menu));
            const QPoint at = button->mapToGlobal(QPoint(0, button->height()));
            const UINT chosen = static_cast<UINT>(
                TrackPopupMenu(menu, TPM_RETURNCMD, at.x(), at.y(), 0, outer->gethwnd(), nullptr));
            DestroyMenu(menu);
            if (chosen)
                c->report(DLGM_MENUCOMMAND, c->getid(), static_cast<long>(chosen));
        });
        return;
    }
    const bool ends = button->property("endsform").toBool();
    QObject::connect(button, &QAbstractButton::clicked, c->guard, [c, outer, ends] {
        const int id = c->getid();
        if (id == IDOK) {
            if (outer->validate())
                outer->end(IDOK);
        } else if (id == IDCANCEL || ends) {
            outer->end(id);
        } else {
            c->report(DLGM_COMMAND, id, 0);
        }
    });
}

void FORMBUILDER::linkedit(CONTROL& control)
{
    CONTROL* c = &control;
    if (auto* spin = qobject_cast<QSpinBox*>(control.object)) {
        QObject::connect(spin, &QSpinBox::valueChanged, c->guard,
            [c](int value) { c->report(DLGM_UPDATE, c->getid(), value); });
    } else if (auto* slider = qobject_cast<QSlider*>(control.object)) {
        QObject::connect(slider, &QSlider::valueChanged, c->guard,
            [c](int value) { c->report(DLGM_UPDATE, c->getid(), value); });
    } else if (control.kind == CK_KEYEDIT) {
        drelm::capturekeys(control, c->guard);
    } else if (auto* line = qobject_cast<QLineEdit*>(control.object)) {
        QObject::connect(line, &QLineEdit::editingFinished, c->guard, [c, line] {
            if (!line->isModified())
                return;
            line->setModified(false);
            c->report(DLGM_UPDATE, c->getid(), 0);
        });
        if (control.kind == CK_VALUEEDIT)
            drelm::watchvalueedit(control, c->guard);
    } else if (qobject_cast<QPlainTextEdit*>(control.object)) {
        drelm::watchtextedit(control, c->guard);
    }
}

void FORMBUILDER::linklist(CONTROL& control)
{
    CONTROL* c = &control;
    auto report = [c](unsigned msg, int index) { c->report(msg, c->getid(), index); };
    if (auto* combo = qobject_cast<QComboBox*>(control.object)) {
        QObject::connect(combo, &QComboBox::activated, c->guard, [report](int i) { report(DLGM_UPDATE, i); });
    } else if (auto* list = qobject_cast<QListWidget*>(control.object)) {
        QObject::connect(
            list, &QListWidget::currentRowChanged, c->guard, [report](int row) { report(DLGM_UPDATE, row); });
        QObject::connect(list, &QListWidget::itemDoubleClicked, c->guard,
            [report, list](QListWidgetItem* item) { report(DLGM_DBLCLK, list->row(item)); });
        list->setItemDelegate(
            new drelm::ListDelegate(control, list->property("ownerdraw").toBool(), c->guard));
    } else if (auto* table = qobject_cast<QTableWidget*>(control.object)) {
        QObject::connect(
            table, &QTableWidget::currentCellChanged, c->guard, [report](int row, int, int previous, int) {
                if (row != previous)
                    report(DLGM_UPDATE, row);
            });
        QObject::connect(table, &QTableWidget::cellDoubleClicked, c->guard,
            [report](int row, int) { report(DLGM_DBLCLK, row); });
    } else if (auto* tree = qobject_cast<QTreeWidget*>(control.object)) {
        QObject::connect(tree, &QTreeWidget::currentItemChanged, c->guard,
            [c, report](QTreeWidgetItem*, QTreeWidgetItem*) {
                report(DLGM_UPDATE, static_cast<int>(c->getvalue()));
            });
        QObject::connect(
            tree, &QTreeWidget::itemDoubleClicked, c->guard, [report](QTreeWidgetItem* item, int) {
                report(DLGM_DBLCLK, item->data(0, Qt::UserRole + 1).toInt());
            });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(control.object)) {
        QObject::connect(
            tabs, &QTabWidget::currentChanged, c->guard, [report](int i) { report(DLGM_PAGE, i); });
    }
}

void FORMBUILDER::page(QWidget* tab, const QString& pagename)
{
    const QByteArray name = pagename.toUtf8();
    if (depth >= MAXPAGEDEPTH) {
        error = "page forms nest deeper than " + std::to_string(MAXPAGEDEPTH) + " levels at '"
            + name.toStdString() + "'";
        return;
    }
    HINSTANCE pagemodule = nullptr;
    QWidget* pageroot = drelm::loadlayout(name.constData(), pagemodule, error);
    if (!pageroot)
        return;
    IFORMFACTORY* factory = getformfactory();
    auto pageform = std::make_unique<FORM>(
        top.owner, name.constData(), factory ? factory->getdialogcbf(name.constData()) : nullptr);
    pageform->parentform = &form;
    pageform->root = pageroot;
    pageroot->setWindowFlags(Qt::Widget);
    auto* fill = new QVBoxLayout(tab);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(pageroot);
    FORM* made = pageform.get();
    form.pages.push_back(std::move(pageform));
    if (std::string failed = FORMBUILDER(*made, pagemodule, depth + 1).build(); !failed.empty())
        error = failed;
}

void FORMBUILDER::placeholder(QWidget* widget, int type)
{
    const QByteArray name = widget->objectName().toUtf8();
    IFORMFACTORY* factory = getformfactory();
    if (!top.gethwnd() || !factory) {
        qDebug("form '%s': no form factory makes the control '%s' of type %d", form.getname(),
            name.constData(), type);
        return;
    }
    const int id = widget->property("id").isValid() ? widget->property("id").toInt() : top.autoid++;
    const QByteArray text = widget->property("text").toString().toUtf8();
    HWND window = CreateWindowExA(0, drelm::CONTROLCLASS, text.constData(), WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
        1, 1, top.gethwnd(), reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    CONTROL* control = factory->getdialogctrl(form, type, window, name.constData());
    if (!control) {
        qDebug("form '%s': the form factory has no control type %d (%s) for '%s'", form.getname(), type,
            factory->getdialogctrltypename(type), name.constData());
        DestroyWindow(window);
        return;
    }
    control->name = name.toStdString();
    form.controls.emplace_back(control);
    new PlaceholderTracker(widget, top.root, window, control->guard);
}

void FORMBUILDER::translate(QWidget* widget)
{
    if (widget == form.root)
        widget->setWindowTitle(translated(widget->windowTitle()));
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(translated(label->text()));
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(translated(button->text()));
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        box->setTitle(translated(box->title()));
    else if (auto* tabs = qobject_cast<QTabWidget*>(widget))
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setTabText(i, translated(tabs->tabText(i)));
}

QString FORMBUILDER::translated(const QString& text) const
{
    IFORMFACTORY* factory = getformfactory();
    ITRANSLATE* translator = factory && factory->getstringtranslator() ? factory->getstringtranslator()
                                                                       : drelm::getformtranslator();
    if (!translator || text.isEmpty())
        return text;
    const char* context
        = factory && factory->getstringcontext() ? factory->getstringcontext() : form.getname();
    const QByteArray source = text.toUtf8();
    char* translation = translator->translate(source.constData(), context);
    if (!translation)
        return text;
    QString result = QString::fromUtf8(translation);
    std::free(translation);
    return result;
}
