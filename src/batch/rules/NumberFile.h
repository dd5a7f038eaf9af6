// The names that sequential renaming gives files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The name text followed by the number in decimal, zero-padded to at least width digits.
std::wstring NumberedBaseName(const std::wstring& nameText, std::uint64_t number, std::int32_t width);

// What a collected file is renamed to: the base name and its extension lower-cased.
// A name without an extension keeps none, and gets no dot.
struct NumberedTarget {
    std::wstring newName;
    std::wstring extension; // lower-cased; empty when the name has none
};
NumberedTarget NumberedName(std::wstring_view name, const std::wstring& baseName);
