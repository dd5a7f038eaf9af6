// The Favorites menu's custom order: deleted by a Favorites run, kept before and put back by Undo.
#include "FavoritesOrder.h"

#include "RegistryValue.h"
#include "UniqueHandle.h"

const wchar_t kFavoritesOrderKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Favorites";
const wchar_t kFavoritesOrderValue[] = L"Order";

bool ReadFavoritesOrder(HKEY root, KeptBytes& kept)
{
    kept = KeptBytes();
    kept.state = KeptState::Absent;
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(root, kFavoritesOrderKey, 0, KEY_QUERY_VALUE, &opened);
    if (status == ERROR_FILE_NOT_FOUND)
        return true;
    if (status != ERROR_SUCCESS)
        return false;
    UniqueKey key(opened);
    DWORD type = 0;
    std::string bytes;
    status = ReadRegistryValue(key.get(), kFavoritesOrderValue, type, bytes);
    if (status != ERROR_SUCCESS)
        return status == ERROR_FILE_NOT_FOUND;
    kept.state = KeptState::Present;
    kept.type = type;
    kept.bytes = std::move(bytes);
    return true;
}

bool RestoreFavoritesOrder(HKEY root, const KeptBytes& kept)
{
    if (kept.state != KeptState::Present)
        return true;
    HKEY created = nullptr;
    if (RegCreateKeyExW(root, kFavoritesOrderKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        return false;
    UniqueKey key(created);
    return RegSetValueExW(key.get(), kFavoritesOrderValue, 0, kept.type, reinterpret_cast<const BYTE*>(kept.bytes.data()),
                          static_cast<DWORD>(kept.bytes.size())) == ERROR_SUCCESS;
}

void DeleteFavoritesOrder(HKEY root)
{
    HKEY created = nullptr;
    if (RegCreateKeyExW(root, kFavoritesOrderKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        return;
    UniqueKey key(created);
    RegDeleteValueW(key.get(), kFavoritesOrderValue);
}
