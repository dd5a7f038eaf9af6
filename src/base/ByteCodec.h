// Little-endian fields in a byte string: 8-, 32- and 64-bit integers, counted UTF-16 texts and
// blobs, written by appending and read front to back, never past the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends fields to a buffer.
class ByteWriter {
public:
    explicit ByteWriter(std::string& out) : out_(out) {}
    void U8(std::uint8_t value) { out_.push_back(static_cast<char>(value)); }
    void U32(std::uint32_t value) { Put(value, 4); }
    void U64(std::uint64_t value) { Put(value, 8); }
    // A 32-bit count of UTF-16 units, then the units.
    void Text(std::wstring_view text);
    // A 32-bit count of bytes, then the bytes.
    void Blob(std::string_view bytes);
    void Raw(std::string_view bytes) { out_.append(bytes); }

private:
    void Put(std::uint64_t value, int size);
    std::string& out_;
};

// Reads fields front to back; every count is checked against what is left before anything is
// made from it, so damaged bytes never cause a read past the end or a large allocation.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return position_ == bytes_.size(); }
    size_t Left() const { return bytes_.size() - position_; }
    bool U8(std::uint8_t& value);
    bool U32(std::uint32_t& value);
    bool U64(std::uint64_t& value) { return Get(value, 8); }
    // False for a count above maxUnits or beyond the bytes left.
    bool Text(std::wstring& text, std::uint32_t maxUnits);
    bool Blob(std::string& bytes);
    bool Raw(std::string& bytes, size_t size);
    // The next size bytes, without copying them.
    bool View(std::string_view& bytes, size_t size);

private:
    bool Get(std::uint64_t& value, int size);
    std::string_view bytes_;
    size_t position_ = 0;
};
