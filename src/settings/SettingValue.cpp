// What a stored setting's raw bytes read as.
#include "SettingValue.h"

static constexpr size_t kDwordSize = 4;

bool DwordSettingValue(std::string_view bytes, std::uint32_t& number)
{
    if (bytes.size() > kDwordSize)
        return false;
    number = 0;
    for (size_t i = bytes.size(); i-- > 0;)
        number = (number << 8) | static_cast<unsigned char>(bytes[i]);
    return true;
}

std::wstring StringSettingValue(std::string_view bytes, size_t capacity)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == L'\0')
            break;
        text.push_back(unit);
    }
    if (capacity > 0 && text.size() > capacity - 1)
        text.resize(capacity - 1);
    return text;
}
