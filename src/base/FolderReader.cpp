// The entries of one folder, read straight from the open folder many at a time.
#include "FolderReader.h"

// Room for a folder of a hundred entries with long names in one call.
static constexpr size_t kBufferWords = 32 * 1024 / sizeof(std::uint64_t);

static HANDLE OpenFolder(const std::wstring& path)
{
    return CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

FolderReader::FolderReader(const std::wstring& folder)
{
    // "\\?\C:" names the volume itself; its root folder is "\\?\C:\".
    bool driveOnly = !folder.empty() && folder.back() == L':';
    folder_.reset(OpenFolder(driveOnly ? folder + L"\\" : folder));
    if (folder_)
        buffer_ = std::make_unique<std::uint64_t[]>(kBufferWords);
}

bool FolderReader::Fetch()
{
    entry_ = nullptr;
    if (!folder_ || !GetFileInformationByHandleEx(folder_.get(), FileFullDirectoryInfo, buffer_.get(),
                                                  static_cast<DWORD>(kBufferWords * sizeof(std::uint64_t)))) {
        // At the end (or on an error) the folder is done with: its handle goes at once, not when
        // the walk leaves the folder.
        folder_.reset();
        return false;
    }
    entry_ = reinterpret_cast<const FILE_FULL_DIR_INFO*>(buffer_.get());
    return true;
}

static bool IsDotName(std::wstring_view name)
{
    return name == L"." || name == L"..";
}

bool FolderReader::Next()
{
    do {
        if (entry_ && entry_->NextEntryOffset != 0)
            entry_ = reinterpret_cast<const FILE_FULL_DIR_INFO*>(reinterpret_cast<const std::uint8_t*>(entry_) +
                                                                 entry_->NextEntryOffset);
        else if (!Fetch())
            return false;
    } while (IsDotName(Name()));
    return true;
}

std::wstring_view FolderReader::Name() const
{
    return std::wstring_view(entry_->FileName, entry_->FileNameLength / sizeof(wchar_t));
}

DWORD FolderReader::Attributes() const
{
    return entry_->FileAttributes;
}

std::uint64_t FolderReader::Size() const
{
    return static_cast<std::uint64_t>(entry_->EndOfFile.QuadPart);
}

FILETIME FolderReader::LastWrite() const
{
    FILETIME time;
    time.dwLowDateTime = entry_->LastWriteTime.LowPart;
    time.dwHighDateTime = static_cast<DWORD>(entry_->LastWriteTime.HighPart);
    return time;
}
