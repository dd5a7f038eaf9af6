// Makes, prepares and removes the scratch trees that tools/bench measures; prints no figures.
//   bench_tree make ROOT FILES                   upper-case tree: FOLDER n\PHOTO_m.JPG, 100 files a folder
//   bench_tree readonly ROOT                     marks every file of the tree read-only
//   bench_tree numbered ROOT RECORDED NEW STATE  RECORDED files Trip000000.jpg ... already numbered and
//                                                recorded in STATE\Nomaro.stdb and its index, then NEW new files
//   bench_tree renew ROOT RECORDED NEW STATE     undoes a resumed run: the NEW files get their old names
//                                                back and the history and index are written afresh
//   bench_tree photos ROOT FILES                 JPEGs as a camera writes them: Exif with the date taken and
//                                                a 64 KiB thumbnail, then the image
//   bench_tree songs ROOT FILES                  MP3s with ID3v2.3 tags: artist, album, 300 KiB of cover art,
//                                                then title and track, then the audio
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

std::string Le(std::uint32_t value, int width)
{
    std::string out;
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string Be(std::uint32_t value, int width)
{
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// Exif (little-endian TIFF): IFD0 with the model and the Exif pointer, the Exif IFD with the date
// taken, IFD1 pointing at the thumbnail, which follows; then the frame header and some image data.
std::string PhotoBytes(int number)
{
    std::string model = "Canon EOS R6";
    model.push_back('\0');
    std::string taken = "2026:07:14 09:" + std::string(number % 60 < 10 ? "0" : "") + std::to_string(number % 60) + ":05";
    taken.push_back('\0');
    const std::uint32_t thumbnailSize = 64 * 1024 - 1024;
    // Offsets from the TIFF header: IFD0 at 8 (2 entries), Exif IFD at 38 (1 entry), IFD1 at 56
    // (2 entries), then the model, the date and the thumbnail.
    std::uint32_t modelAt = 86, takenAt = modelAt + static_cast<std::uint32_t>(model.size());
    std::uint32_t thumbnailAt = takenAt + static_cast<std::uint32_t>(taken.size());
    std::string tiff = "II" + Le(42, 2) + Le(8, 4);
    tiff += Le(2, 2) + Le(0x0110, 2) + Le(2, 2) + Le(static_cast<std::uint32_t>(model.size()), 4) + Le(modelAt, 4) +
            Le(0x8769, 2) + Le(4, 2) + Le(1, 4) + Le(38, 4) + Le(56, 4);
    tiff += Le(1, 2) + Le(0x9003, 2) + Le(2, 2) + Le(static_cast<std::uint32_t>(taken.size()), 4) + Le(takenAt, 4) + Le(0, 4);
    tiff += Le(2, 2) + Le(0x0201, 2) + Le(4, 2) + Le(1, 4) + Le(thumbnailAt, 4) + Le(0x0202, 2) + Le(4, 2) + Le(1, 4) +
            Le(thumbnailSize, 4) + Le(0, 4);
    tiff += model + taken;
    tiff += "\xFF\xD8" + std::string(thumbnailSize - 4, '\x55') + "\xFF\xD9";
    std::string app1 = "Exif" + std::string(2, '\0') + tiff;
    std::string sof = std::string("\x08", 1) + Be(3000, 2) + Be(4000, 2) + "\x03" + "\x01\x11\x00\x02\x11\x01\x03\x11\x01";
    return "\xFF\xD8\xFF\xE1" + Be(static_cast<std::uint32_t>(app1.size() + 2), 2) + app1 + "\xFF\xC0" +
           Be(static_cast<std::uint32_t>(sof.size() + 2), 2) + sof + "\xFF\xDA" + Be(12, 2) + std::string(10, '\0') +
           std::string(16 * 1024, '\x33') + "\xFF\xD9";
}

std::string SongBytes(int number)
{
    auto frame = [](const char* id, const std::string& body) {
        return std::string(id) + Be(static_cast<std::uint32_t>(body.size()), 4) + std::string(2, '\0') + body;
    };
    std::string picture = std::string(1, '\0') + "image/jpeg" + std::string(1, '\0') + "\x03" + std::string(1, '\0') +
                          std::string(300 * 1024, '\x44');
    std::string frames = frame("TPE1", std::string(1, '\0') + "Artist " + std::to_string(number % 50)) +
                         frame("TALB", std::string(1, '\0') + "Album " + std::to_string(number % 200)) +
                         frame("APIC", picture) + frame("TIT2", std::string(1, '\0') + "Song " + std::to_string(number)) +
                         frame("TRCK", std::string(1, '\0') + std::to_string(number % 12 + 1) + "/12");
    std::uint32_t size = static_cast<std::uint32_t>(frames.size());
    std::string syncsafe = {static_cast<char>((size >> 21) & 0x7F), static_cast<char>((size >> 14) & 0x7F),
                            static_cast<char>((size >> 7) & 0x7F), static_cast<char>(size & 0x7F)};
    return std::string("ID3\x03\0\0", 6) + syncsafe + frames + std::string("\xFF\xFB\x90\x00", 4) +
           std::string(32 * 1024, '\0');
}

template <typename BytesOf>
bool MakeMediaFiles(const std::wstring& root, int files, const wchar_t* extension, BytesOf bytesOf)
{
    int folders = TreeFolderCount(files);
    for (int file = 0; file < files; ++file) {
        std::wstring path = TreeFolder(root, file / kEntriesPerFolder, folders) + L"\\FILE_" + std::to_wstring(file) + extension;
        if (!WriteWholeFile(path, bytesOf(file)))
            return false;
    }
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: bench_tree make ROOT FILES | readonly ROOT | numbered ROOT RECORDED NEW STATE |"
                         " renew ROOT RECORDED NEW STATE | photos|songs ROOT FILES | remove ROOT\n");
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
    if ((command == L"photos" || command == L"songs") && argc == 4) {
        int files = _wtoi(argv[3]);
        RemoveTree(root);
        bool photos = command == L"photos";
        bool made = MakeFolders(root, files) && (photos ? MakeMediaFiles(root, files, L".JPG", PhotoBytes)
                                                        : MakeMediaFiles(root, files, L".MP3", SongBytes));
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
