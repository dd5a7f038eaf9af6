#include "BenchSupport.h"

#include "UniqueHandle.h"

#include <psapi.h>

bool MakeFile(const std::wstring& path)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    {
        UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &found));
        if (find) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring child = path + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child); // scratch trees are a few levels deep: recursion is fine here
                else
                    DeleteFileW(child.c_str());
            } while (FindNextFileW(find.get(), &found));
        }
    }
    RemoveDirectoryW(path.c_str());
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

int MakeCaseTree(const std::wstring& root, int entries)
{
    constexpr int kEntriesPerFolder = 100;
    CreateDirectoryW(root.c_str(), nullptr);
    int made = 0;
    std::wstring groupPath;
    for (int folder = 0; made < entries; ++folder) {
        if (folder % kEntriesPerFolder == 0) {
            groupPath = root + L"\\GROUP " + std::to_wstring(folder / kEntriesPerFolder);
            if (!CreateDirectoryW(groupPath.c_str(), nullptr))
                return made;
            if (++made == entries)
                return made;
        }
        std::wstring folderPath = groupPath + L"\\FOLDER " + std::to_wstring(folder);
        if (!CreateDirectoryW(folderPath.c_str(), nullptr))
            return made;
        ++made;
        for (int file = 1; file < kEntriesPerFolder && made < entries; ++file, ++made) {
            if (!MakeFile(folderPath + L"\\PHOTO_" + std::to_wstring(file) + L".JPG"))
                return made;
        }
    }
    return made;
}
