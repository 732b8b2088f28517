#include "framework/appln/tests/modulecalls.h"

std::vector<std::string>& modulecalls()
{
    static std::vector<std::string> calls;
    return calls;
}

extern "C" void recordmodulecall(const char* call)
{
    modulecalls().push_back(call);
}
