// The tokens a Find and Replace replacement may hold, read once and filled in for each entry.
#include "ReplaceTokens.h"

#include "AsciiCase.h"
#include "NameRules.h"

#include <algorithm>
#include <iterator>

namespace {

enum class Format : std::uint8_t { None, Date, Counter, Zeros };

// What a token needs of an entry beyond its name.
enum class Need : std::uint8_t { Name, Counter, FileTimes, Photo, Music };

struct TokenName {
    const wchar_t* name;
    TokenKind kind;
    Format format;
    Need need;
    PlanReason missing; // why an entry that lacks the value keeps its name
};

constexpr TokenName kTokens[] = {
    {L"n", TokenKind::Counter, Format::Counter, Need::Counter, PlanReason::None},
    {L"name", TokenKind::Name, Format::None, Need::Name, PlanReason::None},
    {L"ext", TokenKind::Extension, Format::None, Need::Name, PlanReason::None},
    {L"folder", TokenKind::Folder, Format::None, Need::Name, PlanReason::None},
    {L"taken", TokenKind::Taken, Format::Date, Need::Photo, PlanReason::NoDateTaken},
    {L"modified", TokenKind::Modified, Format::Date, Need::FileTimes, PlanReason::NoModifiedDate},
    {L"created", TokenKind::Created, Format::Date, Need::FileTimes, PlanReason::NoCreatedDate},
    {L"make", TokenKind::Make, Format::None, Need::Photo, PlanReason::NoCameraMake},
    {L"camera", TokenKind::Camera, Format::None, Need::Photo, PlanReason::NoCameraModel},
    {L"width", TokenKind::Width, Format::None, Need::Photo, PlanReason::NoPictureSize},
    {L"height", TokenKind::Height, Format::None, Need::Photo, PlanReason::NoPictureSize},
    {L"artist", TokenKind::Artist, Format::None, Need::Music, PlanReason::NoArtist},
    {L"albumartist", TokenKind::AlbumArtist, Format::None, Need::Music, PlanReason::NoArtist},
    {L"album", TokenKind::Album, Format::None, Need::Music, PlanReason::NoAlbum},
    {L"title", TokenKind::Title, Format::None, Need::Music, PlanReason::NoTitle},
    {L"track", TokenKind::Track, Format::Zeros, Need::Music, PlanReason::NoTrackNumber},
    {L"disc", TokenKind::Disc, Format::None, Need::Music, PlanReason::NoDiscNumber},
    {L"year", TokenKind::Year, Format::None, Need::Music, PlanReason::NoYear},
    {L"genre", TokenKind::Genre, Format::None, Need::Music, PlanReason::NoGenre},
};

constexpr wchar_t kDefaultDateFormat[] = L"yyyy-MM-dd";
// More digits than any count of entries needs; it keeps a typed start within 64 bits.
constexpr size_t kMostCounterDigits = 18;

const TokenName* FindToken(std::wstring_view name)
{
    for (const TokenName& token : kTokens) {
        if (name == token.name)
            return &token;
    }
    return nullptr;
}

const TokenName& TokenOf(TokenKind kind)
{
    return *std::find_if(std::begin(kTokens), std::end(kTokens), [kind](const TokenName& t) { return t.kind == kind; });
}

bool AllDigits(std::wstring_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::uint64_t NumberOf(std::wstring_view digits)
{
    std::uint64_t value = 0;
    for (wchar_t digit : digits)
        value = value * 10 + static_cast<std::uint64_t>(digit - L'0');
    return value;
}

// "0010,5": start 10, four digits at least, step 5. What is wrong with it, or empty. Said in a line
// the dialog can show whole.
std::wstring ReadCounterFormat(std::wstring_view format, ReplacementPiece& piece)
{
    size_t comma = format.find(L',');
    std::wstring_view start = format.substr(0, comma);
    std::wstring_view step = comma == std::wstring_view::npos ? std::wstring_view() : format.substr(comma + 1);
    if (!AllDigits(start) || (comma != std::wstring_view::npos && !AllDigits(step)))
        return L"a counter takes digits, and a step after a comma: {n:0010,5}.";
    if (start.size() > kMostCounterDigits || step.size() > kMostCounterDigits)
        return L"a counter takes at most " + std::to_wstring(kMostCounterDigits) + L" digits.";
    if (comma != std::wstring_view::npos && NumberOf(step) == 0)
        return L"a counter's step cannot be 0.";
    piece.start = NumberOf(start);
    piece.width = static_cast<std::int32_t>(start.size());
    if (!step.empty())
        piece.step = NumberOf(step);
    return std::wstring();
}

// Reads "name" or "name:format" into piece; the reason it cannot, or empty.
std::wstring ReadToken(std::wstring_view inside, ReplacementPiece& piece, ReplacementNeeds& needs)
{
    size_t colon = inside.find(L':');
    std::wstring_view name = inside.substr(0, colon);
    const TokenName* token = FindToken(name);
    if (!token) {
        // The tokens are written in small letters; one typed in others is shown how it is written.
        for (const TokenName& known : kTokens) {
            if (EqualsAsciiNoCase(name, known.name))
                return L"{" + std::wstring(name) + L"} is written {" + known.name + L"}.";
        }
        return L"{" + std::wstring(inside) + L"} is not a token Nomaro knows.";
    }
    piece.kind = token->kind;
    bool formatted = colon != std::wstring_view::npos;
    std::wstring_view format = formatted ? inside.substr(colon + 1) : std::wstring_view();
    switch (token->format) {
    case Format::None:
        if (formatted)
            return L"{" + std::wstring(name) + L"} takes no format.";
        break;
    case Format::Date:
        if (formatted && format.empty())
            return L"{" + std::wstring(name) + L":} needs a format after the colon, such as yyyy-MM-dd.";
        piece.text = formatted ? std::wstring(format) : std::wstring(kDefaultDateFormat);
        break;
    case Format::Counter:
        if (formatted) {
            std::wstring wrong = ReadCounterFormat(format, piece);
            if (!wrong.empty())
                return L"{" + std::wstring(inside) + L"}: " + wrong;
        }
        break;
    case Format::Zeros:
        if (formatted && (format.empty() || format.find_first_not_of(L'0') != std::wstring_view::npos))
            return L"{" + std::wstring(inside) + L"}: a track number takes zeros for its digits: {track:00}.";
        piece.width = static_cast<std::int32_t>(format.size());
        break;
    }
    needs.counter = needs.counter || token->need == Need::Counter;
    needs.fileTimes = needs.fileTimes || token->need == Need::FileTimes;
    needs.photo = needs.photo || token->need == Need::Photo;
    needs.music = needs.music || token->need == Need::Music;
    return std::wstring();
}

void AppendLiteral(std::vector<ReplacementPiece>& pieces, wchar_t unit)
{
    if (pieces.empty() || pieces.back().kind != TokenKind::Literal)
        pieces.emplace_back();
    pieces.back().text.push_back(unit);
}

// value in decimal, with zeros before it up to width digits. Written out by hand: it runs for
// every counter of every entry as the user types, where the library's formatting would make a
// string of its own each time.
void AppendPadded(std::uint64_t value, std::int32_t width, std::wstring& out)
{
    wchar_t digits[20];
    std::int32_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (width > count)
        out.append(static_cast<size_t>(width - count), L'0');
    while (count > 0)
        out.push_back(digits[--count]);
}

// How many times the unit at text[at] stands in a row.
size_t RunLength(std::wstring_view text, size_t at)
{
    size_t end = at;
    while (end < text.size() && text[end] == text[at])
        ++end;
    return end - at;
}

// Appends the text quoted from format[at], the unit after the opening quote, to out (when given)
// and returns where the format goes on: past the closing quote, or its end. Two quotes in a row
// are one, as in Windows' date pictures ('o''clock').
size_t AppendQuoted(std::wstring_view format, size_t at, std::wstring* out)
{
    while (at < format.size()) {
        wchar_t unit = format[at++];
        if (unit == L'\'') {
            if (at == format.size() || format[at] != L'\'')
                break;
            ++at;
        }
        if (out)
            out->push_back(unit);
    }
    return at;
}

// Whether format shows the day's number (d or dd, not the day's name) outside its quotes.
bool HasDayNumber(std::wstring_view format)
{
    for (size_t i = 0; i < format.size();) {
        if (format[i] == L'\'') {
            i = AppendQuoted(format, i + 1, nullptr);
            continue;
        }
        size_t run = RunLength(format, i);
        if (format[i] == L'd' && run <= 2)
            return true;
        i += run;
    }
    return false;
}

const std::wstring& NameOrDefault(const std::wstring& name, const std::wstring& fallback)
{
    return name.empty() ? fallback : name;
}

// The date in FORMAT letters, appended to out.
void AppendTokenDate(const SYSTEMTIME& time, std::wstring_view format, const DateNames& names, std::wstring& out)
{
    const unsigned month = time.wMonth >= 1 && time.wMonth <= 12 ? time.wMonth : 1;
    const unsigned day = time.wDayOfWeek <= 6 ? time.wDayOfWeek : 0;
    const unsigned hour12 = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
    const bool dayNumber = HasDayNumber(format);
    for (size_t i = 0; i < format.size();) {
        wchar_t unit = format[i];
        if (unit == L'\'') {
            i = AppendQuoted(format, i + 1, &out);
            continue;
        }
        size_t run = RunLength(format, i);
        size_t used = 1;
        switch (unit) {
        case L'y':
            used = run >= 4 ? 4 : run >= 2 ? 2 : 0;
            if (used == 4)
                AppendPadded(time.wYear, 4, out);
            else if (used == 2)
                AppendPadded(time.wYear % 100, 2, out);
            break;
        case L'M':
            used = std::min<size_t>(run, 4);
            if (used == 4)
                out += dayNumber ? NameOrDefault(names.monthsWithDay[month - 1], names.months[month - 1])
                                 : names.months[month - 1];
            else if (used == 3)
                out += dayNumber ? NameOrDefault(names.shortMonthsWithDay[month - 1], names.shortMonths[month - 1])
                                 : names.shortMonths[month - 1];
            else
                AppendPadded(month, static_cast<std::int32_t>(used), out);
            break;
        case L'd':
            used = std::min<size_t>(run, 4);
            if (used == 4)
                out += names.days[day];
            else if (used == 3)
                out += names.shortDays[day];
            else
                AppendPadded(time.wDay, static_cast<std::int32_t>(used), out);
            break;
        case L'H':
        case L'h':
            used = std::min<size_t>(run, 2);
            AppendPadded(unit == L'H' ? time.wHour : hour12, static_cast<std::int32_t>(used), out);
            break;
        case L'm':
        case L's':
            used = run >= 2 ? 2 : 0;
            if (used)
                AppendPadded(unit == L'm' ? time.wMinute : time.wSecond, 2, out);
            break;
        case L'f':
            used = run >= 3 ? 3 : 0;
            if (used)
                AppendPadded(time.wMilliseconds % 1000, 3, out);
            break;
        case L't':
            used = run >= 2 ? 2 : 0;
            if (used)
                out += time.wHour < 12 ? names.am : names.pm;
            break;
        default:
            used = 0;
            break;
        }
        if (used == 0) {
            out.push_back(unit);
            used = 1;
        }
        i += used;
    }
}

// Makes out[from...] a value as a name can hold it, each $ doubled when asked: each character
// names cannot have (\ / : * ? " < > | and control characters) becomes _, and blanks at its ends
// go. In place: no string of its own for each token of each entry as the user types.
void MakeNameSafeFrom(std::wstring& out, size_t from, bool dollarsDoubled)
{
    size_t last = out.find_last_not_of(L' ');
    if (last == std::wstring::npos || last < from) {
        out.resize(from);
        return;
    }
    out.resize(last + 1);
    size_t first = out.find_first_not_of(L' ', from);
    out.erase(from, first - from);
    bool dollars = false;
    for (size_t i = from; i < out.size(); ++i) {
        wchar_t& unit = out[i];
        if (IsForbiddenNameUnit(unit) || unit == 0x7F)
            unit = L'_';
        dollars = dollars || unit == L'$';
    }
    if (!dollars || !dollarsDoubled)
        return;
    std::wstring doubled;
    for (size_t i = from; i < out.size(); ++i) {
        doubled.push_back(out[i]);
        if (out[i] == L'$')
            doubled.push_back(L'$');
    }
    out.replace(from, std::wstring::npos, doubled);
}

// Whether the entry has the value of one token: a text of blanks alone is none.
bool HasValue(const ReplacementPiece& piece, const EntryValues& values)
{
    switch (piece.kind) {
    case TokenKind::Taken:
        return values.taken.has_value();
    case TokenKind::Modified:
        return values.modified.has_value();
    case TokenKind::Created:
        return values.created.has_value();
    case TokenKind::Make:
        return !IsBlankValue(values.make);
    case TokenKind::Camera:
        return !IsBlankValue(values.camera);
    case TokenKind::Width:
        return values.width.has_value();
    case TokenKind::Height:
        return values.height.has_value();
    case TokenKind::Artist:
        return !IsBlankValue(values.artist);
    case TokenKind::AlbumArtist:
        return !IsBlankValue(values.albumArtist) || !IsBlankValue(values.artist);
    case TokenKind::Album:
        return !IsBlankValue(values.album);
    case TokenKind::Title:
        return !IsBlankValue(values.title);
    case TokenKind::Track:
        return values.track != 0;
    case TokenKind::Disc:
        return values.disc != 0;
    case TokenKind::Year:
        return values.year != 0;
    case TokenKind::Genre:
        return !IsBlankValue(values.genre);
    case TokenKind::Literal:
    case TokenKind::Counter:
    case TokenKind::Name:
    case TokenKind::Extension:
    case TokenKind::Folder:
        break;
    }
    return true;
}

// Appends the value of one token the entry has (HasValue), as it is shown and made fit for names.
void AppendTokenValue(const ReplacementPiece& piece, const EntryValues& values, const DateNames& names,
                      bool dollarsDoubled, std::wstring& out)
{
    size_t from = out.size();
    auto text = [&](std::wstring_view given) {
        out.append(given);
        MakeNameSafeFrom(out, from, dollarsDoubled);
    };
    auto date = [&](const SYSTEMTIME& time) {
        AppendTokenDate(time, piece.text, names, out);
        MakeNameSafeFrom(out, from, dollarsDoubled);
    };
    switch (piece.kind) {
    case TokenKind::Counter:
        AppendPadded(piece.start + values.position * piece.step, piece.width, out);
        return;
    case TokenKind::Name:
        return text(values.name);
    case TokenKind::Extension:
        return text(values.extension);
    case TokenKind::Folder:
        return text(values.folder);
    case TokenKind::Taken:
        return date(*values.taken);
    case TokenKind::Modified:
        return date(*values.modified);
    case TokenKind::Created:
        return date(*values.created);
    case TokenKind::Make:
        return text(values.make);
    case TokenKind::Camera:
        return text(values.camera);
    case TokenKind::Width:
        return AppendPadded(*values.width, 0, out);
    case TokenKind::Height:
        return AppendPadded(*values.height, 0, out);
    case TokenKind::Artist:
        return text(values.artist);
    case TokenKind::AlbumArtist:
        return text(IsBlankValue(values.albumArtist) ? values.artist : values.albumArtist);
    case TokenKind::Album:
        return text(values.album);
    case TokenKind::Title:
        return text(values.title);
    case TokenKind::Track:
        return AppendPadded(values.track, piece.width, out);
    case TokenKind::Disc:
        return AppendPadded(values.disc, 0, out);
    case TokenKind::Year:
        return AppendPadded(values.year, 0, out);
    case TokenKind::Genre:
        return text(values.genre);
    case TokenKind::Literal:
        break;
    }
    out.append(piece.text);
}

} // namespace

bool ParsedReplacement::HasTokens() const
{
    return std::any_of(pieces.begin(), pieces.end(), [](const ReplacementPiece& p) { return p.kind != TokenKind::Literal; });
}

ParsedReplacement ParseReplacement(std::wstring_view text)
{
    ParsedReplacement parsed;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t unit = text[i];
        bool doubled = i + 1 < text.size() && text[i + 1] == unit;
        if ((unit == L'{' || unit == L'}') && doubled) {
            AppendLiteral(parsed.pieces, unit);
            ++i;
            continue;
        }
        if (unit == L'}') {
            parsed.error = L"A closing brace stands alone: type }} for a brace.";
            break;
        }
        if (unit != L'{') {
            AppendLiteral(parsed.pieces, unit);
            continue;
        }
        size_t close = text.find(L'}', i + 1);
        if (close == std::wstring_view::npos) {
            parsed.error = L"A brace is not closed: type {{ for a brace.";
            break;
        }
        ReplacementPiece piece;
        parsed.error = ReadToken(text.substr(i + 1, close - i - 1), piece, parsed.needs);
        if (!parsed.error.empty())
            break;
        parsed.pieces.push_back(std::move(piece));
        i = close;
    }
    if (!parsed.error.empty()) {
        parsed.pieces.clear();
        parsed.needs = ReplacementNeeds();
    }
    return parsed;
}

DateNames DateNamesOf(const wchar_t* locale)
{
    DateNames names;
    auto read = [locale](LCTYPE type) {
        wchar_t buffer[128] = {};
        int length = GetLocaleInfoEx(locale, type, buffer, static_cast<int>(std::size(buffer)));
        return length > 0 ? std::wstring(buffer) : std::wstring();
    };
    for (int i = 0; i < 12; ++i) {
        names.months[i] = read(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i));
        names.shortMonths[i] = read(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i));
        // Where a language has no such form, Windows gives the name itself.
        names.monthsWithDay[i] = read(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i) | LOCALE_RETURN_GENITIVE_NAMES);
        names.shortMonthsWithDay[i] =
            read(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i) | LOCALE_RETURN_GENITIVE_NAMES);
    }
    // Windows counts the day names from Monday; SYSTEMTIME counts the days from Sunday.
    for (int i = 0; i < 7; ++i) {
        names.days[(i + 1) % 7] = read(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + i));
        names.shortDays[(i + 1) % 7] = read(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i));
    }
    names.am = read(LOCALE_S1159);
    names.pm = read(LOCALE_S2359);
    return names;
}

DateNames UserDateNames()
{
    return DateNamesOf(LOCALE_NAME_USER_DEFAULT);
}

std::wstring FormatTokenDate(const SYSTEMTIME& time, std::wstring_view format, const DateNames& names)
{
    std::wstring out;
    AppendTokenDate(time, format, names, out);
    return out;
}

void EntryValues::Reset()
{
    name = extension = folder = std::wstring_view();
    position = 0;
    photo = false;
    taken.reset();
    modified.reset();
    created.reset();
    for (std::wstring* text : {&make, &camera, &artist, &albumArtist, &album, &title, &genre})
        text->clear();
    width.reset();
    height.reset();
    track = disc = year = 0;
}

bool IsBlankValue(std::wstring_view value)
{
    return value.find_first_not_of(L' ') == std::wstring_view::npos;
}

PlanReason MissingValue(const ParsedReplacement& parsed, const EntryValues& values)
{
    for (const ReplacementPiece& piece : parsed.pieces) {
        if (!HasValue(piece, values))
            return TokenOf(piece.kind).missing;
    }
    return PlanReason::None;
}

bool ExpandReplacement(const ParsedReplacement& parsed, const EntryValues& values, const DateNames& names,
                       bool dollarsDoubled, std::wstring& out, PlanReason& missing)
{
    out.clear();
    missing = MissingValue(parsed, values);
    if (missing != PlanReason::None)
        return false;
    for (const ReplacementPiece& piece : parsed.pieces) {
        if (piece.kind == TokenKind::Literal)
            out += piece.text;
        else
            AppendTokenValue(piece, values, names, dollarsDoubled, out);
    }
    return true;
}
