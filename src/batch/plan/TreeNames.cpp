// The names of a walked tree, each kept once, and the paths spelt out from them.
#include "TreeNames.h"

TreeNames::TreeNames()
{
    folders_.push_back(Folder{-1, names_.Add(std::wstring_view())});
}

std::int32_t TreeNames::AddFolder(std::int32_t parent, std::wstring_view name)
{
    folders_.push_back(Folder{parent, names_.Add(name)});
    return static_cast<std::int32_t>(folders_.size()) - 1;
}

size_t TreeNames::FolderPathLength(std::int32_t folder) const
{
    size_t length = 0;
    for (std::int32_t f = folder; f > 0; f = ParentOf(f))
        length += 1 + FolderName(f).size();
    return length;
}

void TreeNames::AppendFolderPath(std::int32_t folder, std::wstring& out) const
{
    // Spelt from the deepest folder up, into place: no string per level.
    size_t length = FolderPathLength(folder);
    size_t start = out.size();
    out.resize(start + length);
    size_t end = out.size();
    for (std::int32_t f = folder; f > 0; f = ParentOf(f)) {
        std::wstring_view name = FolderName(f);
        end -= name.size();
        out.replace(end, name.size(), name.data(), name.size());
        out[--end] = L'\\';
    }
}

void TreeNames::SpellDisplayPath(std::int32_t folder, std::wstring_view name, std::wstring& out) const
{
    out.assign(1, L'.');
    AppendFolderPath(folder, out);
    out.push_back(L'\\');
    out.append(name);
}
