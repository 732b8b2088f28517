#include "framework/documents/applndocument.h"

#include "core/files/paths.h"
#include "core/text/ascii.h"
#include "core/text/strutil.h"
#include "framework/context/applncontext.h"
#include "framework/documents/applnproject.h"

APPLNDOCUMENT::APPLNDOCUMENT() = default;

APPLNDOCUMENT::~APPLNDOCUMENT() = default;

void APPLNDOCUMENT::setdocname(const char* name)
{
    strnzcpy(docname, name, sizeof docname - 1);
}

void APPLNDOCUMENT::setdefaultfont(const char* font)
{
    strnzcpy(fontname, font, sizeof fontname - 1);
}

void APPLNDOCUMENT::setdirty(int flag)
{
    dirty = flag;
    if (flag && project)
        project->setdirty(this, 1);
}

void APPLNDOCUMENT::updatelock(int flag)
{
    locked = flag || (!isuntitled() && isreadonly());
}

const char* APPLNDOCUMENT::getproperty(const char* name)
{
    return project ? project->getproperty(name) : nullptr;
}

const char* APPLNDOCUMENT::filename()
{
    return project ? project->filename() : ::filename(docname);
}

const char* APPLNDOCUMENT::pathname()
{
    return project ? project->pathname() : docname;
}

int APPLNDOCUMENT::isuntitled()
{
    return project ? project->isuntitled() : 0;
}

int APPLNDOCUMENT::isreadonly()
{
    return project ? project->isreadonly() : 0;
}

int APPLNDOCUMENT::isdoctype(const char* extension) const
{
    const char* dot = dotext(docname);
    return extension && *dot == '.' && asciicasecmp(dot + 1, extension) == 0;
}

APPLNPROJECT* getapplnproject()
{
    APPLNDOCUMENT* document = getapplndocument();
    return document ? document->getproject() : nullptr;
}
