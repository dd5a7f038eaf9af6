// Ranges of a file's bytes, clipped to its size, and streams over a part of it.
#include "ByteSource.h"

#include <algorithm>
#include <cstring>

size_t MemoryByteSource::Read(std::uint64_t offset, char* out, size_t size)
{
    if (offset >= bytes_.size())
        return 0;
    size_t count = static_cast<size_t>(std::min<std::uint64_t>(size, bytes_.size() - offset));
    std::memcpy(out, bytes_.data() + offset, count);
    return count;
}

std::string ReadBytes(ByteSource& source, std::uint64_t offset, size_t size)
{
    std::uint64_t total = source.Size();
    if (offset >= total)
        return {};
    size_t count = static_cast<size_t>(std::min<std::uint64_t>(size, total - offset));
    std::string bytes(count, '\0');
    bytes.resize(source.Read(offset, bytes.data(), count));
    return bytes;
}

bool ReadExact(ByteSource& source, std::uint64_t offset, size_t size, std::string& out)
{
    out = ReadBytes(source, offset, size);
    return out.size() == size;
}

std::uint64_t UnsignedAt(std::string_view bytes, size_t pos, size_t width, bool bigEndian)
{
    if (width > 8 || pos > bytes.size() || bytes.size() - pos < width)
        return 0;
    std::uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        size_t at = bigEndian ? pos + i : pos + width - 1 - i;
        value = (value << 8) | static_cast<unsigned char>(bytes[at]);
    }
    return value;
}

SourceStream::SourceStream(ByteSource& source, std::uint64_t begin, std::uint64_t end)
    : source_(source), position_(begin), end_(std::max(begin, std::min(end, source.Size())))
{
}

size_t SourceStream::Read(char* out, size_t size)
{
    size_t count = static_cast<size_t>(std::min<std::uint64_t>(size, Left()));
    if (count == 0)
        return 0;
    size_t got = source_.Read(position_, out, count);
    position_ += got;
    return got;
}

bool SourceStream::Skip(std::uint64_t count)
{
    if (count > Left()) {
        position_ = end_;
        return false;
    }
    position_ += count;
    return true;
}

bool ReadExact(ByteStream& stream, size_t size, std::string& out)
{
    out.assign(size, '\0');
    size_t got = 0;
    while (got < size) {
        size_t now = stream.Read(out.data() + got, size - got);
        if (now == 0)
            break;
        got += now;
    }
    out.resize(got);
    return got == size;
}
