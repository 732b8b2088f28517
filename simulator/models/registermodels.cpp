#include "simulator/kernel/modelcatalog.h"
#include "simulator/models/builtin/builtinmodels.h"
#include "simulator/models/digital/digitalmodels.h"
#include "simulator/models/extmodel/extmodels.h"
#include "simulator/models/parts/partmodels.h"

// The model libraries linked with the kernel. A library added here is all the kernel needs to make
// its parts.
void registermodels()
{
    registerbuiltinmodels();
    registerdigitalmodels();
    registerextmodels();
    registerpartmodels();
}
