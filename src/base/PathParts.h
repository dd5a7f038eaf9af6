// The folder part and the last component of a backslash-separated path, without touching the disk.
#pragma once

#include <string_view>

// The text before the last backslash: "C:\Photos" for "C:\Photos\a.jpg"; empty when there is none.
std::wstring_view FolderPart(std::wstring_view path);

// The text up to and with the last backslash: "C:\Photos\" for "C:\Photos\a.jpg"; empty when there is none.
std::wstring_view FolderPrefix(std::wstring_view path);

// The text after the last backslash: "a.jpg" for "C:\Photos\a.jpg"; the whole path when there is none.
std::wstring_view LastComponent(std::wstring_view path);
