// The open listing file with a write buffer, so that a long listing costs few write calls.
#include "ListingOutput.h"

namespace {
constexpr size_t BufferSize = 64 * 1024;
}

ListingOutput::ListingOutput(StagedFile& file) : file_(file)
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

DWORD ListingOutput::Flush()
{
    file_.Write(buffer_);
    buffer_.clear();
    return file_.error();
}
