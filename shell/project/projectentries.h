#pragma once

// The entries of a project file. The description and firmware entries are also published to the
// modules under the names they have always had (exports.list of the program), so they are arrays
// with C linkage, defined in vktproject.cpp.

extern "C" {
extern const char project_filename[]; // "PROJECT.XML"
extern const char firmware_filename[]; // "FIRMWARE.XML"
}

inline constexpr const char* databaseentry = "ROOT.CDB";
inline constexpr const char* designentry = "ROOT.DSN";
inline constexpr const char* panelentry = "PANEL.LYT";
inline constexpr const char* notesentry = "MERVALE.PN";
inline constexpr const char* scriptfolder = "SCRIPTS";
