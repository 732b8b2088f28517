#include "platform/hulvane/cdbcore.h"

#include <sstream>

#include "core/files/vfile.h"

namespace {

constexpr const char* magic = "VKTCDB";
// Far beyond any project's boards: a larger entry is damage, not a database.
constexpr long largestentry = 1L << 20;
constexpr size_t mostboards = 4096;

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// Reads the tokens of one line: words and quoted texts. False for an unclosed text or a control
// character inside one.
bool tokens(const std::string& line, std::vector<std::string>& out)
{
    out.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string token;
        if (line[i] != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                token += line[i++];
            out.push_back(token);
            continue;
        }
        for (++i;; ++i) {
            if (i >= line.size() || static_cast<unsigned char>(line[i]) < 0x20)
                return false;
            if (line[i] == '"')
                break;
            if (line[i] == '\\' && ++i >= line.size())
                return false;
            token += line[i];
        }
        ++i;
        out.push_back(token);
    }
    return true;
}

bool number(const std::string& text, unsigned long& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoul(text);
    return true;
}

bool isvariantletter(char c)
{
    return c >= 'A' && c <= 'Z';
}

} // namespace

void CDBCORE::newdatabase(const char* text)
{
    zap();
    name = text ? text : "";
}

void CDBCORE::zap()
{
    name.clear();
    boards.clear();
    current = -1;
    variant = 'b';
    legacyvariants = 0;
    modified = 0;
}

int CDBCORE::save(VFILE& file)
{
    std::ostringstream out;
    out << magic << ' ' << VERSION << '\n';
    out << "name " << quoted(name) << '\n';
    out << "variant " << variant << '\n';
    if (legacyvariants)
        out << "legacyvariants 1\n";
    for (const CDBBOARD& board : boards)
        out << "board " << board.id << ' ' << quoted(board.stem) << ' ' << quoted(board.name) << '\n';
    if (current >= 0)
        out << "current " << boards[current].id << '\n';
    const std::string text = out.str();
    const int size = static_cast<int>(text.size());
    return file.write(text.data(), size) == size && !file.testflags(0x80) ? 1 : 0;
}

int CDBCORE::load(VFILE& file)
{
    zap();
    std::string text;
    char block[4096];
    for (int n; (n = file.read(block, sizeof block)) > 0;) {
        text.append(block, static_cast<size_t>(n));
        if (static_cast<long>(text.size()) > largestentry)
            return 0;
    }
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> words;
    unsigned long version = 0;
    if (!std::getline(in, line) || !tokens(line, words) || words.size() != 2 || words[0] != magic
        || !number(words[1], version) || version < 1 || version > VERSION)
        return 0;
    CDBCORE read;
    unsigned long currentid = 0;
    while (std::getline(in, line)) {
        if (!tokens(line, words))
            return 0;
        if (words.empty())
            continue;
        const std::string& key = words[0];
        unsigned long value = 0;
        if (key == "name" && words.size() == 2) {
            read.name = words[1];
        } else if (key == "variant" && words.size() == 2 && words[1].size() == 1
            && (words[1][0] == 'b' || isvariantletter(words[1][0]))) {
            read.variant = words[1][0];
        } else if (key == "legacyvariants" && words.size() == 2 && number(words[1], value)) {
            read.legacyvariants = value != 0;
        } else if (key == "board" && words.size() == 4 && number(words[1], value) && value
            && read.boards.size() < mostboards) {
            for (const CDBBOARD& board : read.boards)
                if (board.id == value)
                    return 0;
            read.boards.push_back({ value, words[2], words[3] });
        } else if (key == "current" && words.size() == 2 && number(words[1], value)) {
            currentid = value;
        } else {
            return 0;
        }
    }
    for (size_t i = 0; i < read.boards.size(); ++i)
        if (read.boards[i].id == currentid)
            read.current = static_cast<int>(i);
    if (currentid && read.current < 0)
        return 0;
    name = read.name;
    boards = read.boards;
    current = read.current;
    variant = read.variant;
    legacyvariants = read.legacyvariants;
    return 1;
}

int CDBCORE::migratelegacyvariants()
{
    if (!legacyvariants)
        return 0;
    legacyvariants = 0;
    modified = 1;
    return 1;
}

void CDBCORE::selectvariant(char letter)
{
    variant = isvariantletter(letter) ? letter : 'b';
}

void CDBCORE::newdesign()
{
    if (!boards.empty())
        return;
    boards.push_back({ 1, "ROOT", "" });
    current = 0;
    modified = 1;
}

const CDBBOARD* CDBCORE::getboard(int index) const
{
    return index >= 0 && index < numboards() ? &boards[static_cast<size_t>(index)] : nullptr;
}

CDBCORE* createcdb()
{
    return new CDBCORE;
}

void releasecdb(CDBCORE* database)
{
    delete database;
}
