// What the benchmark programs share.
#include "BenchSupport.h"

#include "UniqueHandle.h"

#include <psapi.h>

#include <cstdio>
#include <cwchar>

std::wstring TreeFolder(const std::wstring& root, int folder, int folderCount)
{
    std::wstring path = root;
    if (folderCount > kEntriesPerFolder)
        path += L"\\GROUP " + std::to_wstring(folder / kEntriesPerFolder);
    return path + L"\\FOLDER " + std::to_wstring(folder);
}

int TreeFolderCount(int files)
{
    return (files + kEntriesPerFolder - 1) / kEntriesPerFolder;
}

int TreeFolderEntries(int files)
{
    int folders = TreeFolderCount(files);
    int groups = folders > kEntriesPerFolder ? (folders + kEntriesPerFolder - 1) / kEntriesPerFolder : 0;
    return folders + groups;
}

bool MakeFile(const std::wstring& path)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::string bytes;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return bytes;
    char chunk[64 * 1024];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
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
                if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                    SetFileAttributesW(child.c_str(), found.dwFileAttributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child); // scratch trees are a few levels deep: recursion is fine here
                else
                    DeleteFileW(child.c_str());
            } while (FindNextFileW(find.get(), &found));
        }
    }
    RemoveDirectoryW(path.c_str());
}

std::wstring LongPath(const std::wstring& path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    return L"\\\\?\\" + path;
}

Stopwatch::Stopwatch()
{
    QueryPerformanceCounter(&start_);
}

double Stopwatch::Seconds() const
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double PeakMegabytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return -1;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

double PeakMegabytes()
{
    return PeakMegabytes(GetCurrentProcess());
}

void PrintResult(double seconds, double peakMegabytes, double journalSeconds, long long entries)
{
    std::printf("result seconds=%.4f peak_mib=%.1f journal_seconds=%.4f entries=%lld\n", seconds, peakMegabytes,
                journalSeconds, entries);
    std::fflush(stdout);
}

void PutRecordInt(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutRecordString(std::string& out, const std::wstring& text)
{
    PutRecordInt(out, static_cast<std::uint32_t>(text.size()));
    for (wchar_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
}

std::vector<std::wstring> ReadRecordStrings(const std::string& bytes)
{
    std::vector<std::wstring> strings;
    size_t at = 0;
    auto byte = [&](size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])); };
    while (bytes.size() - at >= 4) {
        std::uint32_t units = byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24;
        at += 4;
        if ((bytes.size() - at) / 2 < units)
            break;
        std::wstring text(units, L'\0');
        for (std::uint32_t i = 0; i < units; ++i, at += 2)
            text[i] = static_cast<wchar_t>(byte(at) | byte(at + 1) << 8);
        strings.push_back(std::move(text));
    }
    return strings;
}

std::string HistoryBytes(const std::wstring& folder, std::uint32_t count, const std::wstring& indexFile)
{
    std::string out;
    PutRecordInt(out, count);
    PutRecordString(out, folder);
    PutRecordString(out, indexFile);
    return out;
}

std::wstring OptionValue(int argc, wchar_t** argv, const wchar_t* name, const std::wstring& fallback)
{
    std::wstring prefix = L"--" + std::wstring(name) + L"=";
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], prefix.c_str(), prefix.size()) == 0)
            return argv[i] + prefix.size();
    }
    return fallback;
}
