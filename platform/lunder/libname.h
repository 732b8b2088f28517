#pragma once

// Names of library entries hold 1 to 63 characters.
constexpr int LIBNAMESIZE = 64;
