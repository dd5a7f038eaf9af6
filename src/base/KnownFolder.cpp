// Where Windows keeps one of its known folders for the user.
#include "KnownFolder.h"

#include "UniqueHandle.h"

std::wstring KnownFolderPath(REFKNOWNFOLDERID folder)
{
    PWSTR path = nullptr;
    HRESULT found = SHGetKnownFolderPath(folder, KF_FLAG_CREATE, nullptr, &path);
    // Freed whatever the answer: the call may hand out a buffer even when it fails.
    ScopeExit free([path] { CoTaskMemFree(path); });
    return SUCCEEDED(found) && path ? std::wstring(path) : std::wstring();
}
