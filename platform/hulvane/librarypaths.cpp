#include "platform/hulvane/librarypaths.h"

#include <cstring>
#include <string>

#include "core/files/pathopen.h"

char library_paths[LIBRARYPATHSIZE];
char template_paths[LIBRARYPATHSIZE];
char module_paths[LIBRARYPATHSIZE];
int library_locale = 1;

int findpropdefs(char* path)
{
    // Only along the library folders: a PROPDEFS.INI in whatever folder the program started from
    // is not the libraries' own.
    for (const char* folder = library_paths; *folder;) {
        size_t length = std::strcspn(folder, ";");
        std::string name(folder, length);
        folder += length + (folder[length] == ';');
        if (name.empty() || name.size() >= PATHBUFFER)
            continue;
        if (*addfilename(path, name.c_str(), "PROPDEFS.INI") && fileexists(path))
            return 1;
    }
    path[0] = '\0';
    return 0;
}
