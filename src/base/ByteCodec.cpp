// Little-endian fields in a byte string, written by appending and read front to back.
#include "ByteCodec.h"

void ByteWriter::Put(std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void ByteWriter::Text(std::wstring_view text)
{
    U32(static_cast<std::uint32_t>(text.size()));
    for (wchar_t unit : text) {
        out_.push_back(static_cast<char>(unit & 0xFF));
        out_.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
}

void ByteWriter::Blob(std::string_view bytes)
{
    U32(static_cast<std::uint32_t>(bytes.size()));
    out_.append(bytes);
}

bool ByteReader::Get(std::uint64_t& value, int size)
{
    if (Left() < static_cast<size_t>(size))
        return false;
    value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes_[position_ + static_cast<size_t>(i)]);
    position_ += static_cast<size_t>(size);
    return true;
}

bool ByteReader::U8(std::uint8_t& value)
{
    std::uint64_t wide = 0;
    if (!Get(wide, 1))
        return false;
    value = static_cast<std::uint8_t>(wide);
    return true;
}

bool ByteReader::U32(std::uint32_t& value)
{
    std::uint64_t wide = 0;
    if (!Get(wide, 4))
        return false;
    value = static_cast<std::uint32_t>(wide);
    return true;
}

bool ByteReader::Text(std::wstring& text, std::uint32_t maxUnits)
{
    std::uint32_t units = 0;
    if (!U32(units) || units > maxUnits || Left() / 2 < units)
        return false;
    text.resize(units);
    for (std::uint32_t i = 0; i < units; ++i) {
        auto low = static_cast<unsigned char>(bytes_[position_]);
        auto high = static_cast<unsigned char>(bytes_[position_ + 1]);
        text[i] = static_cast<wchar_t>(low | (high << 8));
        position_ += 2;
    }
    return true;
}

bool ByteReader::Blob(std::string& bytes)
{
    std::uint32_t size = 0;
    return U32(size) && Raw(bytes, size);
}

bool ByteReader::Raw(std::string& bytes, size_t size)
{
    std::string_view view;
    if (!View(view, size))
        return false;
    bytes.assign(view);
    return true;
}

bool ByteReader::View(std::string_view& bytes, size_t size)
{
    if (Left() < size)
        return false;
    bytes = bytes_.substr(position_, size);
    position_ += size;
    return true;
}
