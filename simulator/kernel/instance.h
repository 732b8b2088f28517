#pragma once

#include "engines/contract/instance.h"
#include "engines/contract/simlog.h"
#include "simulator/kernel/component.h"

// INSTANCE: a part that carries a model. It keeps the indices models use (its analog pins with
// their SPICE nodes, its digital pins with their engine handles, the nets a model asked about)
// and offers the model the IINSTANCE services (instanceservices.cpp for those beyond the log).

// A net as a model sees it.
class INETINFO {
public:
    // 0: the net's name.
    virtual const char* name() = 0;
    // 1: non-zero when an analog pin is on the net.
    virtual int isanalog() = 0;
    // 2: non-zero when a digital pin reads or drives the net.
    virtual int isdigital() = 0;
    // 3: the net property's text; def when absent.
    virtual const char* getstrval(const char* property, const char* def) = 0;
    // 4: the net property as a number with an engineering suffix; def when absent or no number.
    virtual double getnumval(const char* property, double def) = 0;

protected:
    ~INETINFO() = default;
};

class NETINFO final : public INETINFO {
public:
    explicit NETINFO(char* net)
        : net(net)
    {
    }
    const char* name() override { return net; }
    int isanalog() override;
    int isdigital() override;
    const char* getstrval(const char* property, const char* def) override;
    double getnumval(const char* property, double def) override;

    char* net;  // the net's handle; not owned
};

template <>
struct GDIDXKEY<NETINFO> {
    static char* key(const NETINFO* item) { return item->net; }
};

// A pin of an instance as the models use it.
struct PININFO {
    SDF_PIN* pin;  // not owned
    int32_t node = -1;                  // the SPICE node, -1 until bound
    IPALLEXPIN2* digital = nullptr;     // the digital engine's pin, null until connected
};

template <>
struct GDIDXKEY<PININFO> {
    static char* key(const PININFO* item) { return item->pin->name; }
};

class INSTANCE : public COMPONENT, public IINSTANCE, public ITRACEOWNER {
public:
    using COMPONENT::COMPONENT;
    // 0: also frees the three indices.
    ~INSTANCE() override;
    // 2: adds the pin, then records it among the analog pins when it is analog or dual and among
    // the digital pins when it is digital or dual.
    SDF_PIN* addpin(const char* name, SDF_PINTYPE type, char* net) override;

    const char* getname() override { return name; }
    using COMPONENT::getvalue;
    const char* getvalue() override { return COMPONENT::getvalue(); }
    const char* getstrval(const char* property, const char* def) override;
    double getnumval(const char* property, double def) override;
    int getboolval(const char* property, int def) override;
    uint32_t gethexval(const char* property, uint32_t def) override;
    int32_t getinitval(const char* property, int32_t def) override;
    int64_t getdelay(const char* property, int64_t def) override;
    uint32_t getactiveid() override;
    IINSTANCE* getlink() override { return link; }
    int getmoddata(const void** data, int32_t* length) override;
    int32_t getspicenode(const char* pin, int required) override;
    IPALLEXPIN2* getpallexpin(const char* pin, int required) override;
    int log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    // The record's caption (POPUPRECORD) is shown as "caption - part" while the host makes it.
    void* createpopup(void* record) override;
    void sendelementmessage(intptr_t data) override;
    intptr_t sendhostmessage(uint32_t value) override;
    // .BIN, .HEX and .S19 (without regard to case) through the firmware loaders, into the cells
    // of the buffer for the addresses from base on, one cell every 2^shift addresses.
    int loadmemory(const char* file, uint8_t* buffer, int32_t cells, uint32_t base, int32_t shift) override;
    IBUSPIN* getbuspin(const char* bus, IPALLEXPIN2** pins, int32_t count) override;
    IBUSPIN* getbuspinbyname(const char* base, int32_t first, int32_t width, int required) override;
    int message(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    int warning(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    int error(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    [[noreturn]] void fatal(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    // The message through the log; when it was logged, the part's source lines. A fatal message
    // writes them before it ends the run.
    int logmessage(int cls, const char* format, va_list args) override;
    void help(const char* file, int32_t topic) override;
    void registertrace(const TRACEFLAGINFO* table, TRACEFLAG* records, int32_t count, ITRACEOWNER* owner) override;
    // IINSTANCE slot 27 and the part's ITRACEOWNER operation alike.
    int trace(TRACEFLAG* channel, int cls, const char* format, va_list args) override;
    int ismixed() override { return analogpins.count > 0 && digitalpins.count > 0; }
    INETINFO* getpinnet(const char* pin) override;

    GDIDX<PININFO> analogpins { 0, DIDX::KEEPALL, alnumicmp };
    GDIDX<PININFO> digitalpins { 0, DIDX::KEEPALL, alnumicmp };
    GDIDX<NETINFO> nets;

private:
    void sourcelines();
    // The text of a property that is present: not missing, not beginning with "[NULL]" or '?'.
    const char* presenttext(const char* property) const;
    // The pin info of the first piece of `pins` (split at ',' and ' ') found in index.
    PININFO* findpininfo(const GDIDX<PININFO>& index, const char* pins) const;
};

// The head of a popup record the host receives with message 0x572 (the rest is the host's).
struct POPUPRECORD {
    int32_t kind;
    int32_t flags;
    const char* caption;
};
