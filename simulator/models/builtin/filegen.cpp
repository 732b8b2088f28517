#include "simulator/models/builtin/filegen.h"

#include "core/files/paths.h"
#include "engines/nerith/circuit.h"
#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
#include "platform/hulvane/results/resultsname.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// How long the last value of a source holds before the next look at it.
constexpr double HOLDTIME = 1e6;

} // namespace

const char* FILEGEN::label()
{
    const char* value = getvalue();
    return value ? value : name;
}

std::string FILEGEN::sourcepath(const char* extension, const char* missing)
{
    const char* file = given("FILE");
    if (!file)
        fatal(missing, label());
    char named[PATHBUFFER] = "";
    if (strlen(file) < PATHBUFFER && extension)
        adddefext(named, file, extension);
    else if (strlen(file) < PATHBUFFER)
        strcpy(named, file);
    if (!*named || !staysinside(named))
        fatal("The file '%s' of generator %s is refused: it must name a file inside the current folder.",
            file, label());
    std::string found = findexistingpath(named);
    return found.empty() ? toposixpath(named) : found;
}

void FILEGEN::opensource()
{
    std::string path = sourcepath(nullptr, "Must specify a filename for generator %s");
    std::string text;
    std::string reason;
    if (!readbounded(path.c_str(), text, reason))
        fatal("Cannot open file '%s' in %s: %s", given("FILE"), label(), reason.c_str());
    if (!readpoints(text, points, reason))
        fatal("Cannot read file '%s' in %s: %s.", given("FILE"), label(), reason.c_str());
}

void FILEGEN::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    if (opened)
        return;
    opensource();
    opened = true;
}

bool FILEGEN::nextpoint(SOURCEPOINT* point)
{
    if (position >= points.size())
        return false;
    *point = points[position++];
    return true;
}

void FILEGEN::rewind()
{
    restart();
    next = { 0, startvalue() };
    readnext();
}

void FILEGEN::readnext()
{
    do {
        previous = next;
        if (!nextpoint(&next))
            next = { std::max(previous.time + HOLDTIME, std::nextafter(previous.time, INFINITY)),
                previous.value };
    } while (!(next.time > previous.time));
}

double FILEGEN::valueat(double time) const
{
    if (time < previous.time)
        return previous.value;
    if (time > next.time)
        return next.value;
    return ((next.time - time) * previous.value + (time - previous.time) * next.value)
        / (next.time - previous.time);
}

void FILEGEN::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    source.fetch(circuit, instance, pinnode(0), pinnode(1));
}

void FILEGEN::loaddc(double time, uint32_t mode, const double*, double* rhs)
{
    if (mode & MODE_INITJCT)
        rewind();
    double value = mode & (MODE_DCOP | MODE_TRANOP) ? previous.value * sourcefactor() : valueat(time);
    source.load();
    if (source.branch)
        rhs[source.branch] += value;
}

void FILEGEN::loadac(double, double*, double*)
{
    error("AC Analysis not supported");
}

void FILEGEN::limitstep(double time, double* step)
{
    double tenth = (next.time - previous.time) / 10;
    if (time >= next.time)
        readnext();
    else if (time >= next.time - tenth)
        return;
    double allowed = next.time - time;
    if (allowed < *step)
        *step = std::max(allowed, 10 * query(QUERY_STEPFLOOR, 0));
}

void FILEGEN::acceptstep(double time, const double*)
{
    while (next.time <= time)
        readnext();
}
