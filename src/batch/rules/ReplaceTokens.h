// The tokens a Find and Replace replacement may hold ({n:0001}, {name}, {taken:yyyy-MM-dd},
// {artist} and the others): read once from the typed text, then filled in for each entry from what
// the entry and its file hold.
#pragma once

#include "PlanReason.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TokenKind : std::uint8_t {
    Literal,
    Counter,
    Name,
    Extension,
    Folder,
    Taken,
    Modified,
    Created,
    Make,
    Camera,
    Width,
    Height,
    Artist,
    AlbumArtist,
    Album,
    Title,
    Track,
    Disc,
    Year,
    Genre,
};

struct ReplacementPiece {
    TokenKind kind = TokenKind::Literal;
    std::wstring text; // Literal: the text itself; a date: its format
    // Counter: the first number, the step and the least digits, as "0010,5" gives them; Track: the
    // least digits.
    std::uint64_t start = 1;
    std::uint64_t step = 1;
    std::int32_t width = 0;
};

// What the tokens of a replacement need to know of each entry beyond its name.
struct ReplacementNeeds {
    bool counter = false;
    bool fileTimes = false; // {modified}, {created}
    bool photo = false;     // {taken}, {make}, {camera}, {width}, {height}
    bool music = false;
};

struct ParsedReplacement {
    std::vector<ReplacementPiece> pieces;
    ReplacementNeeds needs;
    // Why the text cannot be used, in words; empty when it can.
    std::wstring error;
    bool HasTokens() const;
};

// Reads the replacement as typed: "{{" and "}}" are braces, anything else in braces is a token.
ParsedReplacement ParseReplacement(std::wstring_view text);

// What one entry and its file give the tokens. Dates are as they are to be shown: the file's times
// in local time, the date taken as the camera recorded it.
struct EntryValues {
    std::wstring_view name; // without its extension
    std::wstring_view extension;
    std::wstring_view folder; // the name of the folder holding the entry
    std::uint64_t position = 0; // the entry's place in the counter's order, from 0
    bool photo = false; // the file is a photo or a video, whatever values it holds
    std::optional<SYSTEMTIME> taken;
    std::optional<SYSTEMTIME> modified;
    std::optional<SYSTEMTIME> created;
    std::wstring make, camera;
    std::optional<std::uint32_t> width, height;
    std::wstring artist, albumArtist, album, title, genre;
    std::uint32_t track = 0, disc = 0, year = 0; // 0: none

    // Empty again, the texts keeping their room: one EntryValues serves every entry of a plan.
    void Reset();
};

// Month and day names and the AM and PM designators, in the user's language as Windows names them.
struct DateNames {
    std::wstring months[12];
    std::wstring shortMonths[12];
    // The months as a date with a day number names them ("14 lipca", beside "lipiec 2026"); empty:
    // as months and shortMonths.
    std::wstring monthsWithDay[12];
    std::wstring shortMonthsWithDay[12];
    std::wstring days[7]; // Sunday first, as SYSTEMTIME counts them
    std::wstring shortDays[7];
    std::wstring am;
    std::wstring pm;
};
// The names of a locale (LOCALE_NAME_USER_DEFAULT: the user's).
DateNames DateNamesOf(const wchar_t* locale);
DateNames UserDateNames();

// A date in FORMAT letters: yyyy yy MMMM MMM MM M dddd ddd dd d HH H hh h mm ss fff tt; '...'
// quotes letters ('' in it is a quote), every other character stands as it is. As in Windows' own
// date pictures, a month's name beside a day number (d or dd) takes its form for dates.
std::wstring FormatTokenDate(const SYSTEMTIME& time, std::wstring_view format, const DateNames& names);

// True for a value of blanks alone, which counts as none (an artist tag of "   ").
bool IsBlankValue(std::wstring_view value);

// Which value the entry lacks that a token needs (NoDateTaken, NoArtist), the first one in the
// replacement; None when it has them all. A text of blanks alone is no value.
PlanReason MissingValue(const ParsedReplacement& parsed, const EntryValues& values);

// The replacement with every token filled in for the entry. False, with missing saying which value
// (as MissingValue does), when the entry lacks one a token needs. dollarsDoubled: each $ of a value
// is written $$, so that an expression's replacement takes it as it is.
bool ExpandReplacement(const ParsedReplacement& parsed, const EntryValues& values, const DateNames& names,
                       bool dollarsDoubled, std::wstring& out, PlanReason& missing);
