// The print mix-in's own part: the output file names.

#include "framework/output/applnprint.h"

#include <QString>
#include <cstring>
#include <strings.h>
#include <string>

#include "core/files/pathopen.h"
#include "core/text/strutil.h"
#include "framework/context/applncontext.h"

namespace {

// The name without its extension (the text from the last '.' after the last separator).
std::string withoutextension(const char* name)
{
    std::string text(name);
    size_t dot = text.rfind('.');
    size_t separator = text.find_last_of("/\\:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return text;
    return text.substr(0, dot);
}

} // namespace

void copyoutputname(char* buffer, const char* text)
{
    size_t length = utf8prefix(text, PATHBUFFER - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = 0;
}

APPLNPRINT::APPLNPRINT()
    : bkcolour(getapplncolour(0))
{
}

APPLNPRINT::~APPLNPRINT() = default;

void APPLNPRINT::op_generatesvg(OCS&, SSVGDVC*, char*) { }

char* APPLNPRINT::setoutputfilename(char* filename, const char* docname, const char* ext)
{
    std::string chosen = withoutextension(filename);
    std::string proposed = withoutextension(lastdocname);
    if (filename[0] && strcasecmp(chosen.c_str(), proposed.c_str()) != 0 && strcasecmp(ext, lastext) == 0) {
        copyoutputname(lastdocname, docname);
        return filename;
    }
    copyoutputname(filename, (withoutextension(docname) + "." + ext).c_str());
    copyoutputname(lastext, ext);
    copyoutputname(lastdocname, docname);
    return filename;
}

void APPLNPRINT::uniqueoutputname(char* out, const char* docname, const char* ext)
{
    QString base = QString::fromUtf8(withoutextension(docname));
    QString candidate = QString("%1.%3").arg(base, ext);
    for (int counter = 1; fileexists(candidate.toUtf8().constData()); ++counter)
        candidate = QString("%1(%2).%3").arg(base).arg(counter).arg(ext);
    copyoutputname(out, candidate.toUtf8().constData());
}
