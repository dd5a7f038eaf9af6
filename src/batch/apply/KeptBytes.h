// Bytes outside the tree as they were before a run changed them (a memory file, a registry value),
// kept so that Undo can put them back.
#pragma once

#include <cstdint>
#include <string>

enum class KeptState : std::uint8_t {
    NotKept = 0, // not part of this run
    Absent = 1,  // did not exist before the run
    Present = 2, // bytes holds it as it was
};
struct KeptBytes {
    KeptState state = KeptState::NotKept;
    std::uint32_t type = 0; // the registry value's type
    std::string bytes;
};

