// A file written whole or not at all: filled beside its target under a temporary name, made
// durable, and only then put in the target's place.
#pragma once

#include "UniqueHandle.h"

#include <string>
#include <string_view>

// The temporary file of a target X is X.tmp, or X.1.tmp, X.2.tmp and so on when that name is
// taken: a file of the user's that happens to have the name is never replaced.
constexpr wchar_t kTemporarySuffix[] = L".tmp";

class StagedFile {
public:
    // Makes the temporary file beside target; error() says why when it could not be made.
    explicit StagedFile(std::wstring target);
    // Removes the temporary file unless it was put in place.
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    HANDLE file() const { return file_.get(); }
    const std::wstring& target() const { return target_; }
    const std::wstring& temporaryPath() const { return temporary_; }
    // The system's error code of the first step that failed, ERROR_SUCCESS while none has.
    DWORD error() const { return error_; }
    bool failed() const { return error_ != ERROR_SUCCESS; }

    // Appends bytes; once a write has failed nothing more is written. False when failed().
    bool Write(std::string_view bytes);
    // Records a failure of the caller's own (a writer that stopped), unless one is recorded.
    void Fail(DWORD error);
    // Flushes and closes the temporary file: its bytes are on the disk. Returns error().
    DWORD Finish();
    // Puts the finished file in the target's place: an older target is replaced in one step and
    // keeps its attributes; with keepOlderAs, the older file stays under that name (which must be
    // free) so that it can be put back. A target that appeared meanwhile is never overwritten
    // when there was none. Returns error(); on failure the temporary file is removed.
    DWORD PutInPlace(const std::wstring& keepOlderAs = std::wstring());
    bool placed() const { return placed_; }

private:
    std::wstring target_;
    std::wstring temporary_;
    UniqueFile file_;
    DWORD error_ = ERROR_SUCCESS;
    bool placed_ = false;
};
