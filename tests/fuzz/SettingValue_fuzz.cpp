// A stored setting's raw bytes, on any bytes: a number from at most 4 of them, little-endian; a
// text of the units before the first null, cut to fit its field with a null.
//
// The input: the field's capacity (1 byte), then the value's bytes.
#include "ByteCodec.h"
#include "FuzzInput.h"
#include "SettingValue.h"

void FuzzOne(std::string_view input)
{
    if (input.empty())
        return;
    size_t capacity = static_cast<unsigned char>(input[0]);
    std::string_view bytes = input.substr(1);

    std::uint32_t number = 0xFFFFFFFF;
    bool isNumber = DwordSettingValue(bytes, number);
    std::string fourBytes(bytes.substr(0, 4));
    fourBytes.resize(4, '\0');
    std::uint32_t expected = 0;
    ByteReader(fourBytes).U32(expected);
    Check(isNumber == (bytes.size() <= 4) && (!isNumber || number == expected),
          "up to 4 bytes make a number, the missing high bytes zero");

    std::wstring units = Utf16Units(bytes);
    std::wstring text = units.substr(0, units.find(L'\0'));
    if (capacity > 0 && text.size() >= capacity)
        text.resize(capacity - 1);
    Check(StringSettingValue(bytes, capacity) == text, "a text is the units before the first null, cut to its field");
}
