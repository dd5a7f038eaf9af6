// The open listing file with a write buffer, so that a long listing costs few write calls.
#include "ListingOutput.h"

#include <algorithm>
#include <limits>

namespace {
constexpr size_t BufferSize = 64 * 1024;
}

ListingOutput::ListingOutput(UniqueFile file) : file_(std::move(file))
{
    buffer_.reserve(BufferSize);
}

void ListingOutput::Write(std::string_view bytes)
{
    if (Failed())
        return;
    if (buffer_.size() + bytes.size() > BufferSize)
        Flush();
    buffer_.append(bytes);
    // A single piece larger than the buffer (a very long line) goes out at once.
    if (buffer_.size() >= BufferSize)
        Flush();
}

void ListingOutput::Flush()
{
    size_t done = 0;
    while (!Failed() && done < buffer_.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(buffer_.size() - done, std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!WriteFile(file_.get(), buffer_.data() + done, chunk, &written, nullptr))
            error_ = GetLastError();
        else if (written == 0)
            error_ = ERROR_WRITE_FAULT; // a file that takes nothing would keep this loop going for ever
        done += written;
    }
    buffer_.clear();
}

DWORD ListingOutput::Close()
{
    Flush();
    // The close can be where the system reports that the bytes never reached the disk.
    if (file_ && !CloseHandle(file_.release()) && !Failed())
        error_ = GetLastError();
    return error_;
}
