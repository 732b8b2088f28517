#pragma once

// The program's translator of user-visible texts: it asks Qt's installed translators and, while
// collecting, records every text that had none, to write them at the end of the run into a
// strings file of Qt translation macros:
//
//   //Strings For translation
//   QT_TRANSLATE_NOOP3("context", "text", "comment") //Updated on: date, Version: version
//
// Contexts, texts and comments are kept escaped as they appear in the file (backslash, tab, line
// feed, carriage return and double quote written as \\, \t, \n, \r and \").

#include <map>
#include <string>
#include <utility>

#include "core/windows/stringtable.h"
#include "platform/win/handletypes.h"

class STRINGTRANSLATOR : public ITRANSLATE {
public:
    // A heap copy (released with free) of the translation of text in context, in the local 8-bit
    // encoding; null for a null text or when Qt has none (the text is then recorded while
    // collecting).
    char* translate(const char* text, const char* context) override;
    char* translate(const char* text, const char* context, const char* comment) override;
    // Translates the texts of a menu and of its submenus in place.
    void translatemenu(HMENU menu, const char* context);
    // The degree sign in the local 8-bit encoding.
    const char* degreesign() const;

    // Takes path as the strings file and version as the version of new records, switches
    // collecting on and records the entries of the file as they stand. A missing file is no
    // error, lines that are no entry are skipped. Always 1.
    int update(const char* path, const char* version);
    // Whether anything is recorded (the strings file is then due).
    bool hascollected() const { return !recorded.empty(); }
    // Writes every record to the strings file, replacing it whole; false (the old file left as it
    // was) when it cannot be written.
    bool write() const;

    // The escaped form of a text, as records keep it.
    static std::string escape(const char* text);

    struct RECORD {
        std::string version;
        std::string date;
        std::string comment;
        bool operator==(const RECORD&) const = default;
    };
    // The records by escaped context and text.
    const std::map<std::pair<std::string, std::string>, RECORD>& records() const { return recorded; }

private:
    int collecting = 0;
    std::string stringsfile;
    std::string version;
    std::map<std::pair<std::string, std::string>, RECORD> recorded;
};
