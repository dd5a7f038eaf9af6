// A unique folder under the temp directory, removed with everything in it afterwards.
#include "TempFolder.h"

#include "ExtendedPath.h"
#include "UniqueHandle.h"

#include <algorithm>
#include <cstdlib>
#include <atomic>

static std::atomic<unsigned> folderCounter{0};

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    for (;;) {
        path_ = std::wstring(base) + L"nomaro-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(folderCounter++);
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(ExtendedLengthPath(path_));
}

std::wstring TempFolder::operator/(const std::wstring& relative) const
{
    return path_ + L"\\" + relative;
}

// Both take every name exactly as written (\\?\ paths), so tests can make names that end in a
// dot or a blank, device names and paths of any length.
void TempFolder::MakeFolder(const std::wstring& relative) const
{
    std::wstring root = ExtendedLengthPath(path_);
    std::wstring full = root + L"\\" + relative;
    for (size_t slash = root.size() + 1; (slash = full.find(L'\\', slash)) != std::wstring::npos; ++slash)
        CreateDirectoryW(full.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW(full.c_str(), nullptr);
}

void TempFolder::WriteFile(const std::wstring& relative, const std::string& bytes) const
{
    size_t slash = relative.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        MakeFolder(relative.substr(0, slash));
    WriteFileBytes(ExtendedLengthPath(path_) + L"\\" + relative, bytes);
}

std::string ReadFileBytes(const std::wstring& path)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && (bytes.empty() || ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> ListNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

static void CollectTree(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out)
{
    for (const std::wstring& name : ListNames(root + relative.substr(1))) {
        std::wstring child = relative + L"\\" + name;
        out.push_back(child);
        DWORD attributes = GetFileAttributesW((root + child.substr(1)).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            CollectTree(root, child, out);
    }
}

std::vector<std::wstring> ListTree(const std::wstring& root)
{
    std::vector<std::wstring> out;
    CollectTree(ExtendedLengthPath(root), L".", out);
    std::sort(out.begin(), out.end());
    return out;
}

void RemoveTree(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const std::wstring& name : ListNames(path))
            RemoveTree(path + L"\\" + name);
        RemoveDirectoryW(path.c_str());
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
}

std::string Narrow(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring FolderWithLinkBack(const TempFolder& scratch)
{
    scratch.MakeFolder(L"A");
    if (CreateSymbolicLinkW((scratch / L"A\\up").c_str(), scratch.path().c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        PathExists(scratch / L"A\\up"))
        return scratch.path();
    std::wstring prepared = PreparedFixture(L"loop");
    return PathExists(prepared + L"\\A\\up") ? prepared : std::wstring{};
}

std::wstring PreparedFixture(const std::wstring& name)
{
    const char* environment = std::getenv("NOMARO_TEST_ENV");
    if (!environment)
        return {};
    std::wstring prepared = L"Z:";
    for (const char* c = environment; *c; ++c)
        prepared += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return prepared + L"\\fixtures\\" + name;
}
