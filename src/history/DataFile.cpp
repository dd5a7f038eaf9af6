// Whole-file reading and crash-safe replacement of the history's own files.
#include "DataFile.h"

#include "UniqueHandle.h"

#include <algorithm>

bool ReadRestOfFile(HANDLE file, std::string& bytes)
{
    char chunk[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        bytes.append(chunk, read);
    }
}

static bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes)
{
    if (path.empty())
        return false; // the temporary file would be a relative ".tmp" in whatever folder is current
    std::wstring temporary = path + kTemporarySuffix;
    bool written;
    {
        UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file)
            return false;
        written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    }
    if (written && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}
