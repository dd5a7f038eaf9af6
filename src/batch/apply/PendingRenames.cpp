// Renames registered for the next restart: finding this program's own in the system's list and
// cancelling them, every other program's left byte for byte.
#include "PendingRenames.h"

#include "ExtendedPath.h"
#include "RegistryValue.h"
#include "UniqueHandle.h"

const wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingRenamesValue[] = L"PendingFileRenameOperations";

std::wstring PendingRenamePath(std::wstring_view exactPath)
{
    // MoveFileExW stores the NT form of the path, whose prefix for the same names is \??\.
    if (!IsExtendedLengthPath(exactPath))
        return std::wstring();
    return L"\\??\\" + std::wstring(exactPath.substr(4));
}

namespace {

// The list as UTF-16 units, read in place.
class UnitList {
public:
    explicit UnitList(const std::string& bytes) : bytes_(bytes) {}
    size_t size() const { return bytes_.size() / 2; }
    wchar_t operator[](size_t i) const
    {
        return static_cast<wchar_t>(static_cast<unsigned char>(bytes_[2 * i]) |
                                    (static_cast<unsigned char>(bytes_[2 * i + 1]) << 8));
    }
    // The position of the null that ends the string at start, or size() when there is none.
    size_t EndOf(size_t start) const
    {
        while (start < size() && (*this)[start] != L'\0')
            ++start;
        return start;
    }
    bool Equals(size_t start, size_t end, std::wstring_view text) const
    {
        if (end - start != text.size())
            return false;
        for (size_t i = 0; i < text.size(); ++i) {
            if ((*this)[start + i] != text[i])
                return false;
        }
        return true;
    }

private:
    const std::string& bytes_;
};

bool HoldsOnlyNulls(const std::string& bytes)
{
    return bytes.find_first_not_of('\0') == std::string::npos;
}

} // namespace

size_t RemovePendingRename(std::string& value, std::wstring_view from, std::wstring_view to)
{
    if (value.size() % 2 != 0 || from.empty())
        return 0;
    UnitList units(value);
    std::vector<std::pair<size_t, size_t>> ours; // [first unit, past the destination's null)
    for (size_t at = 0; at < units.size();) {
        size_t sourceEnd = units.EndOf(at);
        if (sourceEnd == at)
            break; // the empty string that ends the list
        size_t destinationEnd = sourceEnd < units.size() ? units.EndOf(sourceEnd + 1) : units.size();
        if (destinationEnd >= units.size())
            return 0; // a string without its null: not a list to change
        if (units.Equals(at, sourceEnd, from) && units.Equals(sourceEnd + 1, destinationEnd, to))
            ours.emplace_back(at, destinationEnd + 1);
        at = destinationEnd + 1;
    }
    for (auto pair = ours.rbegin(); pair != ours.rend(); ++pair)
        value.erase(2 * pair->first, 2 * (pair->second - pair->first));
    return ours.size();
}

DWORD CancelPendingRenames(HKEY root, const std::wstring& keyPath, std::vector<PendingRename>& renames)
{
    HKEY opened = nullptr;
    LSTATUS writable = RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &opened);
    // Without the right to change the list it can still be read, to tell which renames stay.
    LSTATUS status = writable == ERROR_SUCCESS ? writable : RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, &opened);
    UniqueKey key(opened);
    DWORD type = REG_NONE;
    std::string value;
    if (status == ERROR_SUCCESS)
        status = ReadRegistryValue(key.get(), kPendingRenamesValue, type, value);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && type != REG_MULTI_SZ)) {
        // No list, or one the system would not read either: nothing waits for the restart.
        for (PendingRename& rename : renames)
            rename.found = PendingRename::Found::NotRegistered;
        return ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS)
        return static_cast<DWORD>(status);

    bool changed = false;
    for (PendingRename& rename : renames) {
        std::wstring from = PendingRenamePath(rename.from);
        std::wstring to = PendingRenamePath(rename.to);
        bool registered = !from.empty() && !to.empty() && RemovePendingRename(value, from, to) > 0;
        rename.found = registered ? PendingRename::Found::Registered : PendingRename::Found::NotRegistered;
        changed = changed || registered;
    }
    if (!changed)
        return ERROR_SUCCESS;
    if (writable != ERROR_SUCCESS)
        return static_cast<DWORD>(writable);
    // A list left with no pair is removed, as the system removes it once it has made the renames.
    status = HoldsOnlyNulls(value)
                 ? RegDeleteValueW(key.get(), kPendingRenamesValue)
                 : RegSetValueExW(key.get(), kPendingRenamesValue, 0, REG_MULTI_SZ,
                                  reinterpret_cast<const BYTE*>(value.data()), static_cast<DWORD>(value.size()));
    return static_cast<DWORD>(status);
}
