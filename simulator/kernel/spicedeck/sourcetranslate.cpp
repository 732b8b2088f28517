#include "simulator/kernel/spicedeck/sourcetranslate.h"

#include "core/files/pathopen.h"
#include "core/text/scan.h"
#include "simulator/kernel/spicedeck/decklog.h"
#include "simulator/kernel/spicedeck/polywrite.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <cstdio>
#include <string>

namespace {

// The expression of a VALUE form, from the cursor after the keyword.
void writevalue(char* p, std::string& out)
{
    if (!skippast(&p, '='))
        return;
    while (*p) {
        char* next = p;
        skipspaces(&next);
        char* q = p;
        if (chkchr(&q, '{') || chkchr(&q, '}')) {
            out += ' ';
        } else if (chktok(&q, "LOG")) {
            out += "LN";
        } else if (chktok(&q, "LOG10")) {
            out += "LOG";
        } else {
            // Blanks before anything else are copied as a run: each of them would see the same
            // character after it.
            q = next > p ? next : p + 1;
            out.append(p, q);
        }
        p = q;
    }
}

void replacebrackets(const char* text, std::string& out)
{
    out = text;
    for (char& c : out) {
        if (c == '(' || c == ')' || c == ',')
            c = ' ';
    }
}

} // namespace

void translatesource(SPICECARD* card)
{
    char* p = card->text;
    char* tokens[3] = {};
    for (char*& token : tokens)
        INPgetTok(&p, &token, 1);
    const char* device = tokens[0] ? tokens[0] : "";
    char letter = device[0];

    std::string out("B");
    out.append(device).append(" ").append(tokens[1] ? tokens[1] : "").append(" ");
    out.append(tokens[2] ? tokens[2] : "").append(letter == 'E' || letter == 'H' ? " V=" : " I=");
    const char* problem = nullptr;
    if (chktok(&p, "POLY"))
        problem = letter == 'E' || letter == 'G' ? writepolyvoltage(&p, out) : writepolycurrent(&p, out);
    else if (chktok(&p, "VALUE"))
        writevalue(p, out);
    else
        replacebrackets(card->text, out);
    for (char* token : tokens)
        INPfree(token);

    if (problem) {
        fprintf(modulestdout(), "Error: %s: %s\n", problem, card->text);
        return;
    }
    if (out == card->text)
        return;
    decktracelink().trace("Translated: %s to %s", card->text, out.c_str());
    settext(card, out);
}
