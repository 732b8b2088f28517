#pragma once

// What the test modules did, in order, as the test program records it ("alpha: system_init").

#include <string>
#include <vector>

extern "C" void recordmodulecall(const char* call);
std::vector<std::string>& modulecalls();
