// A pre-order walk of a folder tree in the file system's enumeration order.
#include "FolderWalk.h"

#include "UniqueHandle.h"

#include <vector>

namespace {

struct FolderId {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool known = false;

    bool SameAs(const FolderId& other) const
    {
        return known && other.known && volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
};

struct Frame {
    std::wstring path;
    FolderId id;
    int depth = 0;
    UniqueFind find;
    WIN32_FIND_DATAW found{};
};

FolderId ReadFolderId(const std::wstring& path)
{
    FolderId id;
    // Backup semantics lets CreateFileW open a directory; no access rights are needed.
    UniqueFile folder(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (folder && GetFileInformationByHandle(folder.get(), &information)) {
        id.volume = information.dwVolumeSerialNumber;
        id.indexHigh = information.nFileIndexHigh;
        id.indexLow = information.nFileIndexLow;
        // Some network file systems give every folder the index 0: that identifies nothing, and
        // trusting it would leave out every subfolder as if it were already on the walk path.
        id.known = information.nFileIndexHigh != 0 || information.nFileIndexLow != 0;
    }
    return id;
}

bool OnWalkPath(const std::vector<Frame>& stack, const FolderId& id)
{
    for (const Frame& frame : stack) {
        if (frame.id.SameAs(id))
            return true;
    }
    return false;
}

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name)
{
    std::wstring path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, L'\\').append(name);
    return path;
}

void RunFolderWalk(const std::wstring& root, const FolderWalk& walk)
{
    std::vector<Frame> stack;
    stack.push_back(Frame{root, ReadFolderId(root), 0, {}, {}});
    bool opened = false; // whether the top frame's enumeration has begun

    while (!stack.empty()) {
        Frame& frame = stack.back();
        bool gotEntry;
        if (!opened) {
            opened = true;
            if (walk.onFolderVisit)
                walk.onFolderVisit(frame.path, frame.depth);
            frame.find.reset(FindFirstFileW(JoinPath(frame.path, L"*.*").c_str(), &frame.found));
            gotEntry = frame.find.valid();
        } else {
            gotEntry = FindNextFileW(frame.find.get(), &frame.found) != FALSE;
        }

        if (!gotEntry) {
            if (walk.onFolderDone)
                walk.onFolderDone(frame.path, frame.depth);
            stack.pop_back();
            continue;
        }
        if (IsDotEntry(frame.found.cFileName))
            continue;

        std::wstring entryPath = JoinPath(frame.path, frame.found.cFileName);
        DWORD attributes = GetFileAttributesW(entryPath.c_str());
        int depth = frame.depth;
        if (!walk.onEntry(WalkEntry{entryPath, frame.found.cFileName, attributes, frame.found, depth, frame.id.volume}))
            continue;

        FolderId id = ReadFolderId(entryPath);
        if (OnWalkPath(stack, id))
            continue;
        stack.push_back(Frame{std::move(entryPath), id, depth + 1, {}, {}});
        opened = false;
    }
}
