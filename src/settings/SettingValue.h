// What a stored setting's raw bytes read as, whatever type the registry gives them: no Win32, so
// that the readers build and are fuzzed on any system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A number: up to 4 bytes, little-endian, the missing high bytes zero. False for a longer value,
// which reads as the setting's default.
bool DwordSettingValue(std::string_view bytes, std::uint32_t& number);

// A text: the UTF-16 units of the bytes (an odd last byte left out) up to the first null, cut to
// capacity - 1 units. Empty when there are none; the setting's default then stands.
std::wstring StringSettingValue(std::string_view bytes, size_t capacity);
