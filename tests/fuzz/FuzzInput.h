// What every fuzz target needs besides its reader: libFuzzer's entry, the input as UTF-16 text, and
// a check that ends the run as a crash does, so that libFuzzer keeps the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// What the target checks on one input.
void FuzzOne(std::string_view input);

// The input where libFuzzer put it, exactly its size: a read past its end is one past a buffer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzOne(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}

// UTF-16 units from little-endian byte pairs (an odd last byte left out), as the files hold text.
inline std::wstring Utf16Units(std::string_view bytes)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return text;
}

// A property of the reader that must hold for every input.
inline void Check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}
