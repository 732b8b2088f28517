#pragma once

#include <cstdint>

// The values that pass between the SPICE engine, its deck parser and the kernel: identifiers,
// parameter values and parameter descriptions. Handles are opaque: only the engine dereferences
// them, except the public head of a node.

// An identifier: a NUL-terminated name. Node identifiers in a plot's name list are the nodes' own
// `name` pointers, so callers may compare them by identity.
using IFuid = const char*;

struct IFcircuit; // a circuit, made by newCircuit
struct IFmodel; // a device model
struct IFinstance; // a device instance
struct IFtask; // a list of analyses run together by doAnalyses
struct IFjob; // one analysis of a task
struct IFplot; // the front end's handle of an output plot

// The public head of an engine node; the engine keeps the rest behind it. Numbers count from 0
// (ground) and index the solution vector. The name stays valid until the circuit is deleted.
struct IFnode {
    IFuid name;
    int32_t number;
};

struct IFcomplex {
    double real;
    double imag;
};

class IFparseTree;

// Value kinds, the low byte of an IFparm's data type; IF_VECTOR marks a vector of that kind.
inline constexpr int32_t IF_FLAG = 0x1; // iValue: 0 or 1
inline constexpr int32_t IF_INTEGER = 0x2; // iValue
inline constexpr int32_t IF_REAL = 0x4; // rValue
inline constexpr int32_t IF_COMPLEX = 0x8; // cValue
inline constexpr int32_t IF_NODE = 0x10; // nValue
inline constexpr int32_t IF_STRING = 0x20; // sValue: a malloc'ed copy; the receiver frees it
inline constexpr int32_t IF_INSTANCE = 0x40; // uValue: the name of an instance
inline constexpr int32_t IF_PARSETREE = 0x80; // tValue: an expression from INPgetTree
// pValue: a plain pointer (IINSTANCE*, ISPICEMODEL*, ISPICECKT* of the OBJITF device). Above the
// low byte on purpose: it never comes from property text.
inline constexpr int32_t IF_POINTER = 0x100;
inline constexpr int32_t IF_ASK = 0x1000; // the parameter can be asked for
inline constexpr int32_t IF_SET = 0x2000; // the parameter can be set
inline constexpr int32_t IF_VECTOR = 0x8000; // v: a vector of the kind in the low byte

// A vector value. The engine keeps vectors by reference: the caller keeps the array alive until it
// sets the parameter again or deletes the circuit.
struct IFvector {
    int32_t numValue;
    union {
        int32_t* iVec;
        double* rVec;
        IFcomplex* cVec;
        IFnode** nVec;
        IFuid* uVec;
    } vec;
};

union IFvalue {
    int32_t iValue;
    double rValue;
    IFcomplex cValue;
    IFnode* nValue;
    char* sValue;
    IFuid uValue;
    IFparseTree* tValue;
    void* pValue;
    IFvector v;
};

// The description of one parameter of a device, a model, an analysis or a node.
struct IFparm {
    const char* keyword; // matched against property names without regard to case
    int32_t id;
    int32_t dataType; // value kind | IF_VECTOR | IF_SET | IF_ASK
    const char* description;
};

// An expression of a behavioural source, parsed by the deck parser (INPgetTree) and evaluated by the
// engine. It reads a fixed list of quantities: node voltages, branch currents of named sources and
// the time.
// It belongs to the parser table it was parsed with and lives until INPtabEnd of that table.
class IFparseTree {
public:
    // The number of quantities the expression reads.
    virtual int32_t quantities() const = 0;
    // Quantity i: *kind IF_NODE with what->nValue (a node voltage), IF_INSTANCE with
    // what->uValue (the branch current of that source) or IF_REAL (the time of the analysis, 0
    // outside a transient); false when i is out of range.
    virtual bool quantity(int32_t i, int32_t* kind, IFvalue* what) const = 0;
    // The value at the given quantity values and its derivative by each quantity (derivatives null:
    // the value alone); false on a domain error (outputs then undefined).
    virtual bool eval(const double* values, double* result, double* derivatives) const = 0;

protected:
    ~IFparseTree() = default;
};
