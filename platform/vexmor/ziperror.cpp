#include "platform/vexmor/ziperror.h"

#include <zip.h>

#include <cstdio>

#include "core/windows/stringtable.h"
#include "platform/win/modules.h"
#include "platform/win/pathboundary.h"

std::string ziplibrarytext(int ret, int sys)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_error_set(&error, ret, sys);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

void ZIPERROR::set(int code, const std::string& archive, const std::string& file, int ret, int sys,
    const std::string& detail)
{
    if (number)
        return;
    number = code;
    STRINGTABLE texts;
    texts.load(table, GetModuleHandleA(nullptr));
    const char* format = texts.string(static_cast<unsigned long>(code));
    char head[1024] = "";
    if (*format)
        std::snprintf(head, sizeof head, format, toposixpath(archive.c_str()).c_str(), file.c_str(), ret, sys);
    const std::string description = detail.empty() ? ziplibrarytext(ret, sys) : detail;
    message = *head ? std::string(head) + "\n" + description : description;
}

void ZIPERROR::clear()
{
    number = 0;
    message.clear();
}
