// The module's two exports, which the framework finds by name once it has loaded the library.

#include <new>

#include "schematic/app/taviapp.h"

extern "C" APPLNMODULE* createmoduleinstance(APPLNPROCESS* process, const char* args)
{
    return new (std::nothrow) TAVIAPP(process);
}

extern "C" void deletemoduleinstance(APPLNMODULE* module)
{
    delete module;
}
