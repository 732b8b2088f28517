#pragma once

// printdlghlr, the one handler of every output form (the print form "OP_PRINT" and the export
// forms). Its six arguments follow the form's own list: the addresses of the current printer's
// DEVNAMES and DEVMODE handles (null for exports), the print mix-in (null for exports: no
// preview), the output settings, the file filter ("Name/*.ext/..."), and the module's callback
// (may be null), which sees every event the handler does not take and may answer DLG_HANDLED.
// Callers: the print set-up and the exports (framework/output).

#include "platform/drelm/formcallback.h"

DLGCODES printdlghlr(FORM& form, unsigned message, unsigned wparam, long lparam);
