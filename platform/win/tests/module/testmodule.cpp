// Exports for the module-loading tests: a function, and data whose address shows where the
// module is mapped.

extern "C" {

int testmodule_answer()
{
    return 42;
}

char testmodule_marker[] = "in the test module";
}
