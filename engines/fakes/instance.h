#pragma once

#include "engines/contract/instance.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fakes {

// What a fake instance's fatal service throws.
struct Fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A part as the engines see it, for tests of the engines and of the fakes: a name, properties, and
// the messages it was asked to log ("W text", "E text", "I text"). Property rules are the kernel's:
// missing, "[NULL]..." and "?..." are absent; numbers read with scale suffixes.
class Instance final : public IINSTANCE {
public:
    explicit Instance(std::string name, std::map<std::string, std::string> properties = {});

    std::string name;
    std::map<std::string, std::string> properties;
    std::vector<std::string> messages;

    const char* getname() override;
    const char* getvalue() override;
    const char* getstrval(const char* name, const char* def) override;
    double getnumval(const char* name, double def) override;
    int getboolval(const char* name, int def) override;
    uint32_t gethexval(const char* name, uint32_t def) override;
    int32_t getinitval(const char* name, int32_t def) override;
    int64_t getdelay(const char* name, int64_t def) override;
    uint32_t getactiveid() override { return 0; }
    IINSTANCE* getlink() override { return nullptr; }
    int getmoddata(const void**, int32_t*) override { return 0; }
    int32_t getspicenode(const char*, int) override { return -1; }
    IPALLEXPIN2* getpallexpin(const char*, int) override { return nullptr; }
    int message(const char* format, ...) override;
    int warning(const char* format, ...) override;
    int error(const char* format, ...) override;
    void fatal(const char* format, ...) override;
    int log(const char* format, ...) override;
    void* createpopup(void*) override { return nullptr; }
    void sendelementmessage(intptr_t) override {}
    intptr_t sendhostmessage(uint32_t) override { return 0; }
    int loadmemory(const char*, uint8_t*, int32_t, uint32_t, int32_t) override { return 0; }
    IBUSPIN* getbuspin(const char*, IPALLEXPIN2**, int32_t) override { return nullptr; }
    IBUSPIN* getbuspinbyname(const char*, int32_t, int32_t, int) override { return nullptr; }
    int logmessage(int cls, const char* format, va_list args) override;
    void help(const char*, int32_t) override {}
    void registertrace(const TRACEFLAGINFO*, TRACEFLAG*, int32_t, ITRACEOWNER*) override {}
    int trace(TRACEFLAG*, int cls, const char* format, va_list args) override;
    int ismixed() override { return 0; }
    INETINFO* getpinnet(const char*) override { return nullptr; }

private:
    // The property's text; null when absent by the kernel's rules.
    const char* text(const char* name) const;
};

}  // namespace fakes
