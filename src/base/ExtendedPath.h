// Paths that reach an entry by its exact name, whatever its length or spelling.
#pragma once

#include <string>
#include <string_view>

// The absolute \\?\ form of path (\\?\C:\... or \\?\UNC\server\share\...). Through it every
// file-system call takes each name exactly as written: names ending in a dot or a blank, device
// names such as CON or COM1, and paths of any length. A path that is already in this form is
// returned as it is; a relative one, or one with "." or ".." parts, is made absolute first.
std::wstring ExtendedLengthPath(const std::wstring& path);

// The \\?\ form of path when no look at the disk is needed: a path already in that form, or an
// absolute one with no forward slash and no empty, "." or ".." part. False when only the system
// can make it absolute.
bool PlainExtendedLengthPath(const std::wstring& path, std::wstring& extended);
// The prefix put before an absolute path (\\?\UNC\ for \\server\share), without the trailing
// backslashes but a drive root's own.
std::wstring WithExtendedPrefix(std::wstring absolute);

// The path as the user knows it: without the \\?\ or \\?\UNC\ prefix.
std::wstring DisplayPath(std::wstring_view path);

// True when path begins with the \\?\ prefix.
bool IsExtendedLengthPath(std::wstring_view path);
