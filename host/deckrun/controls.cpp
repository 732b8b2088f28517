#include "host/deckrun/controls.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace deckrun {

namespace {

bool isblank(char c)
{
    return c == ' ' || c == '\t';
}

// The words of a card: blanks and commas separate them, except inside parentheses, where blanks
// go and commas stay; "=" stands alone.
std::vector<std::string> words(const char* text)
{
    std::vector<std::string> list;
    std::string word;
    int depth = 0;
    auto flush = [&] {
        if (!word.empty())
            list.push_back(word);
        word.clear();
    };
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == '(')
            ++depth;
        if (c == ')' && depth > 0)
            --depth;
        if (depth == 0 && (isblank(c) || c == ',')) {
            flush();
        } else if (depth == 0 && c == '=') {
            flush();
            list.emplace_back("=");
        } else if (!isblank(c)) {
            word += c;
        }
    }
    flush();
    return list;
}

// Whether the letters after a number are a scale factor and a unit of what control cards give
// (times, frequencies, voltages, currents), each optional. The parser passes any letters as a unit,
// so a slip such as "1q" would read as 1 unseen.
bool knownsuffix(std::string letters)
{
    std::transform(letters.begin(), letters.end(), letters.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::string_view scales[] = { "", "t", "g", "meg", "k", "m", "mil", "u", "n", "p", "f" };
    constexpr std::string_view units[] = { "", "s", "hz", "v", "a" };
    const std::string_view text = letters;
    return std::any_of(std::begin(scales), std::end(scales), [&](std::string_view scale) {
        return text.starts_with(scale)
            && std::find(std::begin(units), std::end(units), text.substr(scale.size())) != std::end(units);
    });
}

// A number with its scale suffix and unit, as the parser reads one; nullopt for anything else.
std::optional<double> number(const std::string& word)
{
    std::string text = word;
    char* cursor = text.data();
    int error = 0;
    const double value = INPevaluate(&cursor, &error, 1);
    if (error || *cursor)
        return std::nullopt;
    const auto letters = std::find_if(word.rbegin(), word.rend(), [](unsigned char c) { return !std::isalpha(c); });
    if (!knownsuffix(std::string(letters.base(), word.end())))
        return std::nullopt;
    return value;
}

// The forms a vector's letter may take after "v" or "i".
struct FormLetters {
    const char* letters;
    Form form;
};
constexpr FormLetters forms[] = { { "", Form::Value }, { "m", Form::Magnitude }, { "db", Form::Decibel },
    { "p", Form::Phase }, { "r", Form::Real }, { "i", Form::Imaginary } };

// "v(a)", "v(a,b)" or "i(x)" with a form after the letter ("vdb(a)"); nullopt when the word is none
// of them.
std::optional<Vector> vector(const std::string& word)
{
    const std::size_t open = word.find('(');
    if (open == std::string::npos || open == 0 || word.back() != ')' || (word[0] != 'v' && word[0] != 'i'))
        return std::nullopt;
    Vector v;
    v.name = word;
    v.kind = word[0];
    const std::string letters = word.substr(1, open - 1);
    const auto form = std::find_if(
        std::begin(forms), std::end(forms), [&](const FormLetters& f) { return letters == f.letters; });
    if (form == std::end(forms))
        return std::nullopt;
    v.form = form->form;
    const std::string inside = word.substr(open + 1, word.size() - open - 2);
    if (inside.find_first_of("()") != std::string::npos)
        return std::nullopt;
    const std::size_t comma = inside.find(',');
    v.first = inside.substr(0, comma);
    if (comma != std::string::npos)
        v.second = inside.substr(comma + 1);
    if (v.first.empty() || (comma != std::string::npos && (v.second.empty() || v.kind == 'i'))
        || v.second.find(',') != std::string::npos)
        return std::nullopt;
    if (v.second == "0")
        v.second.clear();
    return v;
}

// A vector of a noise or transfer-function plot by its name: letters, digits and "_#.:".
std::optional<Vector> named(const std::string& word)
{
    if (word.empty() || !std::all_of(word.begin(), word.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_#.:", c);
        }))
        return std::nullopt;
    Vector v;
    v.name = word;
    v.kind = 'n';
    // The noise spectra by their short names.
    v.first = word == "onoise" || word == "inoise" ? word + "_spectrum" : word;
    return v;
}

class Reader {
public:
    Reader(SPICECARD* card, std::vector<std::string>* errors)
        : card_(card)
        , errors_(errors)
    {
    }
    // Where a message about the card starts.
    std::string where() const { return "line " + std::to_string(card_->line) + ": "; }
    void error(const std::string& message)
    {
        const std::string text = where() + message;
        errors_->push_back(text);
        const std::size_t old = card_->error ? std::strlen(card_->error) + 1 : 0;
        auto* joined = static_cast<char*>(std::realloc(card_->error, old + message.size() + 1));
        if (!joined)
            return;
        if (old)
            joined[old - 1] = '\n';
        std::memcpy(joined + old, message.c_str(), message.size() + 1);
        card_->error = joined;
    }

private:
    SPICECARD* card_;
    std::vector<std::string>* errors_;
};

// The `count` numbers of a card's words from `first` on, each with its scale suffix; nullopt when one
// is missing or no number.
std::optional<std::vector<double>> numbers(
    const std::vector<std::string>& w, std::size_t first, std::size_t count)
{
    if (w.size() < first + count)
        return std::nullopt;
    std::vector<double> list;
    for (std::size_t i = first; i < first + count; ++i) {
        const std::optional<double> value = number(w[i]);
        if (!value)
            return std::nullopt;
        list.push_back(*value);
    }
    return list;
}

void readtran(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    AnalysisCard card;
    card.kind = "tran";
    TranCard& tran = card.tran;
    std::vector<double> times;
    for (std::size_t i = 1; i < w.size(); ++i) {
        if (w[i] == "uic") {
            tran.uic = true;
        } else if (std::optional<double> value = number(w[i]); value && times.size() < 4) {
            times.push_back(*value);
        } else {
            reader.error("unexpected \"" + w[i] + "\" on the .tran card");
            return;
        }
    }
    if (times.size() < 2) {
        reader.error(".tran needs a step and a stop time");
        return;
    }
    tran.tstep = times[0];
    tran.tstop = times[1];
    tran.tstart = times.size() > 2 ? times[2] : 0;
    tran.tmax = times.size() > 3 ? times[3] : 0;
    controls.analyses.push_back(card);
}

// "dec|oct|lin points fstart fstop" at word `first`; false (reported) when it does not read.
bool readsweep(const std::vector<std::string>& w, std::size_t first, FrequencySweep& sweep, Reader& reader)
{
    const std::optional<std::vector<double>> values = numbers(w, first + 1, 3);
    if (!values || (w[first] != "dec" && w[first] != "oct" && w[first] != "lin")
        || (*values)[0] != std::floor((*values)[0]) || std::fabs((*values)[0]) > 1e9) {
        reader.error(
            "\"dec\", \"oct\" or \"lin\", a whole number of points, a start and a stop frequency expected");
        return false;
    }
    sweep.spacing = w[first];
    sweep.points = static_cast<int32_t>((*values)[0]);
    sweep.start = (*values)[1];
    sweep.stop = (*values)[2];
    return true;
}

void readac(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    AnalysisCard card;
    card.kind = "ac";
    if (w.size() != 5) {
        reader.error(".ac takes dec, oct or lin, the number of points, the start and the stop frequency");
        return;
    }
    if (readsweep(w, 1, card.sweep, reader))
        controls.analyses.push_back(card);
}

void readdc(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    AnalysisCard card;
    card.kind = "dc";
    const std::optional<std::vector<double>> one = numbers(w, 2, 3);
    const std::optional<std::vector<double>> two = w.size() == 9 ? numbers(w, 6, 3) : std::nullopt;
    if (!one || (w.size() != 5 && !two)) {
        reader.error(".dc takes a source and its start, stop and step, and as many of a second source");
        return;
    }
    card.sources.push_back({ w[1], (*one)[0], (*one)[1], (*one)[2] });
    if (two)
        card.sources.push_back({ w[5], (*two)[0], (*two)[1], (*two)[2] });
    controls.analyses.push_back(card);
}

void readtf(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    AnalysisCard card;
    card.kind = "tf";
    const std::optional<Vector> output = w.size() == 3 ? vector(w[1]) : std::nullopt;
    if (!output || output->form != Form::Value) {
        reader.error(".tf takes an output, v(node[,node]) or i(source), and the input source");
        return;
    }
    card.output = *output;
    card.input = w[2];
    controls.analyses.push_back(card);
}

void readnoise(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    AnalysisCard card;
    card.kind = "noise";
    const std::optional<Vector> output = w.size() >= 3 ? vector(w[1]) : std::nullopt;
    if (!output || output->kind != 'v' || output->form != Form::Value || (w.size() != 7 && w.size() != 8)) {
        reader.error(
            ".noise takes v(node[,node]), the input source, dec, oct or lin, the number of points, the "
            "start and the stop frequency, and the points per summary");
        return;
    }
    card.output = *output;
    card.input = w[2];
    if (!readsweep(w, 3, card.sweep, reader))
        return;
    if (w.size() == 8) {
        const std::optional<double> every = number(w[7]);
        if (!every || *every < 0 || *every != std::floor(*every) || *every > 1e9) {
            reader.error("the points per summary must be a whole number of 0 or more");
            return;
        }
        card.ptspersum = static_cast<int32_t>(*every);
    }
    controls.analyses.push_back(card);
}

void readdisto(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    AnalysisCard card;
    card.kind = "disto";
    if (w.size() != 5 && w.size() != 6) {
        reader.error(
            ".disto takes dec, oct or lin, the number of points, the start and the stop frequency, and "
            "F2/F1");
        return;
    }
    if (!readsweep(w, 1, card.sweep, reader))
        return;
    if (w.size() == 6) {
        card.f2overf1 = number(w[5]);
        if (!card.f2overf1) {
            reader.error("\"" + w[5] + "\" is no ratio F2/F1");
            return;
        }
    }
    controls.analyses.push_back(card);
}

// The reference's name of a branch current's vector after the device's name.
constexpr std::string_view Branch = "#branch";

// The analyses a .print card may name.
constexpr const char* printkinds[] = { "op", "tran", "dc", "ac", "tf", "noise", "disto" };

void readprint(const std::vector<std::string>& w, Controls& controls, Reader& reader)
{
    std::size_t i = 1;
    std::string analysis;
    if (i < w.size() && std::find(std::begin(printkinds), std::end(printkinds), w[i]) != std::end(printkinds))
        analysis = w[i++];
    // Noise and transfer-function plots hold vectors named otherwise than by nodes or devices.
    const bool names = analysis == "noise" || analysis == "tf";
    for (; i < w.size(); ++i) {
        // A branch current may be named as the reference names its vector.
        const std::string word = !names && w[i].size() > Branch.size() && w[i].ends_with(Branch)
            ? "i(" + w[i].substr(0, w[i].size() - Branch.size()) + ")"
            : w[i];
        std::optional<Vector> v = names ? named(word) : vector(word);
        // Decks carry other simulators' print items (expressions, output formats): left out.
        if (!v) {
            controls.notes.push_back(reader.where() + "\"" + w[i] + "\" is no vector"
                + std::string(names ? " of the plot" : ": v(node), v(node,node) or i(device)") + "; left out");
            continue;
        }
        v->analysis = analysis;
        controls.prints.push_back(*v);
    }
}

// "v(node) = value" items of .ic and .nodeset cards.
void readvalues(
    const std::vector<std::string>& w, std::vector<std::pair<std::string, double>>& into, Reader& reader)
{
    for (std::size_t i = 1; i < w.size(); i += 3) {
        const std::optional<Vector> v = vector(w[i]);
        const std::optional<double> value
            = i + 2 < w.size() && w[i + 1] == "=" ? number(w[i + 2]) : std::nullopt;
        if (!v || v->kind != 'v' || v->form != Form::Value || !v->second.empty() || !value) {
            reader.error("\"" + w[i] + "\": v(node)=value expected");
            return;
        }
        into.emplace_back(v->first, *value);
    }
}

} // namespace

Controls readcontrols(SPICECARD* deck, std::vector<std::string>* errors)
{
    Controls controls;
    // The first card is the title.
    for (SPICECARD* card = deck ? deck->next : nullptr; card; card = card->next) {
        if (!card->text)
            continue;
        const std::vector<std::string> w = words(card->text);
        if (w.empty())
            continue;
        Reader reader(card, errors);
        if (w[0] == ".tran")
            readtran(w, controls, reader);
        else if (w[0] == ".op")
            controls.analyses.emplace_back().kind = "op";
        else if (w[0] == ".ac")
            readac(w, controls, reader);
        else if (w[0] == ".dc")
            readdc(w, controls, reader);
        else if (w[0] == ".tf")
            readtf(w, controls, reader);
        else if (w[0] == ".noise")
            readnoise(w, controls, reader);
        else if (w[0] == ".disto")
            readdisto(w, controls, reader);
        else if (w[0] == ".print")
            readprint(w, controls, reader);
        else if (w[0] == ".ic")
            readvalues(w, controls.ics, reader);
        else if (w[0] == ".nodeset")
            readvalues(w, controls.nodesets, reader);
    }
    return controls;
}

} // namespace deckrun
