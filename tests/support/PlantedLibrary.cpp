// A library that leaves a marker file when anything loads it: planted beside a test program under
// the name of a library the program uses, it shows whether the program's own folder was searched.
// The marker's path comes from the environment variable NOMARO_PLANTED_MARKER.
#include "UniqueHandle.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t marker[1024];
    DWORD length = GetEnvironmentVariableW(L"NOMARO_PLANTED_MARKER", marker, 1024);
    if (length > 0 && length < 1024)
        UniqueFile(CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return TRUE;
}

// One export of its own, so that the linker exports nothing else: a caller that looks for an entry
// point by ordinal finds none instead of some internal function.
extern "C" __declspec(dllexport) void PlantedLibrary() {}
