// The recording stand-in of the simulation host (recordinghost.h).

#include <cstdlib>
#include <sstream>

#include "framework/appln/applnprocess.h"
#include "shell/tests/modules/recordinghost.h"

namespace {

class HOST : public RECORDINGHOST {
public:
    HOST()
    {
        std::istringstream list(std::getenv("VKT_TEST_PROCESSORS") ? std::getenv("VKT_TEST_PROCESSORS") : "");
        for (std::string device; std::getline(list, device, ',');)
            devices.push_back(device);
    }

    IMODULE* queryinterface(unsigned) override { return nullptr; }
    void sendcommand(unsigned short id) override { calls.push_back("command " + std::to_string(id)); }
    std::vector<PROCESSORINSTANCE> processors() override
    {
        std::vector<PROCESSORINSTANCE> list;
        for (std::string& device : devices)
            list.push_back({ &device, device });
        return list;
    }
    void setproperty(void* processor, const char* name, const char* value, int flags, int options) override
    {
        calls.push_back("property " + *static_cast<std::string*>(processor) + " " + name + " " + value + " "
            + std::to_string(flags) + " " + std::to_string(options));
    }
    void debugport(int port) override { calls.push_back("debugport " + std::to_string(port)); }

private:
    std::vector<std::string> devices;
};

class ZMVDEBUG : public APPLNMODULE {
public:
    explicit ZMVDEBUG(APPLNPROCESS* process)
        : APPLNMODULE(process)
    {
        setapplnname("ZMVDEBUG", "Simulation");
        setinterface(14, &host);
    }

    int docommand(unsigned short id) override
    {
        host.calls.push_back("docommand " + std::to_string(id));
        return 1;
    }

private:
    HOST host;
};

} // namespace

extern "C" APPLNMODULE* createmoduleinstance(APPLNPROCESS* process, const char*)
{
    return new ZMVDEBUG(process);
}

extern "C" void deletemoduleinstance(APPLNMODULE* module)
{
    delete module;
}
