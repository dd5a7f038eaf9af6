// The Favorites menu's custom order: deleted by a Favorites run, kept before and put back by Undo.
#include "FavoritesOrder.h"

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
    // The value may grow between the two calls; ask again until it fits.
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        status = RegQueryValueExW(key.get(), kFavoritesOrderValue, nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return true;
        if (status != ERROR_SUCCESS)
            return false;
        std::string bytes(size, '\0');
        status = RegQueryValueExW(key.get(), kFavoritesOrderValue, nullptr, &type,
                                  reinterpret_cast<BYTE*>(bytes.data()), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            return status == ERROR_FILE_NOT_FOUND;
        bytes.resize(size);
        kept.state = KeptState::Present;
        kept.type = type;
        kept.bytes = std::move(bytes);
        return true;
    }
    return false;
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
