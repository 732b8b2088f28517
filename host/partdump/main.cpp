#include "host/partdump/dump.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    bool records = argc == 3 && std::strcmp(argv[2], "--records") == 0;
    if (argc != 2 && !records) {
        std::fprintf(stderr, "usage: partdump FILE [--records]\n"
                             "Writes a results partition as CSV; --records shows run 1 as records.\n");
        return 2;
    }
    return dumppartition(argv[1], records, stdout);
}
