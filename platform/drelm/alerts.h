#pragma once

// Alerts of the dialog library: message boxes that wait for the user. A run that nobody watches
// turns them off; each box then goes to standard error and is answered as if acknowledged.

// Non-zero turns alerts off, zero turns them back on (restoring the box the program had);
// returns the previous setting.
int disablealerts(int flag);
// Non-zero while alerts are off.
int alertsdisabled();
