#pragma once

#include "core/containers/didx.h"
#include "core/containers/dpa.h"
#include "core/containers/proplist.h"
#include "simulator/kernel/part.h"

#include <cstdint>
#include <cstdio>
#include <string>

// The netlist as the simulator reads it from the netlist file: the design name, the netlist
// properties, model definitions, scripts, parts and nets with their pins. The reader fills it only
// through the virtual operations below, so a derived class (the simulated circuit) turns parts
// into simulated components and handles supply nets while the file is read.
//
// A net is handed around as its handle, a pointer to its NUL-terminated name inside the net's
// record; netflags() and netproperties() reach the rest of the record from the handle. Net ids
// number the nets from 0 in the order they were made and never change while the netlist lives.

constexpr int DESIGNNAMESIZE = 520;  // at most 519 characters
constexpr int MODELNAMESIZE = 32;    // at most 31 characters
constexpr int SCRIPTNAMESIZE = 64;   // at most 63 characters

struct SDF_MODEL {
    char name[MODELNAMESIZE];
    PROPLIST properties { 0, 1 };
};

template <>
struct GDIDXKEY<SDF_MODEL> : GDIDXINLINEKEY<SDF_MODEL> { };

// A script: its name, then its text (one allocation; release with deletescript).
struct SDF_SCRIPT {
    char name[SCRIPTNAMESIZE];
    char text[1];  // NUL-terminated, of any length
};

template <>
class GDPA<SDF_SCRIPT> : public DPA {
public:
    void destroy(void* item) override { ::operator delete(item); }
    SDF_SCRIPT* operator[](int index) const { return static_cast<SDF_SCRIPT*>(items[index]); }
    SDF_SCRIPT** begin() const { return reinterpret_cast<SDF_SCRIPT**>(items); }
    SDF_SCRIPT** end() const { return reinterpret_cast<SDF_SCRIPT**>(items) + count; }
};

// The net record's head; the name follows it directly.
struct SDF_NETHEAD {
    PROPLIST properties { 0, 1 };
    int32_t id;
    uint32_t flags;  // 0 when made; the bits belong to the circuit
};

inline SDF_NETHEAD* nethead(const char* net)
{
    return reinterpret_cast<SDF_NETHEAD*>(const_cast<char*>(net) - sizeof(SDF_NETHEAD));
}
inline uint32_t& netflags(const char* net) { return nethead(net)->flags; }
inline PROPLIST& netproperties(const char* net) { return nethead(net)->properties; }
inline int32_t netid(const char* net) { return nethead(net)->id; }

class SDF_NETLIST {
public:
    SDF_NETLIST();
    SDF_NETLIST(const SDF_NETLIST&) = delete;
    SDF_NETLIST& operator=(const SDF_NETLIST&) = delete;
    // Frees the properties, models, scripts, parts and net records.
    virtual ~SDF_NETLIST();

    // 0: NAME=VALUE into the netlist properties; a later value replaces an earlier one.
    virtual void setproperty(const char* name, const char* value);
    // 1: a model (name cut to 31 characters) with a copy of the properties. Returns it; null, with
    // nothing added, when a model of the same cut name exists: parts may point to that one.
    virtual SDF_MODEL* addmodel(const char* name, const PROPLIST* properties);
    // 2: a script (name cut to 63 characters, text copied whole) appended to the scripts.
    virtual SDF_SCRIPT* addscript(const char* name, const char* text);
    // 3: a part (name cut to 127 characters) with a copy of the properties and DEVICE set to the
    // device name; one of the same name takes the earlier one's place (which is freed). Returns it.
    virtual SDF_COMPONENT* addcomponent(const char* name, const char* device, const PROPLIST* properties);
    // 4: the net of that name, made when absent; it becomes the current net.
    virtual char* getnet(const char* name);
    // 5: NAME=VALUE into the current net's properties; nothing outside a net block.
    virtual void setnetproperty(const char* name, const char* value);
    // 6: the part's new pin on the net; null (nothing done) without a part.
    virtual SDF_PIN* addpin(char* net, SDF_COMPONENT* part, const char* pin, SDF_PINTYPE type);
    // 7: a label, terminal or unknown entry of a net; the base does nothing and returns null.
    virtual SDF_PIN* connect(char* net, const char* name, SDF_PINTYPE type);
    // 8: ends the current net: trims its property list and clears the current net.
    virtual void endnet(char* net);

    // Reads a whole netlist file from the stream into the netlist (see netlistread.cpp); reports
    // nothing: whatever it cannot use it skips.
    void read(FILE* stream);
    // Reads the netlist file at path (a POSIX path) through the bounded reader
    // (platform/win/boundedread.h); false, with nothing read and the reason in error, when that
    // refuses it.
    bool readfile(const char* path, std::string& error);

    const char* getdesignname() const { return designname; }
    PROPLIST& getproperties() { return properties; }
    // The netlist property's text; null when absent.
    const char* getproperty(const char* name) const { return properties[name]; }
    // True when the property exists and equals text without regard to case.
    bool testproperty(const char* name, const char* text) const { return properties.test(name, text) != 0; }
    int netcount() const { return nets.count; }
    // The part of that name, as the part index compares names; null when absent. The index is
    // searched by halves.
    SDF_COMPONENT* findpart(const char* name) const;
    // The net of that id; null when there is none.
    char* netbyid(int32_t id) const { return netorder.ptr(id); }

    char designname[DESIGNNAMESIZE] {};
    PROPLIST properties { 0, 1 };
    GDIDX<SDF_MODEL> models { 0, DIDX::DESTROY };
    GDPA<SDF_SCRIPT> scripts;
    GDIDX<SDF_COMPONENT> parts { 0, DIDX::DESTROY };
    DIDX nets;             // net handles by name
    DPA netorder;          // net handles by id
    char* currentnet = nullptr;
};
