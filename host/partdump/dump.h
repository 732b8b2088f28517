#pragma once

#include <cstdio>

// Writes a partition file as CSV sections separated by blank lines: the header (name,value
// rows), the channels, the runs, then every sample of every run (run,channel,time,value; digital
// values as hexadecimal state words, complex ones as real,imaginary). With records, run 1 is
// written as its records (name,text) in place of samples. 0 on success; 1 when the file cannot
// be read, the reason then reported on standard error.
int dumppartition(const char* path, bool records, FILE* out);
