// Reading one registry value whole, whatever its size.
#include "RegistryValue.h"

LSTATUS ReadRegistryValue(HKEY key, const wchar_t* name, DWORD& type, std::string& bytes)
{
    bytes.clear();
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return status;
        bytes.resize(size);
        status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        bytes.resize(status == ERROR_SUCCESS ? size : 0);
        return status;
    }
    bytes.clear();
    return ERROR_MORE_DATA;
}
