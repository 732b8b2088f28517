#include "core/files/pathopen.h"
#include "core/files/ramfile.h"
#include "simulator/kernel/spicedeck/deckread.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

// The input is read as SPICE text into a deck twice over, as model files and scripts are. Included
// files are looked for in an empty temporary folder only: inputs that name a path are passed over.
// Run: build-fuzz/bin/deckread_fuzzer on a copy of simulator/kernel/spicedeck/fuzz/deckread_corpus.

namespace {

// The argument with a relative path in it made absolute against the starting folder: the program
// (when named by a path), the corpus folders and files, and the values of the flags that name files.
std::string absoluteargument(const std::string& argument, const std::string& start, bool program)
{
    auto absolute
        = [&](const std::string& path) { return path.empty() || path[0] == '/' ? path : start + "/" + path; };
    if (program)
        return argument.find('/') == std::string::npos ? argument : absolute(argument);
    if (argument.empty() || argument[0] != '-')
        return absolute(argument);
    for (const char* flag : { "-artifact_prefix=", "-exact_artifact_path=", "-dict=", "-merge_control_file=",
             "-features_dir=" }) {
        if (argument.rfind(flag, 0) == 0)
            return flag + absolute(argument.substr(strlen(flag)));
    }
    return argument;
}

} // namespace

// The harness works in a folder of its own; the fuzzer reads and writes corpus and crash files by
// the paths it was given, so they are made absolute first, and crash files go to the starting
// folder as they would without the move.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    char start[PATH_MAX];
    if (!getcwd(start, sizeof start))
        abort();
    static std::vector<std::string> arguments;
    static std::vector<char*> pointers;
    bool prefixed = false;
    for (int i = 0; i < *argc; ++i) {
        arguments.push_back(absoluteargument((*argv)[i], start, i == 0));
        prefixed |= arguments.back().rfind("-artifact_prefix=", 0) == 0;
    }
    if (!prefixed)
        arguments.push_back("-artifact_prefix=" + std::string(start) + "/");
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(arguments.size());
    *argv = pointers.data();

    attachstdout(open("/dev/null", O_WRONLY));
    attachstderr(open("/dev/null", O_WRONLY));
    char folder[] = "/tmp/deckread-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0)
        abort();
    setenv("MODELS", folder, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (memchr(data, '/', size) || memchr(data, '\\', size))
        return 0;

    SPICEDECK deck;
    for (int pass = 0; pass < 2; ++pass) {
        RAMFILE source(const_cast<uint8_t*>(data), static_cast<int>(size));
        readdeck(&deck, source, nullptr);
    }
    const SPICECARD* last = nullptr;
    for (const SPICECARD* card = deck.head; card; card = card->next)
        last = card;
    if (last != deck.last)
        abort();
    return 0;
}
