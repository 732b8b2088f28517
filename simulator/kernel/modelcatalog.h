#pragma once

#include <cstdint>

class COMPONENT;
class PROPLIST;
struct PRIMITIVE;
struct PXlink;
struct SDF_MODEL;

// The models the component factory makes, by the kind of their primitive row. The kernel knows no
// model: each model library registers its makers.

// Makes a part of a row of its kind: the new part, not yet registered in any circuit; null when it
// makes none.
using MODELMAKER
    = COMPONENT* (*)(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

// Registers the maker of a kind; it replaces what was registered for the kind before (a test may
// put its own maker in place), which it returns (null when there was none).
MODELMAKER registermodel(int32_t kind, MODELMAKER maker);
// The part made by the maker of the row's kind; null when the kind has none or it made none.
COMPONENT* makemodel(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

// Makes a part of a kind whose class its type name completes: a digital primitive (the digital
// engine's type), a part with a model library (the library's model type) or a script model (the
// script block, whose name comes first; null when the part names none). Null when it makes none.
using TYPEDMAKER = COMPONENT* (*)(const char* name, PRIMITIVE* row, const char* type, const SDF_MODEL* model,
    const PROPLIST* properties);

// As registermodel and makemodel, for the kinds made with their type name.
TYPEDMAKER registertypedmodel(int32_t kind, TYPEDMAKER maker);
COMPONENT* maketypedmodel(
    const char* name, PRIMITIVE* row, const char* type, const SDF_MODEL* model, const PROPLIST* properties);

// Makes an interface object of a mixed net (ADC, DAC) with the digital engine's link of it (null:
// the object links itself). Null when it makes none.
using INTERFACEMAKER = COMPONENT* (*)(const char* name, PRIMITIVE* row, const SDF_MODEL* model,
    const PROPLIST* properties, PXlink* link);

// As registermodel and makemodel, for the interface objects.
INTERFACEMAKER registerinterfacemodel(int32_t kind, INTERFACEMAKER maker);
COMPONENT* makeinterfacemodel(
    const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties, PXlink* link);

// Registers the makers of every model library. Defined where the kernel is linked with its models
// (simulator/models/registermodels.cpp); the catalog calls it once, before its first use.
void registermodels();
