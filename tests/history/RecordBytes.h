// Builds the bytes of history and index files by hand, field by field, for the tests to compare.
#pragma once

#include <cstdint>
#include <string>

inline std::string Int32Bytes(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}

// Length in units, then the UTF-16LE units.
inline std::string StringBytes(const std::wstring& text)
{
    std::string bytes = Int32Bytes(static_cast<std::uint32_t>(text.size()));
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

inline std::string HistoryRecordBytes(std::uint32_t count, const std::wstring& folder, const std::wstring& index)
{
    return Int32Bytes(count) + StringBytes(folder) + StringBytes(index);
}
