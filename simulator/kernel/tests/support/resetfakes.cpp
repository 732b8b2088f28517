#include "engines/fakes/recorder.h"
#include "simulator/kernel/tests/kerneltesting.h"

void resetengines()
{
    fakes::reset();
}
