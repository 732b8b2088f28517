#pragma once

// The text of a printf format and its arguments as the status line, its boxes and the error
// handler show it: at most 1023 bytes, cut on a character boundary.
// Callers: the error handler, module windows and frames.

#include <cstdarg>
#include <string>

std::string formattedtext(const char* format, va_list arguments);

// The formatted text of a variadic operation (va_start belongs in the operation itself).
#define FORMATTEDTEXT(text, format)                                                                          \
    va_list arguments;                                                                                       \
    va_start(arguments, format);                                                                             \
    const std::string text = formattedtext(format, arguments);                                               \
    va_end(arguments)
