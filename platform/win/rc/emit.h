#pragma once

// The C++ source that embeds compiled resources in a module: one byte array per resource and a
// RESOURCEMODULE that registers them under the module for as long as it is loaded. Version
// resources are also placed in the file's version section, where the version calls read them.

#include <string>

#include "platform/win/rc/source.h"

namespace rc {

std::string emitcpp(const Compiled& compiled, const std::string& sourcename);

// A make-style dependency line naming the inputs of output, for the build.
std::string emitdepfile(const Compiled& compiled, const std::string& output);

} // namespace rc
