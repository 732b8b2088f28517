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

} // namespace

void showmessage(unsigned long id, ...)
{
    char text[4096];
    va_list arguments;
    va_start(arguments, id);
    vsnprintf(text, sizeof text, getapplnmessage(id), arguments);
    va_end(arguments);
    if (isnotice(id))
        infbox(text);
    else
        errbox(text);
}
