#pragma once

// The error state of a zip archive object: the number of its error text in the archive's table of
// the program's resources ("UNZIPARCHIVE_ERRORS" or "ZIPARCHIVE_ERRORS", printf texts whose
// arguments are the archive's name, the file's name, the library's return value and errno), and the
// text made from it. The first error sticks until clear(), so that a failure early in a save is
// the one reported. Internal to the archives.

#include <string>

class ZIPERROR {
public:
    explicit ZIPERROR(const char* table)
        : table(table)
    {
    }

    // Records an error unless one stands: the table's text of code with the names and numbers,
    // followed on a line of its own by detail, or without detail by the library's description of
    // ret and sys. Without the table in the program's resources the detail alone is the text.
    void set(int code, const std::string& archive, const std::string& file, int ret, int sys,
        const std::string& detail = {});
    void clear();

    int code() const { return number; } // 0 when none
    const char* text() const { return message.c_str(); } // "" when none

private:
    const char* table;
    int number = 0;
    std::string message;
};

// The library's description of its error code ret with errno sys.
std::string ziplibrarytext(int ret, int sys);
