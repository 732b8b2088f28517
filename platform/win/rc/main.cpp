// The resource compiler: turns a readable resource source into a C++ source that embeds the
// resources in the module that links it.
//   vkt_rc SOURCE -o OUTPUT.cpp [--depfile OUTPUT.d]

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/win/rc/emit.h"
#include "platform/win/rc/source.h"

namespace {

// Written beside and renamed, so that an interrupted build never leaves half a source behind.
bool writefile(const std::string& path, const std::string& text)
{
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << text;
        if (!out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

int usage()
{
    std::cerr << "usage: vkt_rc SOURCE -o OUTPUT.cpp [--depfile OUTPUT.d]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source, output, depfile;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc)
            output = argv[++i];
        else if (arg == "--depfile" && i + 1 < argc)
            depfile = argv[++i];
        else if (source.empty() && arg[0] != '-')
            source = arg;
        else
            return usage();
    }
    if (source.empty() || output.empty())
        return usage();
    try {
        rc::Compiled compiled = rc::compilesource(source);
        if (!writefile(output, rc::emitcpp(compiled, source))
            || (!depfile.empty() && !writefile(depfile, rc::emitdepfile(compiled, output)))) {
            std::cerr << "vkt_rc: cannot write " << output << "\n";
            return 1;
        }
    } catch (const rc::CompileError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
