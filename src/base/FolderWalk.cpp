// A pre-order walk of a folder tree in the file system's enumeration order.
#include "FolderWalk.h"

#include "FileIdentity.h"
#include "FolderReader.h"

#include <cwchar>
#include <vector>

namespace {

struct Frame {
    std::wstring path;
    DWORD volume = 0;
    int depth = 0;
    // Read only once a link is met below the folder: reading it costs the volume's serial number,
    // which Wine asks its mount manager for, about a millisecond a folder.
    FileIdentity id;
    bool idRead = false;
    FolderReader entries;
};

// An unknown identity matches no frame: trusting an index of 0 would leave out every subfolder
// of such a file system as if it were already on the walk path.
bool OnWalkPath(std::vector<Frame>& stack, const FileIdentity& id)
{
    for (Frame& frame : stack) {
        if (!frame.idRead) {
            frame.id = ReadFileIdentity(frame.path);
            frame.idRead = true;
        }
        if (frame.id.SameAs(id))
            return true;
    }
    return false;
}

// Characters no Windows name holds: in a path they would split the name, name a stream or match
// like a wildcard.
bool FitsInAPath(std::wstring_view name)
{
    for (wchar_t unit : name) {
        if (unit < 0x20 || std::wcschr(L"\\/:*?\"<>|", unit))
            return false;
    }
    return true;
}

} // namespace

DWORD WalkAttributes(const std::wstring& folder, std::wstring_view name, DWORD listed, bool byPath)
{
    if (!byPath && FitsInAPath(name))
        return listed;
    return GetFileAttributesW(JoinPath(folder, name).c_str());
}

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
    FileIdentity rootId = ReadFileIdentity(root);
    stack.push_back(Frame{root, rootId.volume, 0, rootId, true, {}});
    bool opened = false; // whether the top frame's enumeration has begun
    std::wstring entryPath; // one buffer for every entry's path: most entries are not entered

    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (!opened) {
            opened = true;
            if (walk.onFolderVisit)
                walk.onFolderVisit(frame.path, frame.depth);
            frame.entries = FolderReader(frame.path);
        }
        bool gotEntry = frame.entries.Next();

        if (!gotEntry) {
            if (walk.onFolderDone)
                walk.onFolderDone(frame.path, frame.depth);
            stack.pop_back();
            continue;
        }
        std::wstring_view name = frame.entries.Name();
        entryPath.assign(frame.path).append(1, L'\\').append(name);
        DWORD attributes = walk.attributesByPath || !FitsInAPath(name) ? GetFileAttributesW(entryPath.c_str())
                                                                       : frame.entries.Attributes();
        int depth = frame.depth;
        DWORD volume = frame.volume;
        if (!walk.onEntry(WalkEntry{entryPath, name, attributes, frame.entries.Size(), frame.entries.LastWrite(), depth,
                                    volume}))
            continue;

        // Only a link (a junction, a mounted folder, a symbolic link) leads on to another volume
        // or back up the tree: a plain folder lies on its parent's volume, and folders have no
        // hard links.
        Frame next{entryPath, volume, depth + 1, {}, false, {}};
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            next.id = ReadFileIdentity(next.path);
            next.idRead = true;
            next.volume = next.id.volume;
            if (OnWalkPath(stack, next.id))
                continue;
        }
        stack.push_back(std::move(next));
        opened = false;
    }
}
