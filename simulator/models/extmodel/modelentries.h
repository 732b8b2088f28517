#pragma once

#include "engines/contract/models.h"

class IINSTANCE;

// The entries of a model library: a shared object NAME.so that a part names with its MODDLL
// property ("NAME.DLL"), found in the folders of the MODELS environment variable. The kernel looks
// them up by name; a library exports those it serves, with C linkage.
//
// Each create entry takes the part's primitive type name and a reserved pointer (null), and gives
// a model it owns, or null when it has none of that kind for the type. A library that exports
// createmixedmodel is asked for that alone; otherwise createspicemodel and createpallexmodel are
// asked in turn. Each delete entry takes back a model of its create entry when the part goes. A
// mixed model's digital interface is static_cast<IPALLEXMODEL*>(mixed).
//
// A script engine exports loadprogram as well: script models hand it the part and its script
// text once made, and in place of the type name their create entries get the script block (the
// script's name, then its text).
extern "C" {
IMIXEDMODEL* createmixedmodel(const char* type, void* reserved);
void deletemixedmodel(IMIXEDMODEL* model);
ISPICEMODEL* createspicemodel(const char* type, void* reserved);
void deletespicemodel(ISPICEMODEL* model);
IPALLEXMODEL* createpallexmodel(const char* type, void* reserved);
void deletepallexmodel(IPALLEXMODEL* model);
void loadprogram(IINSTANCE* instance, const char* script);
}
