#pragma once

// The name of an open stream, for the archives' error texts. Internal to the archives.

#include <cstdio>
#include <string>

// The path of the file that stream is open on, as the system knows it; "" when it cannot tell.
std::string zipstreamname(FILE* stream);
