#pragma once

// Making a folder with the folders above it, and emptying a folder. Paths are Windows path texts
// (paths.h): '\' separates levels and "X:" begins a path with a drive.

extern "C" {

// Creates every missing level of path in turn ("C:\a", "C:\a\b", ...; a drive and leading
// separators belong to the first level; empty levels are passed over). 0 when the deepest level
// was created now, -1 when it existed already or could not be made; a path without levels
// ("", "\", "C:\") gives -1.
int mkpath(const char* path);
// Deletes what path holds: files, links (the link itself, never what it points to) and, with
// subfolders, every subfolder with its contents. Stops at the first entry that cannot be deleted.
// 0 when everything listed was deleted (also for a missing folder or an empty path); -1 when the
// walk stopped on a failure or, without subfolders, a subfolder was left. path itself stays.
int rmpath(const char* path, int subfolders);
}
