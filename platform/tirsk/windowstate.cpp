#include "platform/tirsk/windowstate.h"

#include "core/windows/process.h"

HWND getdialogwinhdl()
{
    return getmodelessdialog();
}

void leavecriticalsection()
{
}
