#pragma once

// The module's two sets of libraries along the library folders, open for the module's life: the
// device libraries (indexed with their keywords) and the symbol libraries.

class MLIB;

MLIB& devicelibraries();
MLIB& symbollibraries();
