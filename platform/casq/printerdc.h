#pragma once

// The printers of the process and the context that prints on one: a device context of the window
// layer whose device is the toolkit's printer, so that GetDeviceCaps and DeleteDC work on it as on
// any other context.
// Callers: the printing calls and the printer device (casq).

#include <QPainter>
#include <QPrinter>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/casq/printing.h"
#include "platform/win/devicecontext.h"

namespace casq {

struct PRINTERINFO {
    std::string name;
    std::string driver; // "CUPS", or "PDF" for the process's own printer
    std::string port; // "FILE:" for the PDF printer
    bool isdefault = false;
};

// Every printer: the system's queues, then "Print to PDF". The default is the system's default
// queue, else the PDF printer.
std::vector<PRINTERINFO> printers();
// The printer of that name (compared ignoring case); none when absent.
std::optional<PRINTERINFO> findprinter(const char* name);
// The printer's own settings.
DEVMODEA defaultsettings(const PRINTERINFO& printer);
// Applies the assigned fields of the settings to the printer.
void applysettings(QPrinter& printer, const DEVMODEA& settings);
// The printer's settings as the record, named after the printer.
DEVMODEA settingsof(const QPrinter& printer, const std::string& name);
// New blocks of the records (movable global memory); null when memory runs out.
HGLOBAL makedevnames(const PRINTERINFO& printer);
HGLOBAL makedevmode(const DEVMODEA& settings);
// The printer named by a DEVNAMES block; none for a damaged one.
std::optional<PRINTERINFO> printerofdevnames(HGLOBAL devnames);

class PRINTERDC : public win::DeviceContext {
public:
    PRINTERDC(const PRINTERINFO& printer, const DEVMODEA* settings, bool infoonly);
    ~PRINTERDC() override;
    static PRINTERDC* of(HDC dc); // null for any other context

    int devicecaps(int index) override;
    SIZE size() const override;

    int startdoc(const DOCINFOA& document);
    int enddoc();
    int abortdoc();
    int startpage();
    int endpage();
    // The painter of the job in progress; null outside StartDocA and EndDoc.
    QPainter* jobpainter();

    const PRINTERINFO info;
    QPrinter printer;

private:
    void discardfile();

    QPainter painter;
    bool infoonly;
    bool started = false;
    int pages = 0; // sheets started
    std::string target; // the file printed into, when named
    std::string temporary;
    std::FILE* stream = nullptr; // holds the temporary while the toolkit writes it
};

} // namespace casq
