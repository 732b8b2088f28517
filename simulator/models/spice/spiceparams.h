#pragma once

#include "engines/nerith/descriptor.h"

#include <cstdint>

// Parameters of the SPICE engine's device types found by keyword, as the SPICE parts use them:
// keywords compare without regard to case, and only parameters whose data type carries every bit
// of `access` (IF_SET, IF_ASK; 0 for any) count. Each returns null when the device (or table) is
// null or has no such parameter.

const IFparm* findparameter(const IFparm* table, int32_t count, const char* keyword, int32_t access);
const IFparm* findinstanceparm(const IFdevice* device, const char* keyword, int32_t access);
const IFparm* findmodelparm(const IFdevice* device, const char* keyword, int32_t access);

// Sets the device's settable instance parameter of that keyword through the engine's descriptor:
// the engine's result, or E_BADPARM when the device has no such parameter or there is no engine
// (nothing is called then).
int setinstanceparm(const IFsimulator* simulator, IFcircuit* circuit, IFinstance* instance,
    const IFdevice* device, const char* keyword, IFvalue* value);
