#pragma once

#include <string>

// Makes folder (a POSIX path; its parents too) when missing and answers whether it is a real
// folder of this user that no one else may enter: 0700, narrowed when it was wider. A link, a
// file or another user's folder is refused, so that nothing planted there is written through.
bool makeprivatefolder(const std::string& folder);
