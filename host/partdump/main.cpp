// partdump FILE [--records]: a results partition as CSV on standard output.
#include "host/commandline.h"
#include "host/partdump/dump.h"

int main(int argc, char** argv)
{
    static const char usage[]
        = "usage: partdump [-h] [--records] FILE\n"
          "Writes a results partition as CSV on standard output; --records shows run 1 as\n"
          "records. Exit status: 0 written, 1 the file is no results partition or cannot be\n"
          "read, 2 a usage error.\n"
          "example: partdump results.par --records\n";
    COMMANDLINE line;
    if (int code = readcommandline(argc, argv, "partdump", usage, { "--records" }, 1, 1, &line); code >= 0)
        return code;
    return dumppartition(line.files[0], line.has("--records"), stdout);
}
