#pragma once

// Text values of the current context's registry read whole, and as Qt strings. Texts are kept in
// the local 8-bit encoding (UTF-8) and converted with it both ways. Paths are kept in the system's
// own form ("/home/me/amp.vktprj", lists separated by ';'), as a user who reads or edits the
// settings expects, and handed to the program in its Windows form.

#include <QString>
#include <string>

// The whole text value; false (text untouched) when it is missing or of another type.
bool reg_getstring(const char* section, const char* key, std::string& text);
// The value as a Qt string; non-zero when it was read (text untouched otherwise).
int reg_getstr(const char* section, const char* key, QString& text);
// Writes the string; non-zero when written.
int reg_putstr(const char* section, const char* key, const QString& text);
// A path or list of paths; false (path untouched) when it is missing or of another type. A value
// stored in the Windows form reads the same.
bool reg_getpath(const char* section, const char* key, std::string& path);
// Writes the path in the system's form; non-zero when written.
int reg_putpath(const char* section, const char* key, const char* path);
