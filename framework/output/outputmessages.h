#pragma once

// Message ids of printing and the exports in the framework library's message table.

constexpr unsigned long MSG_NOPRINTER = 61952;
constexpr unsigned long MSG_PRINTERSAVED = 61953;
constexpr unsigned long MSG_GENMETAFILE = 61954;
constexpr unsigned long MSG_GENEPS = 61955;
constexpr unsigned long MSG_GENDXF = 61956;
constexpr unsigned long MSG_GENVECTOR = 61957;
constexpr unsigned long MSG_GENBITMAP = 61958;
constexpr unsigned long MSG_NOPRINTERCONTEXT = 61959;
constexpr unsigned long MSG_STARTDOCFAILED = 61960;
constexpr unsigned long MSG_GENOUTPUT = 61961;
constexpr unsigned long MSG_PRINTING = 61962;
constexpr unsigned long MSG_ENDOFDOCUMENT = 61963;
constexpr unsigned long MSG_PRINTCOMPLETE = 61964;
constexpr unsigned long MSG_GENPDF = 61970;
constexpr unsigned long MSG_GENSVG = 61971;
constexpr unsigned long MSG_ENDDOCFAILED = 61965;
constexpr unsigned long MSG_TRANSPARENT = 61966;
constexpr unsigned long MSG_ASKCOLOUR = 61967;
constexpr unsigned long MSG_ASKPLOTTER = 61968;
