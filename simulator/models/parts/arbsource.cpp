#include "simulator/models/parts/arbsource.h"

#include "core/files/pathopen.h"
#include "core/text/ascii.h"
#include "engines/mavro/mavro.h"
#include "simulator/kernel/runstate.h"
#include "simulator/models/parts/insertedprobe.h"
#include "simulator/models/spice/spiceparams.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The VALUE text read a character at a time, blanks between the tokens skipped.
class VALUEREADER {
public:
    explicit VALUEREADER(const char* text)
        : text(text)
    {
    }
    // The next character after blanks, not consumed; NUL at the end.
    char peek()
    {
        while (text[position] == ' ' || text[position] == '\t')
            ++position;
        return text[position];
    }
    char take()
    {
        const char c = peek();
        if (c)
            ++position;
        return c;
    }

    const char* text;
    size_t position = 0;
};

std::string quoted(const char* name)
{
    return std::string("\"") + name + "\"";
}

} // namespace

ARBSOURCE::REWRITE ARBSOURCE::rewrite(const char* value, INPtables* table, IFcircuit* circuit)
{
    REWRITE result;
    VALUEREADER in(value);
    auto fail = [&](std::string error) {
        result.error = std::move(error);
        result.position = in.position;
        return result;
    };
    std::vector<std::string> made;
    while (in.peek()) {
        const char c = static_cast<char>(asciilower(in.take()));
        result.text += c;
        if ((c != 'v' && c != 'i') || in.peek() != '(')
            continue;
        in.take();
        if (!asciialpha(in.peek()))
            return fail("A-Z expected");
        char letters[2] = { static_cast<char>(asciiupper(in.take())), 0 };
        if (in.peek() == ',') {
            in.take();
            if (!asciialpha(in.peek()))
                return fail("A-Z expected");
            letters[1] = static_cast<char>(asciiupper(in.take()));
        }
        if (in.peek() != ')')
            return fail(") expected");
        in.take();
        SDF_PIN* pins[2] = {};
        for (int k = 0; k < 2 && letters[k]; ++k) {
            const char pinname[2] = { letters[k], 0 };
            if (!(pins[k] = findpin(pinname)))
                return fail(std::string("pin ") + pinname + " not found");
        }
        if (c == 'v') {
            result.text += "(" + quoted(pins[0]->net);
            if (pins[1])
                result.text += "," + quoted(pins[1]->net);
            result.text += ")";
            continue;
        }
        if (!pins[1] || letters[1] == letters[0])
            return fail("must have two pins for current term");
        if (letters[0] > letters[1]) {
            std::swap(letters[0], letters[1]);
            std::swap(pins[0], pins[1]);
            result.text.insert(result.text.size() - 1, "-");
        }
        const std::string probename = std::string(name) + "#" + letters[0] + letters[1];
        if (std::find(made.begin(), made.end(), probename) == made.end()) {
            made.push_back(probename);
            probes.push_back(insertprobe(probename.c_str(), pins[0], pins[1], &properties, table, circuit));
            std::string entered = probename;
            char* text = entered.data();
            INPinsert(&text, table);
        }
        result.text += "(" + quoted(probename.c_str()) + ")";
    }
    return result;
}

void ARBSOURCE::bindmodel(INPtables* table, IFcircuit* circuit)
{
    SPICECPT::bindmodel(table, circuit);
    if (!spiceinstance)
        return;
    const char* value = getvalue();
    if (!value)
        value = "";
    REWRITE rewritten = rewrite(value, table, circuit);
    if (rewritten.error.empty()) {
        char* text = rewritten.text.data();
        INPgetTree(&text, &expression, circuit, table);
        if (!expression) {
            rewritten.error = "SPICE parser syntax error";
            rewritten.position = strlen(value);
        }
    }
    if (!rewritten.error.empty()) {
        warning("Error in %s - %s.", name, rewritten.error.c_str());
        fprintf(modulestdout(), "%s\n%s^\n", value, std::string(rewritten.position, '.').c_str());
        return;
    }
    IFvalue tree {};
    tree.tValue = expression;
    setinstanceparm(spicesimulator, circuit, spiceinstance, row->device, row->valuekeyword, &tree);
}

void ARBSOURCE::initialise(CIRCUIT* owner, void* models)
{
    readparameters(owner, models);
}
