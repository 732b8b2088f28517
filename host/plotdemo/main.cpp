// plotdemo FOLDER: draws the demonstration page into every kind of output file of the graphics
// devices (plotdemo.pdf, .svg, .eps, .dxf, .plt, .bmp, .png, .emf) in the folder, and prints it
// into plotdemo.print.pdf through the printer device.

#include <QApplication>
#include <cstdio>
#include <string>

#include "host/commandline.h"
#include "host/plotdemo/demopage.h"
#include "platform/casq/outputfile.h"

namespace {

const char* const usage = "usage: plotdemo FOLDER\n"
                          "Draws the demonstration page of the graphics devices into every kind of output\n"
                          "file, as FOLDER/plotdemo.pdf, .svg, .eps, .dxf, .plt, .bmp, .png and .emf, and\n"
                          "prints it through the printer device into FOLDER/plotdemo.print.pdf.\n"
                          "example: plotdemo build/artifacts\n";

int report(char* text)
{
    std::fprintf(stderr, "plotdemo: %s\n", text);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    COMMANDLINE line;
    int done = readcommandline(argc, argv, "plotdemo", usage, {}, 1, 1, &line);
    if (done >= 0) {
        return done;
    }
    // Text needs the toolkit's fonts, and so an application, even without a display.
    QApplication application(argc, argv);
    fdi_seterrorhandler(report);
    int failed = 0;
    for (const plotdemo::KIND& kind : plotdemo::kinds()) {
        std::string file = std::string(line.files[0]) + "/plotdemo." + kind.extension;
        int code = plotdemo::writekind(kind.extension, file);
        std::printf(
            "%-28s %s%s\n", kind.description.c_str(), file.c_str(), code == FDI_OK ? "" : " (failed)");
        failed += code != FDI_OK;
    }
    return failed ? 1 : 0;
}
