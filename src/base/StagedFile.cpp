// A file written whole or not at all: filled beside its target under a temporary name, made
// durable, and only then put in the target's place.
#include "StagedFile.h"

#include <algorithm>

// Far more temporary files than one target ever has; it only bounds the search for a free name.
static constexpr int kMaxTemporaryNumber = 9999;

static std::wstring TemporaryName(const std::wstring& target, int number)
{
    return number == 0 ? target + kTemporarySuffix : target + L"." + std::to_wstring(number) + kTemporarySuffix;
}

StagedFile::StagedFile(std::wstring target) : target_(std::move(target))
{
    // A relative ".tmp" would land in whatever folder is current.
    if (target_.empty()) {
        error_ = ERROR_INVALID_NAME;
        return;
    }
    for (int number = 0; number <= kMaxTemporaryNumber; ++number) {
        temporary_ = TemporaryName(target_, number);
        // CREATE_NEW rather than a test first: no moment in which another file could take the name.
        file_.reset(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        if (file_)
            return;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            error_ = error;
            break;
        }
        error_ = error;
    }
    temporary_.clear();
}

StagedFile::~StagedFile()
{
    file_.reset();
    if (!placed_ && !temporary_.empty())
        DeleteFileW(temporary_.c_str());
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)), file_(std::move(other.file_)),
      error_(other.error_), placed_(other.placed_)
{
    other.temporary_.clear();
}

bool StagedFile::Write(std::string_view bytes)
{
    while (!failed() && !bytes.empty()) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file_.get(), bytes.data(), piece, &written, nullptr))
            error_ = GetLastError();
        else if (written == 0)
            error_ = ERROR_WRITE_FAULT; // a file that takes nothing would keep this loop going for ever
        bytes.remove_prefix(written);
    }
    return !failed();
}

void StagedFile::Fail(DWORD error)
{
    if (!failed())
        error_ = error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error;
}

DWORD StagedFile::Finish()
{
    if (!failed() && !FlushFileBuffers(file_.get()))
        error_ = GetLastError();
    // The close can be where the system reports that the bytes never reached the disk.
    if (file_ && !CloseHandle(file_.release()) && !failed())
        error_ = GetLastError();
    return error_;
}

DWORD StagedFile::PutInPlace(const std::wstring& keepOlderAs)
{
    if (file_)
        Finish();
    if (failed() || placed_)
        return error_;
    // ReplaceFileW keeps the older file's attributes, its creation time and its security.
    DWORD flags = REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS;
    if (ReplaceFileW(target_.c_str(), temporary_.c_str(), keepOlderAs.empty() ? nullptr : keepOlderAs.c_str(), flags,
                     nullptr, nullptr)) {
        placed_ = true;
        return error_;
    }
    DWORD error = GetLastError();
    // The older file went to keepOlderAs, the new one stayed where it was: the older one goes back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && !keepOlderAs.empty())
        MoveFileExW(keepOlderAs.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH);
    if (error == ERROR_FILE_NOT_FOUND) {
        // No older file: a plain move, without MOVEFILE_REPLACE_EXISTING.
        if (MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH)) {
            placed_ = true;
            return error_;
        }
        error = GetLastError();
    }
    error_ = error;
    DeleteFileW(temporary_.c_str());
    return error_;
}
