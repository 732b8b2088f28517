#pragma once

// What the archives need of the files around them: the name of an open stream for their error
// texts, and DOS dates and times of file times in the system's zone. Internal to the archives.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

// The path of the file that stream is open on, as the system knows it; "" when it cannot tell.
std::string zipstreamname(FILE* stream);

// The DOS date (high 16 bits) and time (low 16 bits) of a time in seconds since 1970, in local
// time with the seconds rounded down to even; 0 for a time that DOS cannot hold.
uint32_t dosdatetime(time_t time);
