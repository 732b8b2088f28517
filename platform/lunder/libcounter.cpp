#include "platform/lunder/libcounter.h"

namespace {
uint32_t counter = 0;
}

uint32_t libcounter()
{
    return counter;
}

void raiselibcounter()
{
    ++counter;
}
