// Project clips live in clip files of their own, whose import and export come with the clip
// commands; until then the project reports every clip operation as not done.

#include "shell/project/vktproject.h"

int VKTPROJECT::getsnippetthumb(const char* file, QImage& image)
{
    return 0;
}

int VKTPROJECT::importsnippet(const char* file, IDOCSERVER* server, SHEET* sheet)
{
    return 0;
}

int VKTPROJECT::exportsnippet(const char* file, IDOCSERVER* server, SHEET* sheet)
{
    return 0;
}

int VKTPROJECT::deletesnippet(SNIPPET* clip)
{
    return 0;
}
