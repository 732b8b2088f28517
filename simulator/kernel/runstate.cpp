#include "simulator/kernel/runstate.h"

int simstatus = 0;
std::atomic<int> simabort { 0 };
HWND hostwindow = nullptr;
HWND hostrootwindow = nullptr;
int interactiverun = 0;
uint32_t stallseconds = 0;
IFsimulator* spicesimulator = nullptr;
IFsimulator parserdescriptor {};
ISPICECKT* spicecircuit = nullptr;
IPALLEXCKT* pallexcircuit = nullptr;
ANALYSIS* currentanalysis = nullptr;
