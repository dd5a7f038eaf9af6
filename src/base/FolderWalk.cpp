// A pre-order walk of a folder tree in the file system's enumeration order.
#include "FolderWalk.h"

#include "FileIdentity.h"
#include "UniqueHandle.h"

#include <vector>

namespace {

struct Frame {
    std::wstring path;
    FileIdentity id;
    int depth = 0;
    UniqueFind find;
    WIN32_FIND_DATAW found{};
};

// An unknown identity matches no frame: trusting an index of 0 would leave out every subfolder
// of such a file system as if it were already on the walk path.
bool OnWalkPath(const std::vector<Frame>& stack, const FileIdentity& id)
{
    for (const Frame& frame : stack) {
        if (frame.id.SameAs(id))
            return true;
    }
    return false;
}

} // namespace

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
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
    stack.push_back(Frame{root, ReadFileIdentity(root), 0, {}, {}});
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

        FileIdentity id = ReadFileIdentity(entryPath);
        if (OnWalkPath(stack, id))
            continue;
        stack.push_back(Frame{std::move(entryPath), id, depth + 1, {}, {}});
        opened = false;
    }
}
