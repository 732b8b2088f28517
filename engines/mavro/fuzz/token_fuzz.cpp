// Reads any text with the tokenizer and the number reader in turn, as the deck code does: neither
// may read past the line's NUL (the sanitizer sees the exact-size buffer) or stop moving forward.
#include "engines/mavro/mavro.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks gobble for each of the two readers; the rest is the line.
    const int gobbletoken = data[0] & 1;
    const int gobblenumber = (data[0] >> 1) & 1;
    std::vector<char> line(data + 1, data + size);
    line.push_back('\0');
    char* cursor = line.data();
    char* const end = line.data() + std::strlen(line.data());
    for (;;) {
        int error = 0;
        char* before = cursor;
        INPevaluate(&cursor, &error, gobblenumber);
        if (cursor < before || cursor > end || (error != 0 && cursor != before))
            std::abort();
        char* token = nullptr;
        before = cursor;
        int result = INPgetTok(&cursor, &token, gobbletoken);
        if (!token || cursor < before || cursor > end)
            std::abort();
        INPfree(token);
        if (result != 0)
            break;
        if (cursor == before)
            std::abort();
    }
    return 0;
}
