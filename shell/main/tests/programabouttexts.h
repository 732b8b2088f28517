#pragma once

// The about box's texts as the program makes them: its strings and its version resource (the test
// program carries the program's resources), with the free memory given.

#include <gtest/gtest.h>

#include "core/windows/stringtable.h"
#include "framework/context/applncontext.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"
#include "shell/main/aboutbox.h"

inline ABOUTTEXTS programabouttexts(unsigned long long freememory)
{
    STRINGTABLE strings;
    EXPECT_TRUE(strings.load("APPLNSTRINGS", GetModuleHandleA(nullptr)));
    MODULECONTEXT context;
    context.stringtable = &strings;
    APPLNCONTEXT* previous = setapplncontext(&context);
    VERSIONINFO version {};
    EXPECT_TRUE(getversioninfo(programfile().c_str(), &version));
    const ABOUTTEXTS texts = abouttexts(version, freememory);
    setapplncontext(previous);
    return texts;
}
