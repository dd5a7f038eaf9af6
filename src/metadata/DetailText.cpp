// Texts and numbers as tags hold them, made UTF-16 and checked.
#include "DetailText.h"

#include <algorithm>

static constexpr wchar_t kReplacement = 0xFFFD;

static bool Full(const std::wstring& text)
{
    return text.size() >= kMaxDetailTextUnits;
}

static void PutCodePoint(std::wstring& text, std::uint32_t point)
{
    if (point >= 0x10000) {
        if (text.size() + 2 > kMaxDetailTextUnits) {
            text.resize(kMaxDetailTextUnits);
            return;
        }
        point -= 0x10000;
        text.push_back(static_cast<wchar_t>(0xD800 + (point >> 10)));
        text.push_back(static_cast<wchar_t>(0xDC00 + (point & 0x3FF)));
    } else {
        text.push_back(static_cast<wchar_t>(point));
    }
}

// UTF-8 made UTF-16; clean tells whether every sequence was good.
static std::wstring DecodeUtf8(std::string_view bytes, bool& clean)
{
    clean = true;
    std::wstring text;
    size_t i = 0;
    while (i < bytes.size() && !Full(text)) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            text.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        size_t extra = 0;
        std::uint32_t point = 0;
        std::uint32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            point = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            point = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            point = lead & 0x07;
            least = 0x10000;
        } else {
            clean = false;
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t taken = 1;
        bool good = true;
        for (; taken <= extra; ++taken) {
            if (i + taken >= bytes.size() || (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) != 0x80) {
                good = false;
                break;
            }
            point = (point << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
        }
        if (!good || point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            // The lead and the continuation bytes read so far make one replacement.
            clean = false;
            text.push_back(kReplacement);
            i += taken;
            continue;
        }
        PutCodePoint(text, point);
        i += taken;
    }
    return text;
}

std::wstring TextFromUtf8(std::string_view bytes)
{
    bool clean = true;
    return DecodeUtf8(bytes, clean);
}

std::wstring TextFromLatin1(std::string_view bytes)
{
    // Code page 1252's 0x80-0x9F; the five it leaves undefined stay as they are, as Windows maps them.
    static constexpr wchar_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::wstring text;
    for (size_t i = 0; i < bytes.size() && !Full(text); ++i) {
        auto byte = static_cast<unsigned char>(bytes[i]);
        text.push_back(byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : static_cast<wchar_t>(byte));
    }
    return text;
}

std::wstring TextFromUtf8OrLatin1(std::string_view bytes)
{
    bool clean = true;
    std::wstring text = DecodeUtf8(bytes, clean);
    return clean ? text : TextFromLatin1(bytes);
}

std::wstring TextFromUtf16(std::string_view bytes, bool bigEndian)
{
    std::wstring text;
    size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t k) {
        auto first = static_cast<unsigned char>(bytes[2 * k]);
        auto second = static_cast<unsigned char>(bytes[2 * k + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    for (size_t k = 0; k < units && !Full(text); ++k) {
        std::uint32_t unit = unitAt(k);
        if (unit >= 0xD800 && unit <= 0xDBFF && k + 1 < units) {
            std::uint32_t low = unitAt(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                PutCodePoint(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        text.push_back(unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : static_cast<wchar_t>(unit));
    }
    return text;
}

static bool IsBlank(wchar_t unit)
{
    return unit == L' ' || unit == L'\t' || unit == L'\r' || unit == L'\n';
}

std::wstring TrimmedText(std::wstring text)
{
    size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.resize(nul);
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    return text.substr(begin, end - begin);
}

std::uint32_t LeadingNumber(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::uint64_t value = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, ++digits) {
        value = value * 10 + static_cast<std::uint64_t>(text[i] - L'0');
        if (value > 0xFFFFFFFFu)
            return 0;
    }
    return digits == 0 ? 0 : static_cast<std::uint32_t>(value);
}

std::uint32_t LeadingYear(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (text.size() - i < 4)
        return 0;
    std::uint32_t year = 0;
    for (size_t k = i; k < i + 4; ++k) {
        if (text[k] < L'0' || text[k] > L'9')
            return 0;
        year = year * 10 + static_cast<std::uint32_t>(text[k] - L'0');
    }
    if (i + 4 < text.size() && text[i + 4] >= L'0' && text[i + 4] <= L'9')
        return 0;
    return year;
}

// The value of count digits at pos, or -1.
static int DigitsAt(std::string_view text, size_t pos, size_t count)
{
    if (pos > text.size() || text.size() - pos < count)
        return -1;
    int value = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// A two-digit field at pos, where a blank may stand for a leading zero (" 9"); -1 when none.
static int FieldAt(std::string_view text, size_t pos)
{
    if (pos < text.size() && text[pos] == ' ')
        return DigitsAt(text, pos + 1, 1);
    return DigitsAt(text, pos, 2);
}

static bool IsDigit(char unit)
{
    return unit >= '0' && unit <= '9';
}

// Whether a character other than a digit, one that separates fields, lies at pos.
static bool SeparatorAt(std::string_view text, size_t pos)
{
    return pos < text.size() && !IsDigit(text[pos]);
}

// Whether only blanks and colons lie in [begin, end): a time the camera did not know, which EXIF
// leaves blank.
static bool BlankBetween(std::string_view text, size_t begin, size_t end)
{
    for (size_t i = begin; i < end; ++i)
        if (text[i] != ' ' && text[i] != ':')
            return false;
    return true;
}

static bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

static int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The milliseconds of the digits at pos: "5" is half a second, "123456" 123 ms; -1 when none.
static int FractionAt(std::string_view text, size_t pos)
{
    if (pos >= text.size() || !IsDigit(text[pos]))
        return -1;
    int fraction = 0;
    for (int scale = 100; scale > 0 && pos < text.size() && IsDigit(text[pos]); scale /= 10, ++pos)
        fraction += (text[pos] - '0') * scale;
    return fraction;
}

// "YYYY:MM:DD HH:MM:SS", without the NUL that ends it.
static constexpr size_t kExifTimeSize = 19;

DetailTime ExifTime(std::string_view date, std::string_view subSeconds)
{
    DetailTime time;
    // A text cut short is damage, not a time left out.
    if (date.size() < kExifTimeSize)
        return time;
    int year = DigitsAt(date, 0, 4);
    int month = SeparatorAt(date, 4) ? FieldAt(date, 5) : -1;
    int day = SeparatorAt(date, 7) ? FieldAt(date, 8) : -1;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return time;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int fraction = -1;
    if (BlankBetween(date, 10, kExifTimeSize)) {
        fraction = 0; // no fraction of a second not known
    } else {
        hour = SeparatorAt(date, 10) ? FieldAt(date, 11) : -1;
        minute = SeparatorAt(date, 13) ? FieldAt(date, 14) : -1;
        second = SeparatorAt(date, 16) ? FieldAt(date, 17) : -1;
        if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
            return time;
        if (date.size() > kExifTimeSize + 1 && date[kExifTimeSize] == '.')
            fraction = FractionAt(date, kExifTimeSize + 1);
    }
    time.year = static_cast<std::uint16_t>(year);
    time.month = static_cast<std::uint8_t>(month);
    time.day = static_cast<std::uint8_t>(day);
    time.hour = static_cast<std::uint8_t>(hour);
    time.minute = static_cast<std::uint8_t>(minute);
    time.second = static_cast<std::uint8_t>(second);
    if (fraction < 0)
        fraction = FractionAt(subSeconds, 0);
    time.millisecond = static_cast<std::uint16_t>(std::max(fraction, 0));
    return time;
}

DetailTime TimeFrom1904(std::uint64_t seconds)
{
    DetailTime time;
    // Up to the year 9999: beyond that a header is damaged, not from the future.
    constexpr std::uint64_t kSecondsTo10000 = 255485606400ull;
    if (seconds == 0 || seconds >= kSecondsTo10000)
        return time;
    std::uint64_t days = seconds / 86400;
    std::uint64_t rest = seconds % 86400;
    // Days from 1904-01-01 to civil date (Howard Hinnant's days_from_civil, inverted), shifted to
    // count from 0000-03-01.
    std::int64_t z = static_cast<std::int64_t>(days) + 695361; // 1904-01-01 from 0000-03-01
    std::int64_t era = z / 146097;
    std::int64_t dayOfEra = z - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t mp = (5 * dayOfYear + 2) / 153;
    std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    time.year = static_cast<std::uint16_t>(year);
    time.month = static_cast<std::uint8_t>(month);
    time.day = static_cast<std::uint8_t>(day);
    time.hour = static_cast<std::uint8_t>(rest / 3600);
    time.minute = static_cast<std::uint8_t>(rest / 60 % 60);
    time.second = static_cast<std::uint8_t>(rest % 60);
    time.utc = true;
    return time;
}

std::wstring TextBeforeNul(std::wstring text)
{
    size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.resize(nul);
    return text;
}
