#pragma once

#include "platform/win/hostlink.h"
#include "platform/win/handletypes.h"

#include <cstdio>

// The command-line simulation host: a window of the shared platform layer that receives the
// kernel's host messages and prints each as a line on `out`, and the loaded HELIXSIM module.
//
//   host text: <text>                  0x570, or WM_COPYDATA with the data word 0x570
//   host events: <n>                   0x571, then one line per event (a text found through the
//                                      tick's table of ids, wParam):
//     event sheet=<hex> id=<hex> element=<n> kind=<n> [value=<g>|text=<text>]
//   host popup: <wParam hex>           0x572 (answered with null)
//   host element: <wParam> <lParam>    0x573
//   host message: <wParam>             0x580 (answered with 0)

// Makes the host window; null when the window class cannot be registered.
HWND createhostwindow(FILE* out);
// The kernel's progress bars ("HELIXSIM : <bar>") go to stream as well, each over the one before
// (null: nowhere); endprogress clears the last one.
void showprogress(FILE* stream);
void endprogress();
