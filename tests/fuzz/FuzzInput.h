// What every fuzz target needs besides its reader: the input as bytes or as UTF-16 text, and a
// check that ends the run as a crash does, so that libFuzzer keeps the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// The input where libFuzzer put it, exactly its size: a read past its end is one past a buffer.
inline std::string_view InputBytes(const std::uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
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

inline std::string Utf16Bytes(std::wstring_view text)
{
    std::string bytes;
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

// A property of the reader that must hold for every input.
inline void Check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}
