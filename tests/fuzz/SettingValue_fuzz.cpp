// A stored setting's raw bytes, on any bytes: a number from at most 4 of them, a text of the units
// before the first null cut to its field; a text stored as the writer stores it reads back.
//
// The input: the field's capacity (1 byte), then the value's bytes.
#include "FuzzInput.h"
#include "SettingValue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::string_view input = InputBytes(data, size);
    if (input.empty())
        return 0;
    size_t capacity = static_cast<unsigned char>(input[0]);
    std::string_view bytes = input.substr(1);

    std::uint32_t number = 0xFFFFFFFF;
    bool isNumber = DwordSettingValue(bytes, number);
    Check(isNumber == (bytes.size() <= 4), "up to 4 bytes make a number");
    Check(!isNumber || bytes.size() == 4 || number < (1ull << (8 * bytes.size())), "missing high bytes are zero");

    std::wstring text = StringSettingValue(bytes, capacity);
    Check(capacity == 0 || text.size() < capacity, "a text fits its field with its null");
    Check(text.find(L'\0') == std::wstring::npos, "a text ends at its first null");
    std::wstring units = Utf16Units(bytes);
    Check(units.compare(0, text.size(), text) == 0, "a text is the first units of the value");

    // The writer stores the units and a null.
    std::wstring stored = units.substr(0, units.find(L'\0'));
    std::wstring again = StringSettingValue(Utf16Bytes(stored) + std::string(2, '\0'), capacity);
    Check(again == text, "a text stored as the writer stores it reads back");
    return 0;
}
