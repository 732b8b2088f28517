#include "platform/drelm/control.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cstring>
#include <vector>

#include "core/text/values.h"
#include "platform/drelm/controltext.h"
#include "platform/drelm/form.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace {

constexpr int DATAROLE = Qt::UserRole;
constexpr int INDEXROLE = Qt::UserRole + 1; // a tree item's index in the order of adding

QString fromutf8(const char* text)
{
    return QString::fromUtf8(text ? text : "");
}

QTreeWidgetItem* treeitem(QTreeWidget* tree, int index)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, INDEXROLE).toInt() == index)
            return *it;
    return nullptr;
}

int countof(QTreeWidget* tree)
{
    int n = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++n;
    return n;
}

// A list view row's cells joined by tabs.
QString rowtext(QTableWidget* table, int row)
{
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << (table->item(row, c) ? table->item(row, c)->text() : QString());
    return cells.join('\t');
}

void setrowtext(QTableWidget* table, int row, const QString& text)
{
    const QStringList cells = text.split('\t');
    if (cells.size() > table->columnCount())
        table->setColumnCount(static_cast<int>(cells.size()));
    for (int c = 0; c < cells.size(); ++c) {
        if (!table->item(row, c))
            table->setItem(row, c, new QTableWidgetItem);
        table->item(row, c)->setText(cells[c]);
    }
}

} // namespace

CONTROL::CONTROL(FORM& owner, HWND window, const char* text)
    : form(&owner)
    , kind(CK_WINDOW)
    , id(GetDlgCtrlID(window))
    , templatetext(text ? text : "")
{
    guard = new QObject;
    subclass(window);
}

CONTROL::CONTROL(FORM* owner, QObject* object, CTRLKIND kind, int id, const char* name)
    : form(owner)
    , object(object)
    , kind(kind)
    , id(id)
    , name(name ? name : "")
{
    guard = new QObject;
}

CONTROL::~CONTROL()
{
    if (ownswindow && IsWindow(hwnd))
        DestroyWindow(hwnd);
    delete guard;
}

QWidget* CONTROL::getwidget() const
{
    return qobject_cast<QWidget*>(object);
}

LRESULT CONTROL::report(unsigned msg, unsigned wparam, long lparam)
{
    if (form)
        return form->notify(msg, wparam, lparam);
    HWND parent = GetParent(hwnd);
    return parent ? SendMessageA(parent, msg, wparam, lparam) : 0;
}

// The widgets the user sees of the control: a radio group's buttons, else its widget.
std::vector<QWidget*> CONTROL::widgets() const
{
    if (auto* group = qobject_cast<QButtonGroup*>(object)) {
        const QList<QAbstractButton*> buttons = group->buttons();
        return std::vector<QWidget*>(buttons.begin(), buttons.end());
    }
    if (QWidget* w = getwidget())
        return { w };
    return {};
}

void CONTROL::enable(int on)
{
    if (kind == CK_WINDOW)
        EnableWindow(hwnd, on ? TRUE : FALSE);
    for (QWidget* w : widgets())
        w->setEnabled(on);
}

int CONTROL::isenabled() const
{
    if (kind == CK_WINDOW)
        return IsWindowEnabled(hwnd);
    const std::vector<QWidget*> shown = widgets();
    return !shown.empty() && shown.front()->isEnabled();
}

void CONTROL::show(int on)
{
    if (kind == CK_WINDOW)
        ShowWindow(hwnd, on ? SW_SHOW : SW_HIDE);
    for (QWidget* w : widgets())
        w->setVisible(on);
}

int CONTROL::isvisible() const
{
    if (kind == CK_WINDOW)
        return IsWindowVisible(hwnd);
    const std::vector<QWidget*> shown = widgets();
    return !shown.empty() && shown.front()->isVisibleTo(shown.front()->window());
}

void CONTROL::setfocus()
{
    if (kind == CK_WINDOW)
        SetFocus(hwnd);
    else if (auto* group = qobject_cast<QButtonGroup*>(object); group && group->checkedButton())
        group->checkedButton()->setFocus(Qt::OtherFocusReason);
    else if (QWidget* w = getwidget())
        w->setFocus(Qt::OtherFocusReason);
}

int CONTROL::hasfocus() const
{
    QWidget* w = getwidget();
    return w && w->hasFocus();
}

void CONTROL::setreadonly(int on)
{
    if (auto* line = qobject_cast<QLineEdit*>(object))
        line->setReadOnly(on);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(object))
        text->setReadOnly(on);
    else if (auto* spin = qobject_cast<QSpinBox*>(object))
        spin->setReadOnly(on);
    else if (auto* combo = qobject_cast<QComboBox*>(object))
        combo->setEditable(!on);
}

void CONTROL::setredraw(int on)
{
    if (QWidget* w = getwidget())
        w->setUpdatesEnabled(on);
}

void CONTROL::settext(const char* text)
{
    const QString t = fromutf8(text);
    QSignalBlocker quiet(object);
    if (auto* line = qobject_cast<QLineEdit*>(object)) {
        line->setText(t);
        line->setModified(false);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(object)) {
        edit->setPlainText(t);
        edit->document()->setModified(false);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(t);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(t);
    } else if (auto* box = qobject_cast<QGroupBox*>(object)) {
        box->setTitle(t);
    } else if (auto* combo = qobject_cast<QComboBox*>(object)) {
        combo->setCurrentIndex(combo->findText(t));
    } else if (kind == CK_WINDOW) {
        SetWindowTextA(hwnd, text);
    }
}

std::string CONTROL::text() const
{
    QString t;
    if (auto* line = qobject_cast<QLineEdit*>(object))
        t = line->text();
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(object))
        t = edit->toPlainText();
    else if (auto* label = qobject_cast<QLabel*>(object))
        t = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(object))
        t = button->text();
    else if (auto* box = qobject_cast<QGroupBox*>(object))
        t = box->title();
    else if (auto* combo = qobject_cast<QComboBox*>(object))
        t = combo->currentText();
    else if (kind == CK_WINDOW) {
        char buffer[1024] = {};
        GetWindowTextA(hwnd, buffer, sizeof buffer);
        return buffer;
    }
    return t.toStdString();
}

int CONTROL::gettext(char* buffer, int size) const
{
    return drelm::copyutf8(text(), buffer, size);
}

void CONTROL::selectall()
{
    if (auto* line = qobject_cast<QLineEdit*>(object))
        line->selectAll();
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(object))
        edit->selectAll();
}

void CONTROL::settextcolour(COLORREF colour)
{
    QWidget* w = getwidget();
    if (!w)
        return;
    QPalette palette = w->palette();
    const QColor c(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    palette.setColor(QPalette::WindowText, c);
    palette.setColor(QPalette::ButtonText, c);
    palette.setColor(QPalette::Text, c);
    w->setPalette(palette);
}

void CONTROL::check(int state)
{
    if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        QSignalBlocker quiet(button);
        button->setChecked(state != 0);
    }
}

int CONTROL::ischecked() const
{
    auto* button = qobject_cast<QAbstractButton*>(object);
    return button && button->isChecked();
}

void CONTROL::setvalue(long value)
{
    QSignalBlocker quiet(object);
    const int v = static_cast<int>(value);
    if (auto* group = qobject_cast<QButtonGroup*>(object)) {
        const QList<QAbstractButton*> buttons = group->buttons();
        if (v >= 0 && v < buttons.size()) {
            buttons[v]->setChecked(true);
        } else if (QAbstractButton* on = group->checkedButton()) {
            group->setExclusive(false); // an exclusive group keeps one button checked
            on->setChecked(false);
            group->setExclusive(true);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(object)) {
        combo->setCurrentIndex(v < combo->count() ? v : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(object)) {
        list->setCurrentRow(v < list->count() ? v : -1);
    } else if (auto* table = qobject_cast<QTableWidget*>(object)) {
        table->clearSelection();
        table->setCurrentCell(v < table->rowCount() ? v : -1, 0);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(object)) {
        tree->setCurrentItem(treeitem(tree, v));
    } else if (auto* tabs = qobject_cast<QTabWidget*>(object)) {
        tabs->setCurrentIndex(v);
    } else if (auto* spin = qobject_cast<QSpinBox*>(object)) {
        spin->setValue(v);
    } else if (auto* slider = qobject_cast<QSlider*>(object)) {
        slider->setValue(v);
    } else if (kind == CK_KEYEDIT || kind == CK_COLOURBUTTON) {
        drelm::setvaluetext(*this, value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setChecked(v != 0);
    }
}

long CONTROL::getvalue() const
{
    if (auto* group = qobject_cast<QButtonGroup*>(object))
        return group->checkedButton() ? group->buttons().indexOf(group->checkedButton()) : -1;
    if (auto* combo = qobject_cast<QComboBox*>(object))
        return combo->currentIndex();
    if (auto* list = qobject_cast<QListWidget*>(object))
        return list->currentRow();
    if (auto* table = qobject_cast<QTableWidget*>(object))
        return table->currentRow();
    if (auto* tree = qobject_cast<QTreeWidget*>(object))
        return tree->currentItem() ? tree->currentItem()->data(0, INDEXROLE).toInt() : -1;
    if (auto* tabs = qobject_cast<QTabWidget*>(object))
        return tabs->currentIndex();
    if (auto* spin = qobject_cast<QSpinBox*>(object))
        return spin->value();
    if (auto* slider = qobject_cast<QSlider*>(object))
        return slider->value();
    if (kind == CK_KEYEDIT || kind == CK_COLOURBUTTON)
        return object ? object->property(drelm::VALUEPROPERTY).toLongLong() : 0;
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->isChecked();
    return 0;
}

void CONTROL::setrange(long low, long high)
{
    QSignalBlocker quiet(object);
    if (auto* spin = qobject_cast<QSpinBox*>(object))
        spin->setRange(static_cast<int>(low), static_cast<int>(high));
    else if (auto* slider = qobject_cast<QSlider*>(object))
        slider->setRange(static_cast<int>(low), static_cast<int>(high));
}

void CONTROL::enablechoice(int index, int on)
{
    if (auto* group = qobject_cast<QButtonGroup*>(object)) {
        const QList<QAbstractButton*> buttons = group->buttons();
        if (index >= 0 && index < buttons.size())
            buttons[index]->setEnabled(on);
    }
}

void CONTROL::setreal(double value)
{
    if (kind == CK_VALUEEDIT)
        settext(drelm::formatvalue(*this, value).c_str());
}

double CONTROL::getreal(int* valid) const
{
    double value = 0;
    const bool ok = kind == CK_VALUEEDIT && drelm::readvalue(text(), value);
    if (valid)
        *valid = ok;
    return ok ? value : 0;
}

int CONTROL::additem(const char* text, intptr_t data, int parent)
{
    const QString t = fromutf8(text);
    QSignalBlocker quiet(object);
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        combo->addItem(t, QVariant::fromValue<qlonglong>(data));
        return combo->count() - 1;
    }
    if (auto* list = qobject_cast<QListWidget*>(object)) {
        auto* item = new QListWidgetItem(t, list);
        item->setData(DATAROLE, QVariant::fromValue<qlonglong>(data));
        return list->count() - 1;
    }
    if (auto* table = qobject_cast<QTableWidget*>(object)) {
        const int row = table->rowCount();
        table->insertRow(row);
        setrowtext(table, row, t);
        table->item(row, 0)->setData(DATAROLE, QVariant::fromValue<qlonglong>(data));
        return row;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(object)) {
        QTreeWidgetItem* under = parent >= 0 ? treeitem(tree, parent) : nullptr;
        auto* item = under ? new QTreeWidgetItem(under) : new QTreeWidgetItem(tree);
        const int index = countof(tree) - 1;
        item->setText(0, t);
        item->setData(0, DATAROLE, QVariant::fromValue<qlonglong>(data));
        item->setData(0, INDEXROLE, index);
        return index;
    }
    return -1;
}

void CONTROL::clearitems()
{
    QSignalBlocker quiet(object);
    if (auto* combo = qobject_cast<QComboBox*>(object))
        combo->clear();
    else if (auto* list = qobject_cast<QListWidget*>(object))
        list->clear();
    else if (auto* table = qobject_cast<QTableWidget*>(object))
        table->setRowCount(0);
    else if (auto* tree = qobject_cast<QTreeWidget*>(object))
        tree->clear();
}

int CONTROL::numitems() const
{
    if (auto* combo = qobject_cast<QComboBox*>(object))
        return combo->count();
    if (auto* list = qobject_cast<QListWidget*>(object))
        return list->count();
    if (auto* table = qobject_cast<QTableWidget*>(object))
        return table->rowCount();
    if (auto* tree = qobject_cast<QTreeWidget*>(object))
        return countof(tree);
    return 0;
}

int CONTROL::getitemtext(int index, char* buffer, int size) const
{
    QString t;
    if (index < 0 || index >= numitems())
        t.clear();
    else if (auto* combo = qobject_cast<QComboBox*>(object))
        t = combo->itemText(index);
    else if (auto* list = qobject_cast<QListWidget*>(object))
        t = list->item(index)->text();
    else if (auto* table = qobject_cast<QTableWidget*>(object))
        t = rowtext(table, index);
    else if (auto* tree = qobject_cast<QTreeWidget*>(object))
        t = treeitem(tree, index)->text(0);
    return drelm::copyutf8(t.toStdString(), buffer, size);
}

void CONTROL::setitemtext(int index, const char* text)
{
    if (index < 0 || index >= numitems())
        return;
    const QString t = fromutf8(text);
    if (auto* combo = qobject_cast<QComboBox*>(object))
        combo->setItemText(index, t);
    else if (auto* list = qobject_cast<QListWidget*>(object))
        list->item(index)->setText(t);
    else if (auto* table = qobject_cast<QTableWidget*>(object))
        setrowtext(table, index, t);
    else if (auto* tree = qobject_cast<QTreeWidget*>(object))
        treeitem(tree, index)->setText(0, t);
}

intptr_t CONTROL::getitemdata(int index) const
{
    if (index < 0 || index >= numitems())
        return 0;
    QVariant data;
    if (auto* combo = qobject_cast<QComboBox*>(object))
        data = combo->itemData(index);
    else if (auto* list = qobject_cast<QListWidget*>(object))
        data = list->item(index)->data(DATAROLE);
    else if (auto* table = qobject_cast<QTableWidget*>(object))
        data = table->item(index, 0)->data(DATAROLE);
    else if (auto* tree = qobject_cast<QTreeWidget*>(object))
        data = treeitem(tree, index)->data(0, DATAROLE);
    return static_cast<intptr_t>(data.toLongLong());
}

void CONTROL::setitemdata(int index, intptr_t data)
{
    if (index < 0 || index >= numitems())
        return;
    const QVariant v = QVariant::fromValue<qlonglong>(data);
    if (auto* combo = qobject_cast<QComboBox*>(object))
        combo->setItemData(index, v);
    else if (auto* list = qobject_cast<QListWidget*>(object))
        list->item(index)->setData(DATAROLE, v);
    else if (auto* table = qobject_cast<QTableWidget*>(object))
        table->item(index, 0)->setData(DATAROLE, v);
    else if (auto* tree = qobject_cast<QTreeWidget*>(object))
        treeitem(tree, index)->setData(0, DATAROLE, v);
}

void CONTROL::redrawitem(int index)
{
    if (auto* list = qobject_cast<QListWidget*>(object); list && list->item(index))
        list->viewport()->update(list->visualItemRect(list->item(index)));
}

void CONTROL::settabstop(int pixels)
{
    tabstop = pixels > 0 ? pixels : 0;
    if (QWidget* w = getwidget())
        w->update();
}

void CONTROL::closedropdown()
{
    if (auto* combo = qobject_cast<QComboBox*>(object))
        combo->hidePopup();
}

void CONTROL::seticon(HICON icon)
{
    if (auto* label = qobject_cast<QLabel*>(object))
        label->setPixmap(icon ? QPixmap::fromImage(winqt::toimage(icon)) : QPixmap());
}

void CONTROL::showbound()
{
    if (!bound)
        return;
    switch (kind) {
    case CK_EDIT:
    case CK_STATIC:
        settext(static_cast<const char*>(bound));
        break;
    case CK_VALUEEDIT:
        setreal(*static_cast<double*>(bound));
        break;
    case CK_CHECKBOX:
        check(*static_cast<int*>(bound));
        break;
    case CK_COLOURBUTTON:
        setvalue(static_cast<long>(*static_cast<COLORREF*>(bound)));
        break;
    case CK_RADIOGROUP:
    case CK_KEYEDIT:
    case CK_SPINEDIT:
    case CK_COMBOBOX:
    case CK_LISTBOX:
    case CK_LISTVIEW:
    case CK_TREEVIEW:
    case CK_SLIDER:
    case CK_TABS:
        setvalue(*static_cast<int*>(bound));
        break;
    default:
        break;
    }
}

void CONTROL::writeback()
{
    if (!bound)
        return;
    switch (kind) {
    case CK_EDIT:
        drelm::copyutf8(text(), static_cast<char*>(bound), boundsize);
        break;
    case CK_VALUEEDIT: {
        int valid = 0;
        const double value = getreal(&valid);
        if (valid)
            *static_cast<double*>(bound) = value;
        break;
    }
    case CK_CHECKBOX:
        *static_cast<int*>(bound) = ischecked();
        break;
    case CK_COLOURBUTTON:
        *static_cast<COLORREF*>(bound) = static_cast<COLORREF>(getvalue());
        break;
    case CK_RADIOGROUP:
    case CK_KEYEDIT:
    case CK_SPINEDIT:
    case CK_COMBOBOX:
    case CK_LISTBOX:
    case CK_LISTVIEW:
    case CK_TREEVIEW:
    case CK_SLIDER:
    case CK_TABS:
        *static_cast<int*>(bound) = static_cast<int>(getvalue());
        break;
    default:
        break;
    }
}
