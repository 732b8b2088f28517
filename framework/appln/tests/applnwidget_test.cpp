#include "framework/appln/applnwidget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <functional>

#include "framework/appln/applndialog.h"
#include "framework/appln/applnframe.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/bars/ctrlwidget.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "platform/win/input.h"
#include "platform/win/rc/keycodes.h"
#include "platform/win/window.h"
#include "testsupport/temp_folder.h"

namespace {

using appltest::TESTPROCESS;

// A Qt-based module window: a line edit fills its main window, under a tool bar.
class HOST : public APPLNWIDGET {
public:
    void oncreatemainwindow() override
    {
        edit = new QLineEdit;
        setCentralWidget(edit);
        toolbar = new QToolBar;
        toolbar->addAction(QStringLiteral("Run"));
        bar = addtoolbar(toolbar);
    }
    QLineEdit* edit = nullptr;
    QToolBar* toolbar = nullptr;
    CTRLWIDGET* bar = nullptr;
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Runs the test process with a shown frame holding the host window as its active window.
void runwithhost(const std::function<void(TESTPROCESS&, APPLNFRAME*, HOST&)>& script)
{
    TESTPROCESS process;
    process.start = [&] {
        APPLNFRAME* frame = process.getframe(0);
        ShowWindow(frame->hwnd, SW_SHOW);
        HOST host;
        host.setowner(&process);
        host.createwindow(frame);
        frame->loadwindow(&host);
        script(process, frame, host);
        host.destroywindow();
        return 1;
    };
    process.runall();
}

// The texts of the actions of a menu and its submenus as they are triggered.
struct TRIGGERS {
    explicit TRIGGERS(QMenu& menu) { watch(menu); }
    void watch(QMenu& menu)
    {
        for (QAction* action : menu.actions()) {
            QObject::connect(action, &QAction::triggered, [this, action] { fired.append(action->text()); });
            if (action->menu())
                watch(*action->menu());
        }
    }
    QStringList fired;
};

TEST(QtHost, ActionsGetIdsFrom0x300AndTheirCommandsTriggerThem)
{
    runwithhost([](TESTPROCESS& process, APPLNFRAME*, HOST& host) {
        auto* menu = new QMenu(QStringLiteral("&Graph")); // the host's from now
        menu->addAction(QStringLiteral("&Add Trace"))->setStatusTip(QStringLiteral("Adds a trace."));
        menu->addSeparator();
        menu->addAction(QStringLiteral("&Zoom"));
        QAction* locked = menu->addAction(QStringLiteral("&Locked"));
        locked->setCheckable(true);
        locked->setChecked(true);
        TRIGGERS triggers(*menu);

        EXPECT_EQ(host.addmenu(CMDCTX_SHARED, menu, 0), 0x303);
        CMDINFOTABLE* table = process.getcmdinfotable();
        ASSERT_NE(table->find(CMDCTX_SHARED, 0x300), nullptr);
        EXPECT_STREQ(table->find(CMDCTX_SHARED, 0x300)->text, "&Add Trace");
        EXPECT_STREQ(table->find(CMDCTX_SHARED, 0x300)->hint, "Adds a trace.");
        EXPECT_STREQ(table->find(CMDCTX_SHARED, 0x302)->text, "&Locked");
        EXPECT_EQ(menu->actions()[2]->data().toInt(), 0x301);

        EXPECT_EQ(host.docommand(0x301), 1);
        EXPECT_EQ(host.docommand(0x2FF), 0);
        EXPECT_EQ(host.docommand(0x303), 0);
        locked->setEnabled(false);
        EXPECT_EQ(host.docommand(0x302), 1) << "a disabled action is ignored";
        EXPECT_EQ(triggers.fired, QStringList { QStringLiteral("&Zoom") });

        UISTATE state {};
        EXPECT_EQ(host.getuistate(0x302, &state), 1);
        EXPECT_EQ(state.enabled, 0);
        EXPECT_EQ(state.checked, 1);
        EXPECT_EQ(host.getuistate(0x303, &state), 0);

        // A cleared context leaves its ids unanswered; ids are never handed out again.
        host.removecommands(CMDCTX_SHARED);
        EXPECT_EQ(table->find(CMDCTX_SHARED, 0x300), nullptr);
        EXPECT_EQ(host.docommand(0x301), 0);
        EXPECT_EQ(host.addaction(CMDCTX_SHARED, new QAction(QStringLiteral("Next"), &host)), 0x303);
    });
}

TEST(QtHost, MenusBecomeRowsWithSeparatorsHiddenActionsAndSubmenus)
{
    runwithhost([](TESTPROCESS& process, APPLNFRAME*, HOST& host) {
        CMDINFOTABLE* table = process.getcmdinfotable();
        const int before = table->count();
        auto* menu = new QMenu;
        menu->addAction(QStringLiteral("Open"));
        menu->addSeparator();
        menu->addAction(QStringLiteral("Secret"))->setVisible(false);
        QMenu* recent = menu->addMenu(QStringLiteral("Recent"));
        recent->addAction(QStringLiteral("one.csv"));
        host.addmenu(0x111, menu, 0);

        struct Row {
            uint16_t id;
            uint16_t flags;
        };
        std::vector<Row> rows;
        for (int i = before; i < table->count(); ++i)
            rows.push_back({ table->item(i)->id, table->item(i)->flags });
        ASSERT_EQ(rows.size(), 6u);
        EXPECT_EQ(rows[0].id, 0x300);
        EXPECT_TRUE(rows[1].flags & CMDF_SEPARATOR);
        EXPECT_EQ(rows[2].flags, CMDF_NOMENU) << "hidden";
        EXPECT_EQ(rows[3].id, 0x302);
        EXPECT_EQ(rows[3].flags, CMDF_SUBMENU);
        EXPECT_EQ(rows[4].id, 0x303) << "the submenu's action";
        EXPECT_EQ(rows[5].id, 0x302);
        EXPECT_EQ(rows[5].flags, CMDF_SUBMENU | CMDF_REFERENCE) << "the submenu's end";

        // The same menu again, bound to the rows there are: the ids stay, the actions change.
        auto* again = new QMenu;
        again->addAction(QStringLiteral("Open 2"));
        again->addSeparator();
        again->addAction(QStringLiteral("Secret 2"));
        again->addMenu(QStringLiteral("Recent 2"))->addAction(QStringLiteral("two.csv"));
        TRIGGERS triggers(*again);
        EXPECT_EQ(host.addmenu(0x111, again, 0), 0x304);
        EXPECT_EQ(table->count(), before + 6);
        host.docommand(0x300);
        host.docommand(0x303);
        EXPECT_EQ(triggers.fired, (QStringList { QStringLiteral("Open 2"), QStringLiteral("two.csv") }));
    });
}

TEST(QtHost, AShortcutsFirstKeyIsBoundToTheActionsId)
{
    struct Case {
        QKeySequence shortcut;
        unsigned long key;
    } cases[] = {
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F5), 0x74 | KEY_CTRL | KEY_SHIFT },
        { QKeySequence(Qt::CTRL | Qt::Key_Tab), 0x22009 },
        { QKeySequence(Qt::ALT | Qt::Key_A), 'A' | KEY_ALT },
        { QKeySequence(Qt::Key_Delete), 0x12E },
        { QKeySequence(Qt::Key_Escape), 27 },
        { QKeySequence(Qt::Key_Home), 0 },
        { QKeySequence(), 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(APPLNWIDGET::shortcutkey(c.shortcut), c.key) << c.shortcut.toString().toStdString();

    runwithhost([](TESTPROCESS& process, APPLNFRAME*, HOST& host) {
        auto* action = new QAction(QStringLiteral("Run"), &host);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
        const unsigned short id = host.addaction(CMDCTX_SHARED, action);
        EXPECT_EQ(process.getkeytranslator()->getkey(CMDCTX_SHARED, id), 'R' | KEY_CTRL);
    });
}

TEST(QtHost, AToolBarDocksInTheFramesTopRebar)
{
    runwithhost([](TESTPROCESS&, APPLNFRAME* frame, HOST& host) {
        EXPECT_FALSE(host.toolbar->isMovable());
        EXPECT_FALSE(host.toolbar->isFloatable());
        EXPECT_EQ(host.bar->getchild(), host.toolbar);
        EXPECT_EQ(host.getctrlbar(host.numctrlbars() - 1), host.bar);
        EXPECT_EQ(host.bar->getrebar(), frame->getrebar(0));
        EXPECT_TRUE(host.toolbar->isVisible());
    });
}

TEST(QtHost, TheFrameRunsAModalDialogInAHostOfItsOwnOverTheActiveWindow)
{
    runwithhost([](TESTPROCESS& process, APPLNFRAME* frame, HOST& host) {
        QDialog dialog;
        QPointer<QObject> dialoghost;
        HWND native = nullptr;
        QTimer::singleShot(0, [&] {
            auto* parent = dynamic_cast<APPLNWIDGET*>(dialog.parentWidget());
            ASSERT_NE(parent, nullptr) << "the dialog's parent is a Qt host";
            EXPECT_NE(parent, &host);
            dialoghost = parent;
            native = parent->hwnd;
            EXPECT_EQ(GetParent(native), host.hwnd) << "a child of the active window's native window";
            RECT area {};
            RECT client {};
            GetClientRect(native, &area);
            GetClientRect(host.hwnd, &client);
            EXPECT_EQ(area.right, client.right);
            EXPECT_EQ(area.bottom, client.bottom);
            EXPECT_TRUE(dialog.isModal());
            EXPECT_EQ(process.ismodal(), 1) << "the owner is inside a modal dialog";
            dialog.done(7);
        });
        EXPECT_EQ(frame->showdialog(&dialog, &process), 7);
        EXPECT_EQ(process.ismodal(), 0);
        EXPECT_EQ(dialog.parentWidget(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialoghost.isNull()) << "the host goes once the dialog's loop is left";
        EXPECT_FALSE(IsWindow(native));
    });
}

TEST(QtHost, HighlightedIconsAreBrightenedChannelByChannel)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(qRgba(100, 0, 250, 255));
    QAction action(QIcon(QPixmap::fromImage(image)), QStringLiteral("Run"));
    APPLNWIDGET::highlighticons(&action);
    const QImage active = action.icon().pixmap(QSize(4, 4), QIcon::Active).toImage();
    EXPECT_EQ(active.pixelColor(1, 1), QColor(124, 11, 255));

    QAction plain(QStringLiteral("Plain"));
    APPLNWIDGET::highlighticons(&plain);
    EXPECT_TRUE(plain.icon().isNull());
}

TEST(QtHost, AnIconTakesTheSizedPngsOfItsStemWhenThereIsNoSvg)
{
    const std::filesystem::path folder = vkt::test::makeTempSubfolder("icons");
    auto png = [&](const char* name, int size) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        image.save(QString::fromStdString((folder / name).string()), "PNG");
    };
    png("open.png", 16);
    png("open_24.png", 24);
    png("open_48.png", 48);
    png("open_32.jpg", 32); // not a size the lookup knows
    const QString path = QString::fromStdString((folder / "open.png").string());
    EXPECT_EQ(APPLNWIDGET::makeIcon(path).availableSizes(), (QList<QSize> { { 16, 16 }, { 24, 24 }, { 48, 48 } }));

    std::ofstream(folder / "open.svg") << "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'/>";
    const QList<QSize> sizes = APPLNWIDGET::makeIcon(path).availableSizes();
    EXPECT_FALSE(sizes.contains(QSize(24, 24))) << "the SVG takes the place of the sized PNGs";

    EXPECT_TRUE(APPLNWIDGET::makeIcon(QString::fromStdString((folder / "none.png").string())).isNull());
}

// A dialog of the test: a combo box with a line edit whose context menu is switched off.
class DIALOG : public APPLNDIALOG {
public:
    DIALOG(QWidget* parent, const QByteArray& helpname)
        : APPLNDIALOG(parent, 17, helpname)
    {
        combo = new QComboBox(this);
        combo->setEditable(true);
        combo->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
        (new QVBoxLayout(this))->addWidget(combo);
    }
    QComboBox* combo;
};

TEST(QtDialog, TheHelpNameIsTheApplicationsWhenTheDialogNamesNone)
{
    runwithhost([](TESTPROCESS&, APPLNFRAME*, HOST& host) {
        DIALOG unnamed(&host, QByteArray());
        EXPECT_EQ(unnamed.getHelpName(), QByteArray("TESTAPP"));
        EXPECT_EQ(unnamed.GetCurrentHelpID(), 17);
        DIALOG named(&host, "MERVALE");
        EXPECT_EQ(named.getHelpName(), QByteArray("MERVALE"));
    });
}

TEST(QtDialog, HidingTheDialogGivesTheFocusBackToTheHostsWidget)
{
    runwithhost([](TESTPROCESS&, APPLNFRAME*, HOST& host) {
        host.activateWindow();
        host.edit->setFocus(Qt::OtherFocusReason);
        settle();
        ASSERT_EQ(QApplication::focusWidget(), host.edit);

        DIALOG dialog(&host, QByteArray());
        dialog.show();
        dialog.combo->setFocus(Qt::OtherFocusReason);
        settle();
        EXPECT_NE(QApplication::focusWidget(), host.edit);
        dialog.hide();
        settle();
        EXPECT_EQ(QApplication::focusWidget(), host.edit);
    });
}

TEST(QtDialog, AnEditableComboShowsItsLineEditsMenuAndKeepsItsPolicy)
{
    runwithhost([](TESTPROCESS&, APPLNFRAME*, HOST& host) {
        DIALOG dialog(&host, QByteArray());
        dialog.show();
        QLineEdit* edit = dialog.combo->lineEdit();
        // The line edit's menu runs modal; it is closed as soon as it shows.
        bool shown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                shown = true;
                popup->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), dialog.combo->mapToGlobal(QPoint(5, 5)));
        EXPECT_TRUE(QCoreApplication::sendEvent(dialog.combo, &event));
        EXPECT_TRUE(shown);
        EXPECT_EQ(edit->contextMenuPolicy(), Qt::NoContextMenu);
        dialog.hide();
    });
}

} // namespace
