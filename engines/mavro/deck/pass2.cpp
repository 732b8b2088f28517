// The second pass: device cards, ".options" cards and the cards it only passes over.
#include "engines/mavro/deck/cards.h"
#include "engines/mavro/deck/devices.h"
#include "engines/mavro/deck/values.h"
#include "engines/mavro/parser.h"
#include "engines/mavro/token.h"

namespace mavro {

namespace {

// Sets the card's options on the options analysis of the task.
void readoptions(SPICECARD* card, DeckState& state, IFjob* options, CardReport& report)
{
    IFsimulator* descriptor = session().descriptor;
    const IFanalysis* analysis = nullptr;
    for (int32_t i = 0; descriptor && descriptor->analyses && i < descriptor->numAnalyses; ++i) {
        const IFanalysis* candidate = descriptor->analyses[i];
        if (candidate && candidate->name && sameletters(candidate->name, "options"))
            analysis = candidate;
    }
    if (!options || !analysis || !descriptor->setAnalysisParm) {
        report.add("no options analysis to take the card");
        return;
    }
    CardReader reader(card->text);
    reader.token();
    auto set = [&](const IFparm& parm, IFvalue* value) {
        return descriptor->setAnalysisParm(state.ckt, options, parm.id, value, nullptr);
    };
    const ParmTable table { analysis->analysisParms, analysis->numParms };
    // Decks carry the options of other simulators: one the engine does not know is left out.
    auto unknown = [&](std::string_view keyword) {
        if (findparm(table, keyword))
            return false;
        report.note("unknown option " + quoted(keyword) + " left out");
        skipvalue(reader);
        return true;
    };
    readparameters(reader, table, Scope { state.ckt, state.table }, report, "option", set, unknown);
}

} // namespace

int pass2(IFcircuit* ckt, SPICECARD* deck, INPtables* table, IFtask*, IFjob* options)
{
    DeckState state { ckt, table, {} };
    int failed = 0;
    for (SPICECARD* card = deck; card; card = card->next) {
        CardReport report(card);
        switch (classify(card)) {
        case Card::Device:
            if (table)
                readdevice(card, state, report);
            else
                report.add("no symbol table to read the card");
            break;
        case Card::Control:
            if (iscontrol(card, ".options") || iscontrol(card, ".option") || iscontrol(card, ".opt"))
                readoptions(card, state, options, report);
            break;
        case Card::Continuation:
            report.add("Illegal continuation line: ignored.");
            break;
        default:
            break;
        }
        failed += report.finish();
    }
    return failed;
}

} // namespace mavro
