#include "shell/project/linkhandler.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QObject>
#include <QUrl>
#include <string>
#include <vector>

#include "platform/hulvane/cdbcore.h"
#include "shell/project/linkdialog.h"
#include "platform/win/messagebox.h"

namespace {

std::vector<std::string> boxes;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return IDOK;
}

// Records the addresses handed to the desktop.
class DESKTOP : public QObject {
    Q_OBJECT
public:
    DESKTOP()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    }
    ~DESKTOP() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

struct BOXES {
    BOXES()
        : previous(setmessageboxhook(recordbox))
    {
        boxes.clear();
    }
    ~BOXES() { setmessageboxhook(previous); }
    MESSAGEBOXHOOK previous;
};

TEST(Links, ADesignLinkCarriesItsReferenceEncodedAndParsesBack)
{
    const QString link = LinkHandler::createCorvaneLink(QStringLiteral("tavi"), QStringLiteral("R 1"), 42, true);
    EXPECT_EQ(link, QStringLiteral("corvane://tavi?ref=R%201&id=42&live=true"));
    QString ref;
    QString module;
    unsigned long id = 0;
    bool live = false;
    EXPECT_TRUE(LinkHandler::parseCorvaneLink(QUrl(link), ref, id, module, live));
    EXPECT_EQ(module, QStringLiteral("tavi"));
    EXPECT_EQ(ref, QStringLiteral("R 1"));
    EXPECT_EQ(id, 42u);
    EXPECT_TRUE(live);

    // A reference with the query's own characters and text beyond ASCII.
    const QString odd = QString::fromUtf8("U&1=ß?#");
    EXPECT_TRUE(LinkHandler::parseCorvaneLink(
        QUrl(LinkHandler::createCorvaneLink(QStringLiteral("brix"), odd, 7, false)), ref, id, module, live));
    EXPECT_EQ(ref, odd);
    EXPECT_EQ(module, QStringLiteral("brix"));
    EXPECT_EQ(id, 7u);
    EXPECT_FALSE(live);

    id = 9;
    live = true;
    EXPECT_FALSE(LinkHandler::parseCorvaneLink(QUrl(QStringLiteral("https://example.org/?id=3")), ref, id, module, live));
    EXPECT_EQ(id, 0u);
    EXPECT_FALSE(live);
}

TEST(Links, DamagedOrHostileLinksAreRefusedWithTheirReasonAndOpenNothing)
{
    struct CASE {
        QString link;
        const char* reason; // empty: followed
    };
    const CASE cases[] = {
        { QStringLiteral("corvane://tavi?ref=R1&id=42&live=false"), "" },
        { QStringLiteral("https://example.org/datasheet.pdf"), "" },
        { QStringLiteral("#Introduction"), "" },
        { QStringLiteral("bookmark://#Introduction"), "" },
        { QStringLiteral("corvane://tavi?ref=") + QString(3000, QLatin1Char('R')) + QStringLiteral("&id=1"),
            "it is longer than 2048 characters." },
        { QStringLiteral("corvane://tavi?ref=R1") + QChar(0) + QStringLiteral("&id=1"),
            "it holds a control character." },
        { QStringLiteral("file:///etc/passwd"), "its scheme 'file' is none this program follows." },
        { QStringLiteral("javascript:alert(1)"), "its scheme 'javascript' is none this program follows." },
        { QStringLiteral("corvane://wuno?ref=R1&id=1"),
            "it names no kind of design element this program knows ('wuno')." },
        { QStringLiteral("corvane://tavi/../../x?ref=R1&id=1"),
            "it holds a path; a design link names its element by its id alone." },
        { QStringLiteral("corvane://tavi?ref=R1&id=forty"), "it names no element id." },
        { QStringLiteral("corvane://tavi?ref=R1"), "it names no element id." },
        { QStringLiteral("corvane://ta vi?id=1"), "it is not a valid address." },
    };
    DESKTOP desktop;
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.link.left(60).toStdString());
        EXPECT_EQ(LinkHandler::refusal(c.link).toStdString(), c.reason);
        if (!*c.reason)
            continue;
        BOXES recorded;
        LinkHandler::navigateLink(c.link);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], std::string("The link cannot be followed: ") + c.reason);
    }
    EXPECT_TRUE(desktop.opened.isEmpty());
}

TEST(Links, AWebAddressOpensOnTheDesktopAndADesignLinkWithoutAProjectShowsWhy)
{
    DESKTOP desktop;
    BOXES recorded;
    LinkHandler::navigateLink(QStringLiteral("https://example.org/datasheet.pdf"));
    EXPECT_EQ(desktop.opened, QList<QUrl> { QUrl(QStringLiteral("https://example.org/datasheet.pdf")) });
    EXPECT_TRUE(boxes.empty());

    LinkHandler::navigateLink(QStringLiteral("corvane://tavi?ref=R1&id=42&live=false"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "The link cannot be followed: the design holds nothing of the id 42 (R1).");
    EXPECT_EQ(desktop.opened.size(), 1);
}

TEST(Links, LiveLinksFollowTheNamesAndAGoneElementKeepsItsReference)
{
    CDBCORE cdb;
    cdb.newdesign();
    SHEET* sheet = cdb.addrootsheet(1, nullptr, 0);
    ELEMENT* element = cdb.addelement(sheet, 5, 0, "R7", nullptr, 0, nullptr, 0);
    ASSERT_NE(element, nullptr);
    const QString renamed = LinkHandler::createCorvaneLink(QStringLiteral("tavi"), QStringLiteral("R1"), element->id, true);
    const QString gone = LinkHandler::createCorvaneLink(QStringLiteral("tavi"), QStringLiteral("C3"), 999, true);
    const QString fixed = LinkHandler::createCorvaneLink(QStringLiteral("tavi"), QStringLiteral("R1"), element->id, false);
    QMap<QString, QPair<QString, QString>> links {
        { renamed, { renamed, QStringLiteral("R1") } },
        { gone, { gone, QStringLiteral("C3") } },
        { fixed, { fixed, QStringLiteral("R1") } },
        { QStringLiteral("https://example.org"), { QStringLiteral("https://example.org"), QStringLiteral("web") } },
    };
    LinkHandler::updateLiveLinks(links, &cdb);
    ASSERT_EQ(links.size(), 2) << "only the live design links stay";
    EXPECT_EQ(links[renamed].second, QStringLiteral("R7"));
    EXPECT_EQ(links[renamed].first,
        LinkHandler::createCorvaneLink(QStringLiteral("tavi"), QStringLiteral("R7"), element->id, true));
    EXPECT_EQ(links[gone].second, QStringLiteral("C3 (not found)"));

    // Refreshed again, as the document does with the links it holds now.
    QMap<QString, QPair<QString, QString>> again { { links[gone].first, links[gone] } };
    LinkHandler::updateLiveLinks(again, &cdb);
    EXPECT_EQ(again.first().second, QStringLiteral("C3 (not found)"));

    CDBCORE empty;
    LinkHandler::updateLiveLinks(links, &empty);
    EXPECT_TRUE(links.isEmpty());
}

// A design of a resistor and a two-gate chip, for the names a design link may take.
struct DESIGN {
    DESIGN()
    {
        cdb.newdesign();
        SHEET* sheet = cdb.addrootsheet(1, nullptr, 0);
        resistor = cdb.addelement(sheet, 5, 0, "R1", nullptr, 0, nullptr, 0);
        cdb.addelement(sheet, 6, 0, "U1:A", nullptr, 0, nullptr, 0);
    }
    CDBCORE cdb;
    ELEMENT* resistor;
};

TEST(LinkDialog, ANewLinkIsOfferedOnlyWhenItCanBeFollowed)
{
    DESIGN design;
    LinkDialog dialog(nullptr, QString(), QString(), { QStringLiteral("Power Supply") }, &design.cdb);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Create Link"));
    EXPECT_TRUE(dialog.removebutton()->isHidden());
    dialog.choosepage(LinkDialog::EXTERNAL);
    EXPECT_FALSE(dialog.okbutton()->isEnabled()) << "no text yet";
    dialog.textedit()->setText(QStringLiteral("Datasheet"));
    EXPECT_FALSE(dialog.okbutton()->isEnabled()) << "no address yet";
    dialog.addressedit()->setText(QStringLiteral("https://example.org/ds.pdf"));
    EXPECT_TRUE(dialog.okbutton()->isEnabled());
    EXPECT_EQ(dialog.link(), QStringLiteral("https://example.org/ds.pdf"));

    dialog.choosepage(LinkDialog::INTERNAL);
    EXPECT_TRUE(dialog.okbutton()->isEnabled());
    EXPECT_EQ(dialog.link(), QStringLiteral("bookmark://#Power%20Supply"));

    dialog.choosepage(LinkDialog::DESIGN);
    dialog.targettypebox()->setCurrentIndex(0);
    dialog.targetbox()->setCurrentText(QStringLiteral("C9"));
    EXPECT_FALSE(dialog.okbutton()->isEnabled()) << "a name the design does not hold";
    dialog.textedit()->setText(QStringLiteral("r1"));
    EXPECT_EQ(dialog.targetbox()->currentText(), QStringLiteral("R1")) << "the text finds its target";
    EXPECT_TRUE(dialog.okbutton()->isEnabled());
    dialog.livebox()->setChecked(true);
    EXPECT_EQ(dialog.displayText(), QStringLiteral("R1")) << "a live link shows the target's name";
    EXPECT_FALSE(dialog.textedit()->isEnabled());
    EXPECT_EQ(dialog.link(),
        LinkHandler::createCorvaneLink(QStringLiteral("tavi"), QStringLiteral("R1"), design.resistor->id, true));

    EXPECT_NE(dialog.targetbox()->findText(QStringLiteral("U1:A")), -1);
    dialog.targettypebox()->setCurrentIndex(1);
    EXPECT_EQ(dialog.targetbox()->findText(QStringLiteral("U1:A")), -1) << "layout parts, not elements";
}

TEST(LinkDialog, AnExistingLinkOpensOnItsKindAndRemoveLinkEmptiesIt)
{
    DESIGN design;
    const QString existing
        = LinkHandler::createCorvaneLink(QStringLiteral("tavi"), QStringLiteral("R1"), design.resistor->id, false);
    {
        LinkDialog dialog(nullptr, QStringLiteral("the load"), existing, {}, &design.cdb);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Link"));
        EXPECT_FALSE(dialog.removebutton()->isHidden());
        EXPECT_EQ(dialog.page(), LinkDialog::DESIGN);
        EXPECT_EQ(dialog.targetbox()->currentText(), QStringLiteral("R1"));
        EXPECT_FALSE(dialog.livebox()->isChecked());
        EXPECT_EQ(dialog.link(), existing);
        dialog.removebutton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(dialog.link().isEmpty());
    }
    LinkDialog bookmark(nullptr, QStringLiteral("see"), QStringLiteral("#Power"), { QStringLiteral("Intro"), QStringLiteral("Power") }, nullptr);
    EXPECT_EQ(bookmark.page(), LinkDialog::INTERNAL);
    EXPECT_EQ(bookmark.bookmarkbox()->currentText(), QStringLiteral("Power"));
    LinkDialog web(nullptr, QStringLiteral("site"), QStringLiteral("https://example.org"), {}, nullptr);
    EXPECT_EQ(web.page(), LinkDialog::EXTERNAL);
    EXPECT_EQ(web.addressedit()->text(), QStringLiteral("https://example.org"));
    LinkDialog next(nullptr, QString(), QString(), {}, nullptr);
    EXPECT_EQ(next.page(), LinkDialog::EXTERNAL) << "the kind used last";
}

TEST(LinkDialog, EditingALinkReplacesItsTextAndLinkOnlyWhenConfirmed)
{
    QString text = QStringLiteral("site");
    QString link = QStringLiteral("https://example.org");
    for (const bool confirmed : { false, true }) {
        QTimer::singleShot(0, [confirmed] {
            auto* dialog = dynamic_cast<LinkDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Edit Link"));
            dialog->addressedit()->setText(QStringLiteral("https://example.org/manual"));
            dialog->textedit()->setText(QStringLiteral("manual"));
            if (confirmed)
                dialog->accept();
            else
                dialog->reject();
        });
        LinkHandler::modifyLink(text, link, {});
        EXPECT_EQ(text, confirmed ? QStringLiteral("manual") : QStringLiteral("site"));
        EXPECT_EQ(link, confirmed ? QStringLiteral("https://example.org/manual") : QStringLiteral("https://example.org"));
    }
}

} // namespace

#include "linkhandler_test.moc"
