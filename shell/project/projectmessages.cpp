#include "shell/project/projectmessages.h"

#include <cstdarg>
#include <cstdio>

#include "framework/context/applncontext.h"
#include "platform/drelm/messageboxes.h"

namespace {

bool isnotice(unsigned long id)
{
    return id == MSG_DIRECTOPEN || id == MSG_EDITINGVARIANT;
}

std::string formatted(unsigned long id, va_list arguments)
{
    char text[4096];
    vsnprintf(text, sizeof text, getapplnmessage(id), arguments);
    return text;
}

} // namespace

void showmessage(unsigned long id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    const std::string text = formatted(id, arguments);
    va_end(arguments);
    if (isnotice(id))
        infbox(text.c_str());
    else
        errbox(text.c_str());
}

std::string formatmessage(unsigned long id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    std::string text = formatted(id, arguments);
    va_end(arguments);
    return text;
}
