// Keeps the process's current directory out of the folders a run renames.
#include "CurrentDirectoryAside.h"

#include "Win32Text.h"

#include <windows.h>

CurrentDirectoryAside::CurrentDirectoryAside() : saved_(GetCurrentDirectoryString())
{
    std::wstring system(MAX_PATH, L'\0');
    UINT length = GetSystemDirectoryW(system.data(), static_cast<UINT>(system.size()));
    if (length == 0 || length >= system.size())
        return;
    system.resize(length);
    SetCurrentDirectoryW(system.c_str());
}

CurrentDirectoryAside::~CurrentDirectoryAside()
{
    // A folder renamed only in letter case is found again under its old spelling; one the run
    // renamed otherwise is gone, and the system folder stays current.
    if (!saved_.empty())
        SetCurrentDirectoryW(saved_.c_str());
}
