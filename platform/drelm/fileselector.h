#pragma once

// File selectors: the toolkit's file dialog asking for files to open, a file to save or a folder.
// Paths go in and come out in the program's Windows form ("\home\me\a.vktprj"). Extensions are
// compared without regard to case: a name saved with the default extension in another case
// ("A.VKTPRJ" for "vktprj") is written with the caller's, a name without it gets it added.
// Callers: the key translator's import and export, the main program's project commands, the output
// forms and export set-ups (framework), and every module.

#include <string>
#include <vector>

#include "platform/win/handletypes.h"

class FILESELECTOR {
public:
    // filter: filefilter.h; defext: the extension without its point (null: none); initial: the
    // folder to start in, or a file name to start with (null: the dialog's choice).
    FILESELECTOR(
        const char* title, const char* filter, const char* defext = nullptr, const char* initial = nullptr);

    void settitle(const char* text);
    void setfilter(const char* text);
    void setdefext(const char* extension);
    void setinitial(const char* path);
    // Non-zero lets open choose several files.
    void setmultiselect(int on);

    // Asks; 1 when the user chose, 0 when cancelled (the paths then stay as they were).
    int open(HWND owner);
    int save(HWND owner);
    int folder(HWND owner);

    // The paths chosen: getpath(0) the first; "" past the last.
    int count() const { return static_cast<int>(paths.size()); }
    const char* getpath(int index = 0) const;
    // The filter that was chosen (0 the first).
    int getfilterindex() const { return filterindex; }

private:
    int ask(HWND owner, int mode);

    std::string title;
    std::string filter;
    std::string defext;
    std::string initial;
    bool multiselect = false;
    std::vector<std::string> paths;
    int filterindex = 0;
};

// The name with the default extension: kept when it has it (its case made the caller's), added
// when it has none; a name with another extension is kept as it is.
std::string withdefaultextension(const std::string& name, const std::string& defext);
