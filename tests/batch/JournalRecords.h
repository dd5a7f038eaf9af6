// Where each record of a journal of the second format begins, for the tests that cut or damage one.
#pragma once

#include "JournalBytes.h"

#include <cstring>

// After the magic and the version, each record is its length, its payload and its CRC-32.
inline std::vector<size_t> RecordOffsets(const std::string& bytes)
{
    std::vector<size_t> offsets;
    for (size_t at = kJournalMagicSize + 4; at + 8 <= bytes.size();) {
        offsets.push_back(at);
        std::uint32_t length = 0;
        memcpy(&length, bytes.data() + at, 4);
        at += 8 + length;
    }
    return offsets;
}

