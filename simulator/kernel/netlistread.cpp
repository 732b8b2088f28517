// The netlist file reader: a header, then sections that may come in any order and more than once.
//
//   line 1       "TAVI..."; line 3 "...: <design name>"
//   *PROPERTIES,<n>   n lines NAME=VALUE (the value is the rest of the line, as it stands)
//   *MODELDEFS,<n>    n lines NAME: KEY=VALUE, KEY=VALUE, ...
//   *SCRIPT <name>    lines up to "*ENDSCRIPT"
//   *PARTLIST,<n>     n lines NAME,DEVICE,VALUE[,KEY=VALUE]...
//   *NETLIST,<n>      n net blocks: NAME,<pins>[,KEY=VALUE]... then <pins> lines FIRST,TYPE,PIN,
//                     then one empty line
//
// Lines end with a line feed (a carriage return before it is dropped) and hold at most 40,959
// characters; a longer line is cut there and the rest of it skipped. A last line without a line
// feed is read like any other. An unreadable record of a counted section (an empty line among
// NAME=VALUE lines, say) is counted and skipped; the rest of the file is still read.
#include "simulator/kernel/netlist.h"

#include "core/text/scan.h"
#include "core/text/strutil.h"
#include "core/text/values.h"
#include "platform/win/boundedread.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

constexpr size_t MAXLINE = 40959;
constexpr int MAXVALUE = 1023;
constexpr int MAXTYPE = 9;

const char* const pintypes[] = { "PS", "IP", "OP", "IO", "TS", "PU", "PD", "PP", "LBL", "GT", "IT", "OT", "BT",
    "PT", "PR", "MP", nullptr };

class NETLISTREADER {
public:
    NETLISTREADER(SDF_NETLIST& netlist, FILE* stream)
        : netlist(netlist)
        , stream(stream)
    {
        line.reserve(256);
    }

    void read()
    {
        clearerr(stream);
        rewind(stream);
        if (readline())
            readheader();
        while (readline()) {
            char* p = line.data();
            if (*p++ != '*')
                continue;
            if (chktok(&p, "PROPERTIES"))
                readproperties(p);
            else if (chktok(&p, "MODELDEFS"))
                readmodeldefs(p);
            else if (chktok(&p, "SCRIPT"))
                readscript(p);
            else if (chktok(&p, "PARTLIST"))
                readpartlist(p);
            else if (chktok(&p, "NETLIST"))
                readnetlist(p);
        }
    }

private:
    // The next line into `line` without its line end; false at the end of the stream.
    bool readline()
    {
        if (pending) {
            pending = false;
            return true;
        }
        line.clear();
        int c;
        bool any = false;
        while ((c = getc_unlocked(stream)) != EOF) {
            any = true;
            if (c == '\n')
                break;
            if (line.size() < MAXLINE)
                line.push_back(static_cast<char>(c));
        }
        if (!any)
            return false;
        if (!line.empty() && line.back() == '\r' && c == '\n')
            line.pop_back();
        return true;
    }

    // Hands the line just read to the next readline again.
    void unread() { pending = true; }

    void readheader()
    {
        if (line.compare(0, 4, "TAVI") != 0)
            return;
        if (!readline() || !readline())
            return;
        char* p = line.data();
        if (!skippast(&p, ':'))
            return;
        skipspaces(&p);
        strnzcpy(netlist.designname, p, DESIGNNAMESIZE - 1);
    }

    // The record count after the section keyword: ",<count>"; 0 when either is missing.
    static int32_t readcount(char* p)
    {
        int32_t count = 0;
        if (skippast(&p, ','))
            getint(&p, &count);
        return count;
    }

    // KEY=VALUE pairs separated by commas, from p on; a pair that does not read is dropped and
    // reading goes on after the next comma. A field without '=' is such a pair: read up to the
    // next '=', its key would swallow the pair after it (the tail of an unquoted value with a
    // comma would take a part's PRIMITIVE with it).
    template <class Add>
    static void readpairs(char* p, Add add)
    {
        do {
            char key[64] = "";
            char value[MAXVALUE + 1] = "";
            if (p[std::strcspn(p, ",=")] == '=' && getfield(&p, key, '=') && *key
                && getnzstr(&p, value, ",", MAXVALUE))
                add(key, value);
        } while (skippast(&p, ','));
    }

    void readproperties(char* p)
    {
        for (int32_t n = readcount(p); n > 0 && readline(); --n) {
            char* q = line.data();
            char name[64];
            if (!getfield(&q, name, '=') || !*name)
                continue;
            skipspaces(&q);
            if (*q)
                netlist.setproperty(name, q);
        }
    }

    void readmodeldefs(char* p)
    {
        for (int32_t n = readcount(p); n > 0 && readline(); --n) {
            char* q = line.data();
            char name[64];
            if (!getfield(&q, name, ':'))
                continue;
            PROPLIST list(0, 1);
            readpairs(q, [&](const char* key, const char* value) { list.add(key, value); });
            netlist.addmodel(name, &list);
        }
    }

    void readscript(char* p)
    {
        char name[SCRIPTNAMESIZE];
        if (!getnzstr(&p, name, "\n", SCRIPTNAMESIZE - 1))
            return;
        std::string text;
        while (readline() && strncasecmp(line.c_str(), "*ENDSCRIPT", 10) != 0) {
            text += line;
            text += '\n';
        }
        netlist.addscript(name, text.c_str());
    }

    void readpartlist(char* p)
    {
        for (int32_t n = readcount(p); n > 0 && readline(); --n) {
            char* q = line.data();
            char name[PARTNAMESIZE] = "";
            char device[64] = "";
            char value[MAXVALUE + 1] = "";
            getnzstr(&q, name, ",", PARTNAMESIZE - 1);
            skippast(&q, ',');
            getnzstr(&q, device, ",", 63);
            skippast(&q, ',');
            getnzstr(&q, value, ",", MAXVALUE);
            PROPLIST list(0, 1);
            if (skippast(&q, ','))
                readpairs(q, [&](const char* key, const char* text) { list.add(key, text); });
            if (!list["VALUE"])
                list.add("VALUE", value);
            netlist.addcomponent(name, device, &list);
        }
    }

    void readnetlist(char* p)
    {
        for (int32_t n = readcount(p); n > 0 && readline(); --n)
            readnet();
    }

    // One net block; `line` holds its net line.
    void readnet()
    {
        char* p = line.data();
        skipto(&p, ',');
        std::string name(line.data(), p);
        char* net = netlist.getnet(name.c_str());
        int32_t pins = 0;
        if (*p == ',') {
            ++p;
            getint(&p, &pins);
            if (skippast(&p, ','))
                readpairs(p, [&](const char* key, const char* value) { netlist.setnetproperty(key, value); });
        }
        for (; pins > 0 && readline(); --pins)
            readpin(net);
        netlist.endnet(net);
        // Every block ends with an empty line; a writer that left it out loses nothing.
        if (readline() && !line.empty())
            unread();
    }

    void readpin(char* net)
    {
        char* p = line.data();
        char first[PARTNAMESIZE] = "";
        char type[MAXTYPE + 1] = "";
        char pin[PINNAMESIZE] = "";
        getnzstr(&p, first, ",", PARTNAMESIZE - 1);
        skippast(&p, ',');
        getnzstr(&p, type, ",", MAXTYPE);
        skippast(&p, ',');
        getnzstr(&p, pin, ",", PINNAMESIZE - 1);
        auto pintype = static_cast<SDF_PINTYPE>(keywordp(type, pintypes));
        if (pintype == PIN_MP)
            return;
        if (pintype >= PIN_PS && pintype <= PIN_PP)
            netlist.addpin(net, netlist.findpart(first), pin, pintype);
        else
            netlist.connect(net, first, pintype);
    }

    SDF_NETLIST& netlist;
    FILE* stream;
    std::string line;
    bool pending = false;
};

}  // namespace

void SDF_NETLIST::read(FILE* stream)
{
    NETLISTREADER(*this, stream).read();
}

bool SDF_NETLIST::readfile(const char* path, std::string& error)
{
    std::string text;
    if (!readbounded(path, text, error))
        return false;
    FILE* stream = fmemopen(text.data(), text.size(), "r");
    if (!stream) {
        error = strerror(errno);
        return false;
    }
    read(stream);
    fclose(stream);
    return true;
}
