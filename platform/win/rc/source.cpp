#include "platform/win/rc/source.h"

#include <strings.h>

#include <fstream>
#include <sstream>

#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

std::string readsource(const std::string& path, const std::string& from, int line)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CompileError(from.empty() ? path : from, line, "cannot read '" + path + "'");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string folderof(const std::string& path)
{
    size_t cut = path.rfind('/');
    return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

// The "#define NAME number" lines of a header; other lines are none of the compiler's business.
void takedefines(const std::string& text, std::map<std::string, int64_t>& defines)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string hash, name, value;
        if (!(words >> hash >> name >> value) || hash != "#define")
            continue;
        if (value.size() > 2 && value.front() == '(' && value.back() == ')')
            value = value.substr(1, value.size() - 2);
        char* end = nullptr;
        long long number = strtoll(value.c_str(), &end, 0);
        if (end != value.c_str() && !*end)
            defines[name] = number;
    }
}

class SourceCompiler {
public:
    SourceCompiler(std::string text, std::string path)
        : lexer(std::move(text), path)
        , parser(lexer, defines, result.inputs)
    {
        result.inputs.push_back(std::move(path));
    }

    Compiled run()
    {
        for (Token token = lexer.next(); token.kind != Token::Kind::end; token = lexer.next()) {
            if (token.kind == Token::Kind::directive) {
                directive(token);
                continue;
            }
            if (token.kind != Token::Kind::word)
                lexer.fail(token.line, "expected a resource kind, found '" + token.text + "'");
            const ResourceKind* kind = findkind(token.text);
            if (!kind)
                lexer.fail(token.line, "unknown resource kind '" + token.text + "'");
            resource(*kind, token.line);
        }
        return std::move(result);
    }

private:
    void directive(const Token& token)
    {
        Lexer line(token.text, lexer.file());
        Token word = line.next();
        if (word.kind == Token::Kind::word && word.text == "define") {
            Token name = line.next();
            Token value = line.next();
            if (name.kind != Token::Kind::word || value.kind != Token::Kind::number
                || line.next().kind != Token::Kind::end)
                lexer.fail(token.line, "expected #define NAME number");
            defines[name.text] = value.value;
            return;
        }
        if (word.kind == Token::Kind::word && word.text == "include") {
            Token file = line.next();
            if (file.kind != Token::Kind::text || line.next().kind != Token::Kind::end)
                lexer.fail(token.line, "expected #include \"file\"");
            std::string path = file.text[0] == '/' ? file.text : folderof(lexer.file()) + file.text;
            takedefines(readsource(path, lexer.file(), token.line), defines);
            result.inputs.push_back(path);
            return;
        }
        lexer.fail(token.line, "unknown directive '#" + token.text + "'");
    }

    NameOrId resourcename()
    {
        Token name = lexer.next();
        if (name.kind == Token::Kind::text && !name.text.empty())
            return { name.text, 0 };
        int64_t id = name.value;
        if (name.kind == Token::Kind::word) {
            auto defined = defines.find(name.text);
            if (defined == defines.end())
                return { name.text, 0 };
            id = defined->second;
        } else if (name.kind != Token::Kind::number) {
            lexer.fail(name.line, "expected the resource's name or id");
        }
        if (id < 1 || id > 0xFFFF)
            lexer.fail(name.line, "a resource id lies between 1 and 65535");
        return { {}, static_cast<uint16_t>(id) };
    }

    void resource(const ResourceKind& kind, int line)
    {
        NameOrId name = resourcename();
        if (kind.namedbyid() && !name.text.empty())
            lexer.fail(line, "this kind of resource is named by a number, not '" + name.text + "'");
        parser.symbol('{');
        std::vector<uint8_t> data = kind.compile(parser);
        parser.symbol('}');
        for (const auto& other : result.resources) {
            bool samename = other.name.text.empty()
                ? other.name.id == name.id
                : strcasecmp(other.name.text.c_str(), name.text.c_str()) == 0;
            if (other.type == kind.type() && samename)
                lexer.fail(line, "a resource of this kind and name is defined twice");
        }
        result.resources.push_back({ kind.type(), std::move(name), std::move(data) });
    }

    std::map<std::string, int64_t> defines;
    Compiled result;
    Lexer lexer;
    Parser parser;
};

} // namespace

int64_t Parser::number(int64_t low, int64_t high, const char* what)
{
    Token token = lexer.next();
    int64_t value = token.value;
    if (token.kind == Token::Kind::word) {
        auto defined = defines.find(token.text);
        if (defined == defines.end())
            lexer.fail(token.line, std::string("'") + token.text + "' is not defined; expected " + what);
        value = defined->second;
    } else if (token.kind != Token::Kind::number) {
        lexer.fail(token.line, std::string("expected ") + what);
    }
    if (value < low || value > high)
        lexer.fail(token.line, std::string(what) + " out of range: " + std::to_string(value));
    return value;
}

std::string Parser::text(const char* what)
{
    Token token = lexer.next();
    if (token.kind != Token::Kind::text)
        lexer.fail(token.line, std::string("expected ") + what + " in double quotes");
    std::string joined = token.text;
    while (lexer.peek().kind == Token::Kind::text)
        joined += lexer.next().text;
    return joined;
}

std::vector<uint8_t> Parser::file(const char* what)
{
    int at = line();
    std::string name = text(what);
    if (name.empty())
        lexer.fail(at, std::string("expected ") + what + ", not an empty name");
    std::string path = name[0] == '/' ? name : folderof(lexer.file()) + name;
    std::string bytes = readsource(path, lexer.file(), at);
    inputs.push_back(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool Parser::keyword(const char* word)
{
    const Token& token = lexer.peek();
    if (token.kind != Token::Kind::word || strcasecmp(token.text.c_str(), word) != 0)
        return false;
    lexer.next();
    return true;
}

void Parser::symbol(char c)
{
    Token token = lexer.next();
    if (token.kind != Token::Kind::symbol || token.text[0] != c)
        lexer.fail(token.line, std::string("expected '") + c + "'");
}

bool Parser::atsymbol(char c)
{
    const Token& token = lexer.peek();
    if (token.kind == Token::Kind::end)
        lexer.fail(token.line, std::string("missing '") + c + "' at the end");
    return token.kind == Token::Kind::symbol && token.text[0] == c;
}

bool Parser::attext()
{
    return lexer.peek().kind == Token::Kind::text;
}

int Parser::line()
{
    return lexer.peek().line;
}

void Parser::fail(const std::string& message)
{
    lexer.fail(line(), message);
}

Compiled compiletext(const std::string& text, const std::string& name)
{
    return SourceCompiler(text, name).run();
}

Compiled compilesource(const std::string& path)
{
    return compiletext(readsource(path, "", 0), path);
}

} // namespace rc
