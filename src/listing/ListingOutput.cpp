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

ListingOutput::~ListingOutput()
{
    Flush();
}

void ListingOutput::Write(std::string_view bytes)
{
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
    while (done < buffer_.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(buffer_.size() - done, std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!WriteFile(file_.get(), buffer_.data() + done, chunk, &written, nullptr) || written == 0)
            break;
        done += written;
    }
    buffer_.clear();
}
