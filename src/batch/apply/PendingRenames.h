// Renames registered for the next restart (MOVEFILE_DELAY_UNTIL_REBOOT): finding this program's
// own in the system's list and cancelling them, every other program's left byte for byte.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// Where the system keeps the list: HKEY_LOCAL_MACHINE, this key, this REG_MULTI_SZ value.
extern const wchar_t kSessionManagerKey[];
extern const wchar_t kPendingRenamesValue[];

// The form the list holds a path in: "\??\C:\dir\name" for "\\?\C:\dir\name" ("\??\UNC\..." for
// "\\?\UNC\..."); empty for a path not in the \\?\ form, which a run never registers.
std::wstring PendingRenamePath(std::wstring_view exactPath);

// value: the bytes of the list, pairs of a source and a destination, each a UTF-16 string ending in
// a null ("!" before a destination that may replace a file, an empty destination for a delete), and
// an empty string at the end. Removes every pair whose source is exactly from and destination exactly
// to (any of them would still make the rename) and leaves every other byte as it was; returns how
// many it removed. Bytes that are not such a list (an odd length, a string without its null) are
// left whole and 0 is returned.
size_t RemovePendingRename(std::string& value, std::wstring_view from, std::wstring_view to);

// A rename a run may have registered, by the exact paths of its step.
struct PendingRename {
    enum class Found : std::uint8_t { Unknown, Registered, NotRegistered };
    std::wstring from;
    std::wstring to;
    Found found = Found::Unknown; // Unknown: the list could not be read
};

// Cancels the renames in the list of root\keyPath (HKEY_LOCAL_MACHINE and kSessionManagerKey for the
// system's own; tests pass a key of their own), writing it once, and tells for each whether it was
// there. ERROR_SUCCESS when each one registered was removed (or none was there); otherwise the error
// that kept the list from being changed, such as ERROR_ACCESS_DENIED for a user who is not an
// administrator: then every one registered stays, and the restart will still make it.
DWORD CancelPendingRenames(HKEY root, const std::wstring& keyPath, std::vector<PendingRename>& renames);
