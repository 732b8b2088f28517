#include "simulator/kernel/tests/kerneltesting.h"

void resetengines()
{
}
