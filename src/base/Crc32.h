// CRC-32 (IEEE 802.3: reflected polynomial 0xEDB88320, as zip and PNG use it) of a byte string.
#pragma once

#include <cstdint>
#include <string_view>

// Crc32("123456789") is 0xCBF43926; Crc32 of nothing is 0.
std::uint32_t Crc32(std::string_view bytes);
