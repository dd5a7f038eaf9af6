// Makes, prepares and removes the scratch trees that tools/bench measures; prints no figures.
//   bench_tree make ROOT FILES                   upper-case tree: FOLDER n\PHOTO_m.JPG, 100 files a folder
//   bench_tree readonly ROOT                     marks every file of the tree read-only
//   bench_tree numbered ROOT RECORDED NEW STATE  RECORDED files Trip000000.jpg ... already numbered and
//                                                recorded in STATE\Nomaro.stdb and its index, then NEW new files
//   bench_tree renew ROOT RECORDED NEW STATE     undoes a resumed run: the NEW files get their old names
//                                                back and the history and index are written afresh
//   bench_tree remove ROOT
#include "BenchSupport.h"

#include "UniqueHandle.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kHistoryName[] = L"Nomaro.stdb";
constexpr wchar_t kIndexName[] = L"20120101000000.idx";

std::wstring RecordedName(int number)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"Trip%06d.jpg", number);
    return name;
}

std::wstring NewName(int number)
{
    return L"NEW_" + std::to_wstring(number) + L".JPG";
}

// Creates the folders of a tree of that many files, and the root's parents; false when one cannot be made.
bool MakeFolders(const std::wstring& root, int files)
{
    for (size_t slash = root.find(L'\\', 3); slash != std::wstring::npos; slash = root.find(L'\\', slash + 1))
        CreateDirectoryW(root.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW(root.c_str(), nullptr);
    int folders = TreeFolderCount(files);
    for (int folder = 0; folder < folders; ++folder) {
        if (folders > kEntriesPerFolder && folder % kEntriesPerFolder == 0) {
            std::wstring group = root + L"\\GROUP " + std::to_wstring(folder / kEntriesPerFolder);
            if (!CreateDirectoryW(group.c_str(), nullptr))
                return false;
        }
        if (!CreateDirectoryW(TreeFolder(root, folder, folders).c_str(), nullptr))
            return false;
    }
    return true;
}

// Makes files first to first + count - 1 of a tree of total files, named by nameOf.
template <typename NameOf>
bool MakeFiles(const std::wstring& root, int first, int count, int total, NameOf nameOf)
{
    int folders = TreeFolderCount(total);
    for (int file = first; file < first + count; ++file) {
        if (!MakeFile(TreeFolder(root, file / kEntriesPerFolder, folders) + L"\\" + nameOf(file)))
            return false;
    }
    return true;
}

void MarkReadOnly(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring child = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            MarkReadOnly(child);
        else
            SetFileAttributesW(child.c_str(), found.dwFileAttributes | FILE_ATTRIBUTE_READONLY);
    } while (FindNextFileW(find.get(), &found));
}

// The history names the tree with the recorded files in its index, as a finished run leaves them.
bool WriteNumberingMemory(const std::wstring& root, int recorded, int total, const std::wstring& state)
{
    CreateDirectoryW(state.c_str(), nullptr);
    DeleteFileW((state + L"\\" + kIndexName + L".bak").c_str());
    int folders = TreeFolderCount(total);
    std::string index;
    for (int file = 0; file < recorded; ++file) {
        std::wstring folder = TreeFolder(L".", file / kEntriesPerFolder, folders);
        PutRecordString(index, folder + L"\\" + RecordedName(file));
    }
    std::wstring indexPath = state + L"\\" + kIndexName;
    return WriteWholeFile(indexPath, index) &&
           WriteWholeFile(state + L"\\" + kHistoryName, HistoryBytes(root, static_cast<std::uint32_t>(recorded), indexPath));
}

// A resumed run numbered the new files Trip<recorded>.jpg onwards; they get their old names back.
bool RenewNewFiles(const std::wstring& root, int recorded, int fresh)
{
    int total = recorded + fresh;
    int folders = TreeFolderCount(total);
    for (int folder = recorded / kEntriesPerFolder; folder < folders; ++folder) {
        std::wstring path = TreeFolder(root, folder, folders);
        for (int file = std::max(recorded, folder * kEntriesPerFolder); file < std::min(total, (folder + 1) * kEntriesPerFolder);
             ++file) {
            std::wstring numbered = path + L"\\" + RecordedName(file);
            if (GetFileAttributesW(numbered.c_str()) != INVALID_FILE_ATTRIBUTES &&
                !MoveFileW(numbered.c_str(), (path + L"\\" + NewName(file)).c_str()))
                return false;
        }
    }
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: bench_tree make ROOT FILES | readonly ROOT | numbered ROOT RECORDED NEW STATE |"
                         " renew ROOT RECORDED NEW STATE | remove ROOT\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Usage();
    std::wstring command = argv[1];
    std::wstring root = argv[2];
    if (command == L"make" && argc == 4) {
        int files = _wtoi(argv[3]);
        RemoveTree(root);
        bool made = MakeFolders(root, files) && MakeFiles(root, 0, files, files, [](int n) {
                        return L"PHOTO_" + std::to_wstring(n) + L".JPG";
                    });
        return made ? 0 : 1;
    }
    if (command == L"readonly" && argc == 3) {
        MarkReadOnly(root);
        return 0;
    }
    if ((command == L"numbered" || command == L"renew") && argc == 6) {
        int recorded = _wtoi(argv[3]);
        int fresh = _wtoi(argv[4]);
        std::wstring state = argv[5];
        bool ready;
        if (command == L"numbered") {
            RemoveTree(root);
            ready = MakeFolders(root, recorded + fresh) && MakeFiles(root, 0, recorded, recorded + fresh, RecordedName) &&
                    MakeFiles(root, recorded, fresh, recorded + fresh, NewName);
        } else {
            ready = RenewNewFiles(root, recorded, fresh);
        }
        return ready && WriteNumberingMemory(root, recorded, recorded + fresh, state) ? 0 : 1;
    }
    if (command == L"remove" && argc == 3) {
        RemoveTree(root);
        return 0;
    }
    return Usage();
}
