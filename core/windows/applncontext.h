#pragma once

// The application context: which module's handles, string table and registry object the
// library's calls use on a thread. Every thread may make a context of its own current; threads
// without one share the process's default context. The framework owns the contexts and their
// remaining fields.

#include "platform/win/handletypes.h"

class REGISTRY;
class STRINGTABLE;

struct APPLNCONTEXT {
    HINSTANCE instance; // the module
    HINSTANCE resourceinstance; // where its resources lie; null: the module itself
    STRINGTABLE* stringtable; // not owned; may be null
    REGISTRY* registry; // not owned; may be null
};

// The process's default context; never null (it starts as an empty context of the library).
extern APPLNCONTEXT* defaultapplncontext;

// The calling thread's context, or the default context when the thread has none.
APPLNCONTEXT* getapplncontext();
// Makes context the calling thread's (null: none, so the default serves); returns the previous
// thread context, null when there was none.
APPLNCONTEXT* setapplncontext(APPLNCONTEXT* context);
