#include "engines/mavro/expression_parse.h"

#include "engines/mavro/parser.h"
#include "engines/mavro/token.h"

#include <cstring>

namespace mavro {

namespace {

using Op = Expression::Op;

bool isdigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isletter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isblank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Recursive descent over the text; every rule emits its steps after those of its operands.
class Parser {
public:
    Parser(std::string_view text, IFcircuit* ckt, INPtables* table, Expression& out)
        : text_(text)
        , ckt_(ckt)
        , table_(table)
        , out_(out)
    {
    }

    bool parse(ParseError* error)
    {
        int32_t step = 0;
        bool read = sum(&step);
        if (read) {
            blanks();
            if (pos_ < text_.size())
                read = fail(E_SYNTAX, "operator expected");
        }
        if (!read && error)
            *error = error_;
        return read;
    }

private:
    // Deep nesting is refused rather than allowed to exhaust the stack.
    static constexpr int deepest = 256;

    struct Nesting {
        explicit Nesting(int& depth)
            : depth_(depth)
        {
            ++depth_;
        }
        ~Nesting() { --depth_; }
        int& depth_;
    };

    bool fail(int code, const std::string& message)
    {
        error_.code = code;
        error_.message = message + " at column " + std::to_string(pos_ + 1);
        return false;
    }

    void blanks()
    {
        while (pos_ < text_.size() && isblank(text_[pos_]))
            ++pos_;
    }

    char next()
    {
        blanks();
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }

    bool take(char c)
    {
        if (next() != c)
            return false;
        ++pos_;
        return true;
    }

    bool sum(int32_t* step)
    {
        if (!product(step))
            return false;
        for (;;) {
            char c = next();
            if (c != '+' && c != '-')
                return true;
            ++pos_;
            int32_t right = 0;
            if (!product(&right))
                return false;
            *step = out_.binary(c == '+' ? Op::Add : Op::Subtract, *step, right);
        }
    }

    bool product(int32_t* step)
    {
        if (!unary(step))
            return false;
        for (;;) {
            char c = next();
            // "**" is the power, not a product.
            if ((c != '*' && c != '/') || (c == '*' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '*'))
                return true;
            ++pos_;
            int32_t right = 0;
            if (!unary(&right))
                return false;
            *step = out_.binary(c == '*' ? Op::Multiply : Op::Divide, *step, right);
        }
    }

    // A sign applies to the power that follows it: -x^2 is -(x^2).
    bool unary(int32_t* step)
    {
        Nesting nesting(depth_);
        if (depth_ > deepest)
            return fail(E_SYNTAX, "expression nested too deeply");
        char c = next();
        if (c == '-' || c == '+') {
            ++pos_;
            if (!unary(step))
                return false;
            if (c == '-')
                *step = out_.unary(Op::Negate, *step);
            return true;
        }
        return power(step);
    }

    // Right-associative: 2^3^2 is 2^9; the exponent may carry a sign.
    bool power(int32_t* step)
    {
        if (!primary(step))
            return false;
        char c = next();
        std::size_t width = c == '^'                                        ? 1
            : c == '*' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '*' ? 2
                                                                            : 0;
        if (width == 0)
            return true;
        pos_ += width;
        int32_t exponent = 0;
        if (!unary(&exponent))
            return false;
        *step = out_.binary(Op::Power, *step, exponent);
        return true;
    }

    bool primary(int32_t* step)
    {
        char c = next();
        if (isdigit(c) || (c == '.' && pos_ + 1 < text_.size() && isdigit(text_[pos_ + 1])))
            return number(step);
        if (c == '(') {
            ++pos_;
            if (!sum(step))
                return false;
            return take(')') || fail(E_SYNTAX, "')' expected");
        }
        if (isletter(c) || c == '_')
            return call(step);
        if (c == '\0')
            return fail(E_SYNTAX, "expression ends too early");
        return fail(E_SYNTAX, std::string("unexpected '") + c + "'");
    }

    // Digits, a fraction, an exponent, then the letters of a scale suffix and unit.
    bool number(int32_t* step)
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isdigit(text_[pos_]))
            ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            while (pos_ < text_.size() && isdigit(text_[pos_]))
                ++pos_;
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            std::size_t after = pos_ + 1;
            if (after < text_.size() && (text_[after] == '+' || text_[after] == '-'))
                ++after;
            if (after < text_.size() && isdigit(text_[after])) {
                while (after < text_.size() && isdigit(text_[after]))
                    ++after;
                pos_ = after;
            }
        }
        while (pos_ < text_.size() && isletter(text_[pos_]))
            ++pos_;
        std::optional<double> value = tokenvalue(text_.substr(start, pos_ - start));
        if (!value) {
            pos_ = start;
            return fail(E_SYNTAX, "number out of range");
        }
        *step = out_.constant(*value);
        return true;
    }

    bool call(int32_t* step)
    {
        const std::size_t start = pos_;
        std::string name;
        while (pos_ < text_.size() && (isletter(text_[pos_]) || isdigit(text_[pos_]) || text_[pos_] == '_'))
            name += lower(text_[pos_++]);
        if (!take('(')) {
            if (name == "time") {
                *step = out_.quantity(IF_REAL, IFvalue {});
                return true;
            }
            pos_ = start;
            return fail(E_SYNTAX, "unknown name '" + name + "'");
        }
        if (name == "v")
            return voltage(step);
        if (name == "i")
            return current(step);
        Expression::Function function {};
        if (!Expression::function(name, &function)) {
            pos_ = start;
            return fail(E_SYNTAX, "unknown function '" + name + "'");
        }
        if (!sum(step))
            return false;
        if (!take(')'))
            return fail(E_SYNTAX, "')' expected");
        *step = out_.unary(Op::Function, *step, function);
        return true;
    }

    // A node or source name: quoted to keep blanks, else up to a blank, ',', '(' or ')'.
    bool readname(std::string_view* name)
    {
        char c = next();
        if (c == '"') {
            const std::size_t start = ++pos_;
            while (pos_ < text_.size() && text_[pos_] != '"')
                ++pos_;
            if (pos_ >= text_.size())
                return fail(E_SYNTAX, "closing '\"' expected");
            *name = text_.substr(start, pos_++ - start);
        } else {
            const std::size_t start = pos_;
            while (
                pos_ < text_.size() && !isblank(text_[pos_]) && std::strchr(",()\"", text_[pos_]) == nullptr)
                ++pos_;
            *name = text_.substr(start, pos_ - start);
        }
        return !name->empty() || fail(E_SYNTAX, "name expected");
    }

    bool node(int32_t* step)
    {
        std::string_view text;
        if (!readname(&text))
            return false;
        IFvalue what {};
        if (int code = cardnode(ckt_, text, table_, &what.nValue))
            return fail(code, "node '" + std::string(text) + "': " + errormessage(code));
        *step = out_.quantity(IF_NODE, what);
        return true;
    }

    bool voltage(int32_t* step)
    {
        if (!node(step))
            return false;
        if (take(',')) {
            int32_t other = 0;
            if (!node(&other))
                return false;
            *step = out_.binary(Op::Subtract, *step, other);
        }
        return take(')') || fail(E_SYNTAX, "')' expected");
    }

    bool current(int32_t* step)
    {
        std::string_view text;
        if (!readname(&text))
            return false;
        IFvalue what {};
        what.uValue = table_->enter(text)->name;
        *step = out_.quantity(IF_INSTANCE, what);
        return take(')') || fail(E_SYNTAX, "')' expected");
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    IFcircuit* ckt_;
    INPtables* table_;
    Expression& out_;
    ParseError error_;
    int depth_ = 0;
};

} // namespace

std::unique_ptr<Expression> parseexpression(
    std::string_view text, IFcircuit* ckt, INPtables* table, ParseError* error)
{
    auto expression = std::make_unique<Expression>();
    if (!Parser(text, ckt, table, *expression).parse(error))
        return nullptr;
    return expression;
}

int gettree(char** line, IFparseTree** tree, IFcircuit* ckt, INPtables* table)
{
    if (tree)
        *tree = nullptr;
    if (!line || !*line || !tree || !table)
        return E_BADVALUE;
    ParseError error;
    std::unique_ptr<Expression> expression = parseexpression(*line, ckt, table, &error);
    if (!expression)
        return error.code;
    *tree = table->keep(std::move(expression));
    *line += std::strlen(*line);
    return 0;
}

} // namespace mavro
