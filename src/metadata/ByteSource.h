// How the readers reach a file's bytes: ranges read at offsets from a source that knows its size
// (a file opened by the Win32 adapter, or bytes in memory for the tests and the fuzzing), and a
// stream over a part of it that can skip what it does not need without reading it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to size bytes at offset into out and returns how many it copied (fewer when the
    // read fails). The readers never ask for bytes past Size().
    virtual size_t Read(std::uint64_t offset, char* out, size_t size) = 0;
};

// Bytes already in memory.
class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    size_t Read(std::uint64_t offset, char* out, size_t size) override;

private:
    std::string_view bytes_;
};

// Up to size bytes at offset, fewer where the source ends: the only way the readers read.
std::string ReadBytes(ByteSource& source, std::uint64_t offset, size_t size);
// Exactly size bytes at offset into out, or false.
bool ReadExact(ByteSource& source, std::uint64_t offset, size_t size, std::string& out);

// An unsigned integer of width bytes (at most 8) at pos of bytes; 0 when they do not hold it.
std::uint64_t UnsignedAt(std::string_view bytes, size_t pos, size_t width, bool bigEndian);
inline std::uint32_t Be32(std::string_view bytes, size_t pos)
{
    return static_cast<std::uint32_t>(UnsignedAt(bytes, pos, 4, true));
}
inline std::uint16_t Be16(std::string_view bytes, size_t pos)
{
    return static_cast<std::uint16_t>(UnsignedAt(bytes, pos, 2, true));
}
inline std::uint32_t Le32(std::string_view bytes, size_t pos)
{
    return static_cast<std::uint32_t>(UnsignedAt(bytes, pos, 4, false));
}

// Bytes read front to back from a part of a source, [begin, end): a FLAC block, an ID3v2 frame.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Copies up to size bytes into out and returns how many (fewer at the end).
    virtual size_t Read(char* out, size_t size) = 0;
    // Passes over count bytes; false when fewer were left.
    virtual bool Skip(std::uint64_t count) = 0;
};

// A stream over [begin, end) of a source, end cut to the source's size; skipping only moves.
class SourceStream : public ByteStream {
public:
    SourceStream(ByteSource& source, std::uint64_t begin, std::uint64_t end);
    size_t Read(char* out, size_t size) override;
    bool Skip(std::uint64_t count) override;
    ByteSource& Source() const { return source_; }
    std::uint64_t Position() const { return position_; }
    std::uint64_t Left() const { return end_ - position_; }

private:
    ByteSource& source_;
    std::uint64_t position_;
    std::uint64_t end_;
};

// Exactly size bytes of a stream into out, or false.
bool ReadExact(ByteStream& stream, size_t size, std::string& out);
