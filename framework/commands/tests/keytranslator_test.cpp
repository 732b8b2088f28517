#include "framework/commands/keytranslator.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>

#include <fstream>
#include <sstream>
#include <string>

#include "core/text/strutil.h"
#include "framework/commands/tests/commandtest.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/menu.h"
#include "platform/win/messages.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

using namespace cmdtest;

namespace {

constexpr unsigned long CTRL_C = KEY_CTRL | 'C';
constexpr unsigned long SHIFT_DELETE = KEY_SHIFT | KEY_EXTENDED | 0x2E;

// The test program's tables and keys loaded into a module.
struct KEYS : wintest::FreshQt {
    KEYS()
    {
        table.load("TESTCONTEXTS", program());
        keys.rscload("TESTKEYS", program());
    }
    TESTMODULE module;
    CMDINFOTABLE& table = module.cmdtable;
    KEYTRANSLATOR& keys = module.keytranslator;
};

std::string windowspath(const std::filesystem::path& path)
{
    return towindowspath(path.string());
}

std::vector<std::string> lines(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);)
        all.push_back(line);
    return all;
}

std::string registryvalue(const char* name)
{
    char text[64] = {};
    return reg_getstr(KEYTRANSLATOR::REGISTRYKEY, name, text, sizeof text) > 0 ? text : "<none>";
}

MSG keymessage(HWND window, UINT message, WPARAM key)
{
    MSG msg {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = key;
    return msg;
}

} // namespace

TEST(KeyTranslator, KeysAreFoldedIntoBothModifierSetsBeforeTheLookup)
{
    KEYS loaded;
    const struct {
        unsigned short context;
        unsigned long key;
        unsigned short command;
    } cases[] = {
        { 0x110, CTRL_C, 0x105 }, { 0x110, 0x2000 | 'C', 0x105 }, // Ctrl as an input event reports it
        { 0x112, 0x20000 | 'C', 0x105 }, // the high set, another context of the group
        { 0x110, 'C', 0 },
        { 0x120, 0x2000 | 'C', 0x105 }, // the reference answers to the shared command's key
        { 0x100, KEY_CTRL | 'N', 0x200 }, { 0x100, 0x70, 0 }, // F1's command is not in the table: dropped
        { 0x110, 0x1000 | 0x12E, 0x147 }, { 0x110, 0x1000 | 0x2E, 0 }, // Delete is an extended key
    };
    for (const auto& c : cases)
        EXPECT_EQ(loaded.keys.getcommand(c.context, c.key, 0), c.command) << std::hex << c.key;
    EXPECT_EQ(loaded.keys.count(), 6);
    EXPECT_EQ(loaded.keys.getkey(0x111, 0x161), KEY_CTRL | KEY_SHIFT | 'Z');
    EXPECT_TRUE(loaded.keys.exists(0x110, 0x147));
    EXPECT_FALSE(loaded.keys.exists(0x110, 0x146));
    EXPECT_EQ(loaded.keys.getcommand(0x1FF, 0x2000 | 'C', 1), 0) << "any context compares the exact key";
    EXPECT_EQ(loaded.keys.getcommand(0x1FF, CTRL_C, 1), 0x105);
    EXPECT_EQ(getapplnkeytranslator(), &loaded.keys);
}

TEST(KeyTranslator, AKeyHasOneCommandAndACommandOneKeyInAGroup)
{
    KEYS loaded;
    KEYTRANSLATOR& keys = loaded.keys;
    keys.assign(0x111, 0x160, CTRL_C);
    EXPECT_EQ(keys.getcommand(0x110, CTRL_C, 0), 0x160);
    EXPECT_EQ(keys.getkey(0x110, 0x105), 0u) << "the old command lost the key";
    EXPECT_EQ(keys.getcommand(0x120, CTRL_C, 0), 0x105) << "other groups keep theirs";
    keys.assign(0x110, 0x160, KEY_ALT | 'U');
    EXPECT_EQ(keys.getkey(0x110, 0x160), KEY_ALT | 'U');
    EXPECT_EQ(keys.getcommand(0x110, CTRL_C, 0), 0) << "the command's first key was replaced";
    keys.remove_key(0x110, KEY_ALT | 'U');
    keys.remove_command(0x110, 0x147);
    EXPECT_FALSE(keys.exists(0x110, 0x160));
    EXPECT_FALSE(keys.exists(0x110, 0x147));

    KEYTRANSLATOR copy(keys);
    EXPECT_TRUE(copy == keys);
    copy.assign(0x100, 0x13B, 0x7B);
    EXPECT_TRUE(copy != keys);
    copy = keys;
    EXPECT_TRUE(copy == keys);
    copy.zap();
    EXPECT_EQ(copy.count(), 0);
}

TEST(KeyTranslator, KeyMapsRoundTripThroughTheRegistryWithoutReferences)
{
    KEYS loaded;
    loaded.keys.assign(0x110, 0x150, KEY_SHIFT | KEY_CTRL | KEY_EXTENDED | 0x21);
    loaded.keys.regsave(KEYTRANSLATOR::REGISTRYKEY);
    EXPECT_EQ(registryvalue("VERSION"), "1.0");
    EXPECT_EQ(registryvalue("0110:0105"), "00022043");
    EXPECT_EQ(registryvalue("0110:0147"), "0001112E");
    EXPECT_EQ(registryvalue("0110:0150"),
        "0003312"
        "1");
    EXPECT_EQ(registryvalue("0120:0105"), "<none>") << "a reference's binding is the shared command's";
    reg_putstr(KEYTRANSLATOR::REGISTRYKEY, "0110:0000", "00022041");
    reg_putstr(KEYTRANSLATOR::REGISTRYKEY, "0110:0146:", "00022041");
    reg_putstr(KEYTRANSLATOR::REGISTRYKEY, "0110:0146", "nonsense");
    reg_putval(KEYTRANSLATOR::REGISTRYKEY, "0110:0148", 0x22041);

    CMDINFOTABLE table;
    table.load("TESTCONTEXTS", program());
    KEYTRANSLATOR read(table, KEYTRANSLATOR::SCROLLCOMMAND);
    EXPECT_EQ(read.regload(KEYTRANSLATOR::REGISTRYKEY), 7);
    EXPECT_TRUE(read == loaded.keys);
    EXPECT_EQ(read.getcommand(0x110, 0x22041, 0), 0) << "command 0, a bad name, a bad key, a number";
    loaded.keys.regclear(KEYTRANSLATOR::REGISTRYKEY);
    EXPECT_EQ(registryvalue("VERSION"), "<none>");
}

TEST(KeyTranslator, KeyMapsRoundTripThroughAKeyMapFile)
{
    KEYS loaded;
    const auto folder = vkt::test::makeTempSubfolder("keymap");
    const std::string path = windowspath(folder / "MY KEYS.KMF");
    ASSERT_EQ(loaded.keys.exportfile(path.c_str()), 1);
    std::vector<std::string> written = lines(folder / "MY KEYS.KMF");
    ASSERT_EQ(written.size(), 6u) << "the header and the five own bindings";
    EXPECT_EQ(written[0].rfind("; Keymap file generated ", 0), 0u);
    EXPECT_EQ(written[0].back(), '.');
    auto line = [](std::string name, const char* rest) {
        name = "\"" + name + "\"";
        return name + std::string(40 - name.size(), ' ') + rest;
    };
    EXPECT_EQ(written[1], line("E&xit Application", " (00000100:0000013B) = 00044073"));
    EXPECT_EQ(written[2], line("&New Project", " (00000100:00000200) = 0002204E"));
    EXPECT_EQ(written[3], line("&Copy", " (00000110:00000105) = 00022043"));
    EXPECT_EQ(written[5], line("&Redo", " (00000111:00000161) = 0003305A")) << "the entry's own context";

    CMDINFOTABLE table;
    table.load("TESTCONTEXTS", program());
    KEYTRANSLATOR read(table, KEYTRANSLATOR::SCROLLCOMMAND);
    read.assign(0x100, 0x13B, 0x7B);
    EXPECT_EQ(read.importfile(path.c_str()), 1);
    EXPECT_EQ(read.getcommand(0x100, 0x7B, 0), 0) << "the bindings were replaced";
    EXPECT_EQ(read.getcommand(0x110, SHIFT_DELETE, 0), 0x147);
    EXPECT_EQ(read.getcommand(0x120, CTRL_C, 0), 0x105) << "the reference shares the shared command's text";
    EXPECT_EQ(read.count(), loaded.keys.count());

    KEYTRANSLATOR empty(table, KEYTRANSLATOR::SCROLLCOMMAND);
    const std::string none = windowspath(folder / "none.kmf");
    ASSERT_EQ(empty.exportfile(none.c_str()), 1);
    EXPECT_EQ(lines(folder / "none.kmf").size(), 1u) << "only the header";
}

TEST(KeyTranslator, TheUserChoosesKeyMapFilesInFileSelectors)
{
    KEYS loaded;
    const auto folder = vkt::test::makeTempSubfolder("chosen");
    auto choose = [](const char* title, const std::string& name) {
        drelmtest::later([=] {
            auto* dialog = drelmtest::modal<QFileDialog>();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle().toStdString(), title);
            if (name.empty()) {
                QMetaObject::invokeMethod(dialog, "reject");
                return;
            }
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(name));
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    choose("Export Key Map To File", (folder / "mine").string());
    EXPECT_EQ(loaded.keys.exportsettings(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "mine.KMF")) << "the extension is added";

    CMDINFOTABLE table;
    table.load("TESTCONTEXTS", program());
    KEYTRANSLATOR read(table, KEYTRANSLATOR::SCROLLCOMMAND);
    choose("Import Key Map To File", (folder / "mine.KMF").string());
    EXPECT_EQ(read.importsettings(0), 1);
    EXPECT_EQ(read.count(), loaded.keys.count());
    choose("Import Key Map To File", "");
    EXPECT_EQ(read.importsettings(0), 0) << "cancelled";
    BOXES boxes;
    EXPECT_EQ(read.importsettings(1), 0) << "no default key map beside the program";
    EXPECT_TRUE(boxes.texts().empty());
    EXPECT_EQ(read.count(), loaded.keys.count());
}

TEST(KeyTranslator, ImportBindsEveryCommandOfTheNameInAnyCaseAndSkipsOtherLines)
{
    KEYS loaded;
    loaded.table.addcommand(0x130, 0x1B0, "&COPY", nullptr);
    const auto folder = vkt::test::makeTempSubfolder("import");
    std::ofstream(folder / "keys.kmf") << "; a comment\r\n\r\n  \"&copy\" (anything at all) =  0002205A  \r\n"
                                          "   \"Say \"hi\"\" = 00000074\n\"&Nothing here\" = 00000075\n";
    EXPECT_EQ(loaded.keys.importfile(windowspath(folder / "keys.kmf").c_str()), 1);
    EXPECT_EQ(loaded.keys.getcommand(0x110, KEY_CTRL | 'Z', 0), 0x105);
    EXPECT_EQ(loaded.keys.getcommand(0x130, KEY_CTRL | 'Z', 0), 0x1B0);
    EXPECT_EQ(loaded.keys.getcommand(0x120, KEY_CTRL | 'Z', 0), 0x105);
    EXPECT_EQ(loaded.keys.count(), 3) << "the earlier bindings are gone";
}

TEST(KeyTranslator, ADamagedKeyMapIsRefusedWholeAndTheMapKept)
{
    KEYS loaded;
    const KEYTRANSLATOR before(loaded.keys);
    const auto folder = testfolder() / "damaged" / "keymap";
    const struct {
        const char* file;
        int line;
    } cases[] = {
        { "nul_byte.kmf", 3 },
        { "unterminated_name.kmf", 2 },
        { "no_equals.kmf", 1 },
        { "no_key.kmf", 1 },
        { "not_hex.kmf", 1 },
        { "nine_digits.kmf", 1 },
        { "trailing_text.kmf", 1 },
    };
    for (const auto& c : cases) {
        BOXES boxes;
        const std::string path = windowspath(folder / c.file);
        EXPECT_EQ(loaded.keys.importfile(path.c_str()), 0) << c.file;
        EXPECT_EQ(boxes.texts(),
            std::vector<std::string> { path + "\n\nThis file is not a key map, or it is damaged (line "
                + std::to_string(c.line) + "). The key map was left as it was." })
            << c.file;
        EXPECT_TRUE(loaded.keys == before) << c.file;
    }
}

TEST(KeyTranslator, FilesThatCannotBeOpenedAreReportedByName)
{
    KEYS loaded;
    BOXES boxes;
    const auto folder = vkt::test::makeTempSubfolder("unopened");
    const std::string missing = windowspath(folder / "missing.kmf");
    const std::string nofolder = windowspath(folder / "no such folder" / "keys.kmf");
    EXPECT_EQ(loaded.keys.importfile(missing.c_str()), 0);
    EXPECT_EQ(loaded.keys.exportfile(nofolder.c_str()), 0);
    EXPECT_EQ(boxes.texts(),
        (std::vector<std::string> { missing + "\n\nThis file cannot be opened for reading.",
            nofolder + "\n\nThis file cannot be opened for writing." }));
    EXPECT_EQ(loaded.keys.count(), 6);
}

TEST(KeyTranslator, ABoundKeySendsItsCommandAndItsReleaseIsSwallowed)
{
    KEYS loaded;
    KEYTRANSLATOR& keys = loaded.keys;
    keys.assign(0x110, 0x146, 0x74);
    HWND window = wintest::toplevel();
    MSG down = keymessage(window, WM_KEYDOWN, 0x74);
    EXPECT_EQ(keys.translate_and_dispatch(window, 0x110, 0x74, &down), 1);
    auto commands = wintest::messagesof(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(0x146, 1));
    MSG up = keymessage(window, WM_KEYUP, 0x74);
    EXPECT_EQ(keys.translate_and_dispatch(window, 0x110, 0x74, &up), 1);
    EXPECT_EQ(keys.translate_and_dispatch(window, 0x110, 0x75, &up), 0);
    EXPECT_EQ(keys.translate_and_dispatch(window, 0x110, 0x74), 0) << "no message, nothing used";
    EXPECT_EQ(wintest::messagesof(WM_COMMAND).size(), 1u);
}

TEST(KeyTranslator, ScrollBindingsPostScrollMessages)
{
    KEYS loaded;
    KEYTRANSLATOR& keys = loaded.keys;
    HWND window = wintest::toplevel();
    const struct {
        unsigned short command;
        UINT message; // 0: nothing posted
        WPARAM code;
    } cases[] = {
        { 0x217D, WM_VSCROLL, SB_PAGEUP },
        { 0x617D, WM_VSCROLL, SB_BOTTOM },
        { 0xD17D, WM_HSCROLL, SB_RIGHT },
        { 0x017D, 0, 0 },
        { 0x717D, 0, 0 },
    };
    MSG posted {};
    while (PeekMessageA(&posted, nullptr, 0, 0, PM_REMOVE)) { }
    for (const auto& c : cases) {
        keys.assign(0x110, c.command, KEY_EXTENDED | 0x21);
        MSG down = keymessage(window, WM_KEYDOWN, 0x21);
        EXPECT_EQ(keys.translate_and_dispatch(window, 0x110, KEY_EXTENDED | 0x21, &down), 1)
            << std::hex << c.command;
        const bool any = PeekMessageA(&posted, window, 0, 0, PM_REMOVE);
        EXPECT_EQ(any ? posted.message : 0, c.message) << std::hex << c.command;
        if (any) {
            EXPECT_EQ(posted.wParam, c.code) << std::hex << c.command;
        }
    }
    EXPECT_TRUE(wintest::messagesof(WM_COMMAND).empty());
}

TEST(KeyTranslator, AnUnboundAltLetterOpensTheMenuOfATopLevelWindowOnly)
{
    KEYS loaded;
    wintest::answer() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_SYSCOMMAND ? std::optional<LRESULT>(0) : std::nullopt;
    };
    HWND window = wintest::toplevel();
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "&File");
    SetMenu(window, bar);
    HWND child = wintest::child(window, 1, { 0, 0, 50, 50 });
    MSG alt = keymessage(window, WM_SYSKEYDOWN, 'F');
    EXPECT_EQ(loaded.keys.translate_and_dispatch(window, 0x110, KEY_ALT | 'F', &alt), 1);
    auto opened = wintest::messagesof(WM_SYSCOMMAND);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].wParam, SC_KEYMENU);
    EXPECT_EQ(opened[0].lParam, 'F');
    MSG other = keymessage(window, WM_SYSKEYDOWN, 'G');
    EXPECT_EQ(loaded.keys.translate_and_dispatch(window, 0x110, KEY_ALT | 'G', &other), 0);
    MSG inchild = keymessage(child, WM_SYSKEYDOWN, 'F');
    EXPECT_EQ(loaded.keys.translate_and_dispatch(child, 0x110, KEY_ALT | 'F', &inchild), 0);
    EXPECT_EQ(wintest::messagesof(WM_SYSCOMMAND).size(), 1u);
}

TEST(KeyTranslator, MenusShowTheKeysOfTheirCommands)
{
    KEYS loaded;
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 0x105, "&Copy\tOld");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, 0x161, "&Redo");
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 0x147, "&Grid");
    AppendMenuA(sub, MF_STRING, 0x200, "&New\tF9");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
    auto text = [](HMENU m, int i) {
        char buffer[64] = {};
        GetMenuStringA(m, i, buffer, sizeof buffer, MF_BYPOSITION);
        return std::string(buffer);
    };
    GSLIST<unsigned short> contexts;
    contexts.append(0x110);
    contexts.append(0x100);
    loaded.keys.sync_menu(contexts, menu);
    EXPECT_EQ(text(menu, 0), "&Copy\tCtrl+C");
    EXPECT_EQ(text(menu, 2), "&Redo\tCtrl+Shift+Z");
    EXPECT_EQ(text(sub, 0), "&Grid\tShift+Delete");
    EXPECT_EQ(text(sub, 1), "&New\tCtrl+N") << "a later context's key";
    loaded.keys.remove_command(0x110, 0x105);
    loaded.keys.sync_menu(0x110, menu, 1);
    EXPECT_EQ(text(menu, 0), "&Copy\tCtrl+C") << "kept while unbound";
    loaded.keys.sync_menu(0x110, menu, 0);
    EXPECT_EQ(text(menu, 0), "&Copy") << "an unbound command loses its old key";
    DestroyMenu(menu);
}

TEST(KeyTranslator, KeyKindsAreKnownByTheirCodes)
{
    const struct {
        unsigned long key;
        bool alpha, num, function, arrow, cursor;
    } cases[] = {
        { 'A', true, false, false, false, false },
        { KEY_SHIFT | 'Z', true, false, false, false, false },
        { KEY_CTRL | 'A', false, false, false, false, false },
        { 0x4000 | '5', false, false, false, false, false },
        { '0', false, true, false, false, false },
        { KEY_ALT | 0x73, false, false, true, false, false },
        { 0x7B, false, false, true, false, false },
        { 0x7C, false, false, false, false, false },
        { 0x125, false, false, false, true, true },
        { 0x25, false, false, false, false, false },
        { KEY_SHIFT | 0x121, false, false, false, false, true },
        { 0x12E, false, false, false, false, false },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isalphakey(c.key), c.alpha) << std::hex << c.key;
        EXPECT_EQ(isnumkey(c.key), c.num) << std::hex << c.key;
        EXPECT_EQ(isfunctionkey(c.key), c.function) << std::hex << c.key;
        EXPECT_EQ(isarrowkey(c.key), c.arrow) << std::hex << c.key;
        EXPECT_EQ(iscursorkey(c.key), c.cursor) << std::hex << c.key;
    }
}
