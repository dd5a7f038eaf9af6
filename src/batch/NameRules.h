// What a new name must not be, whatever a \\?\ path would let a program create.
#pragma once

#include <string>
#include <string_view>

// The longest name one folder entry may have, in UTF-16 units.
constexpr size_t kMaxNameLength = 255;

// True for the names Windows keeps for devices (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9,
// with any extension, in any letter case): ordinary programs would open the device instead.
bool IsReservedDeviceName(std::wstring_view name);

// The upper-case form under which the file system compares names, for finding a name that
// another entry of the same folder holds in another spelling.
std::wstring FoldedName(std::wstring_view name);
