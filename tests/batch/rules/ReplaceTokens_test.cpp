// The tokens of a replacement: what is refused and why, what each gives, and dates by their letters.
#include "ReplaceTokens.h"
#include "RunPlan.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

DateNames EnglishNames()
{
    DateNames names;
    const wchar_t* months[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                               L"July",    L"August",   L"September", L"October", L"November", L"December"};
    const wchar_t* days[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
    for (int i = 0; i < 12; ++i) {
        names.months[i] = months[i];
        names.shortMonths[i] = std::wstring(months[i]).substr(0, 3);
    }
    for (int i = 0; i < 7; ++i) {
        names.days[i] = days[i];
        names.shortDays[i] = std::wstring(days[i]).substr(0, 3);
    }
    names.am = L"AM";
    names.pm = L"PM";
    return names;
}

// Tuesday 14 July 2026, 09:31:05.250 (or 21:31 with pm).
SYSTEMTIME Taken(bool pm = false)
{
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 7;
    time.wDay = 14;
    time.wDayOfWeek = 2;
    time.wHour = pm ? 21 : 9;
    time.wMinute = 31;
    time.wSecond = 5;
    time.wMilliseconds = 250;
    return time;
}

// The expanded text, or what the list says of an entry lacking a value: "(no album)".
std::wstring Expanded(const std::wstring& replacement, const EntryValues& values, bool dollars = false)
{
    ParsedReplacement parsed = ParseReplacement(replacement);
    EXPECT_TRUE(parsed.error.empty()) << testing::PrintToString(parsed.error);
    std::wstring out;
    PlannedEntry lacking;
    lacking.status = PlanStatus::CannotChange;
    if (ExpandReplacement(parsed, values, EnglishNames(), dollars, out, lacking.reason))
        return out;
    std::wstring said = DescribePlannedEntry(RunPlan(), lacking);
    return said.substr(said.find(L'('));
}

} // namespace

TEST(ReplaceTokens, WhatCannotBeReadIsRefusedWithItsReasonAndBracesDoubledAreBraces)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* reason;
    };
    const Case cases[] = {
        {L"{foo}", L"{foo} is not a token Nomaro knows."},
        {L"{Name}", L"{Name} is written {name}."},
        {L"{TAKEN:yyyy}", L"{TAKEN} is written {taken}."},
        {L"{", L"A brace is not closed: type {{ for a brace."},
        {L"a}b", L"A closing brace stands alone: type }} for a brace."},
        {L"{name:x}", L"{name} takes no format."},
        {L"{n:abc}", L"{n:abc}: a counter takes digits, and a step after a comma: {n:0010,5}."},
        {L"{n:01,}", L"{n:01,}: a counter takes digits, and a step after a comma: {n:0010,5}."},
        {L"{n:01,0}", L"{n:01,0}: a counter's step cannot be 0."},
        {L"{n:1234567890123456789}", L"{n:1234567890123456789}: a counter takes at most 18 digits."},
        {L"{track:0a}", L"{track:0a}: a track number takes zeros for its digits: {track:00}."},
        {L"{taken:}", L"{taken:} needs a format after the colon, such as yyyy-MM-dd."},
    };
    for (const Case& c : cases) {
        ParsedReplacement parsed = ParseReplacement(c.text);
        EXPECT_EQ(parsed.error, c.reason) << testing::PrintToString(std::wstring(c.text));
        EXPECT_TRUE(parsed.pieces.empty());
    }
    ParsedReplacement braces = ParseReplacement(L"a{{b}}c$1");
    EXPECT_TRUE(braces.error.empty());
    EXPECT_FALSE(braces.HasTokens());
    ASSERT_EQ(braces.pieces.size(), 1u);
    EXPECT_EQ(braces.pieces[0].text, L"a{b}c$1");
    ReplacementNeeds needs = ParseReplacement(L"{n} {modified} {camera} {genre}").needs;
    EXPECT_TRUE(needs.counter && needs.fileTimes && needs.photo && needs.music);
    needs = ParseReplacement(L"{name}.{ext} in {folder}").needs;
    EXPECT_FALSE(needs.counter || needs.fileTimes || needs.photo || needs.music);
}

TEST(ReplaceTokens, EachTokenGivesItsValueAsANameCanHoldIt)
{
    EntryValues values;
    values.name = L"IMG_4711";
    values.extension = L"JPG";
    values.folder = L"Trip";
    values.position = 2;
    values.taken = Taken();
    values.camera = L"Canon EOS R6";
    values.width = 6000;
    values.height = 4000;
    values.artist = L"\u00c4d\u00e8le";
    values.title = L"Song Title";
    values.track = 3;
    values.disc = 1;
    struct Case {
        const wchar_t* replacement;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"{taken:yyyy-MM-dd HH.mm.ss} {camera}", L"2026-07-14 09.31.05 Canon EOS R6"},
        {L"Trip {n:001}", L"Trip 003"},
        {L"{n}", L"3"},
        {L"{n:0010,5}", L"0020"},
        {L"{track:00} - {artist} - {title}", L"03 - \u00c4d\u00e8le - Song Title"},
        {L"{track} {disc}", L"3 1"},
        {L"{albumartist}", L"\u00c4d\u00e8le"},
        {L"{name} ({folder}).{ext}", L"IMG_4711 (Trip).JPG"},
        {L"{width}x{height}", L"6000x4000"},
        {L"{taken}", L"2026-07-14"},
        {L"{taken:HH:mm}", L"09_31"},
        {L"{album}", L"(no album)"},
        {L"{make}", L"(no camera make)"},
        {L"{modified}", L"(no modified date)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expanded(c.replacement, values), c.expected) << testing::PrintToString(std::wstring(c.replacement));

    values.artist = L"  AC/DC: \"Live\" *1*?\t";
    EXPECT_EQ(Expanded(L"{artist}", values), L"AC_DC_ _Live_ _1___");
    values.artist = L"A$AP";
    EXPECT_EQ(Expanded(L"{artist} $1", values, true), L"A$$AP $1");
    // Blanks alone are no value: an album artist of blanks gives way to the artist.
    values.albumArtist = L"  ";
    values.artist = L"   ";
    EXPECT_EQ(Expanded(L"{artist}", values), L"(no artist)");
    values.artist = L"Abba";
    EXPECT_EQ(Expanded(L"{albumartist}", values), L"Abba");
}

TEST(ReplaceTokens, DatesFollowTheirFormatLetters)
{
    struct Case {
        const wchar_t* format;
        bool pm;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"yyyy yy MMMM MMM MM M", false, L"2026 26 July Jul 07 7"},
        {L"dddd ddd dd d", false, L"Tuesday Tue 14 14"},
        {L"HH H hh h mm ss fff tt", true, L"21 21 09 9 31 05 250 PM"},
        {L"h tt", false, L"9 AM"},
        {L"'taken' yyyyMMdd'T'HHmmss", false, L"taken 20260714T093105"},
        {L"h 'o''clock' tt", false, L"9 o'clock AM"},
        {L"y m s f t, yyyyyy", false, L"y m s f t, 202626"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTokenDate(Taken(c.pm), c.format, EnglishNames()), c.expected)
            << testing::PrintToString(std::wstring(c.format));
    DateNames user = UserDateNames();
    EXPECT_FALSE(user.months[11].empty());
    EXPECT_FALSE(user.days[0].empty());
}

TEST(ReplaceTokens, DatesNameMonthsAndDaysAsWindowsWritesThemInEachLanguage)
{
    // Windows' own date formatting is the measure: a month's name beside a day number takes its
    // form for dates in Polish, Russian, Greek, Czech and Finnish ("14 lipca 2026").
    const wchar_t* locales[] = {L"en-US", L"de-DE", L"pl-PL", L"ru-RU", L"el-GR", L"cs-CZ", L"fi-FI"};
    const wchar_t* formats[] = {L"d MMMM yyyy", L"dd MMMM", L"dddd, d MMMM yyyy", L"d MMM yyyy", L"ddd dd MMM"};
    SYSTEMTIME taken = Taken();
    for (const wchar_t* locale : locales) {
        DateNames names = DateNamesOf(locale);
        for (const wchar_t* format : formats) {
            wchar_t windows[128] = L"";
            ASSERT_GT(GetDateFormatEx(locale, 0, &taken, format, windows, 128, nullptr), 0) << Narrow(locale);
            EXPECT_EQ(FormatTokenDate(taken, format, names), windows) << Narrow(locale) << " " << Narrow(format);
        }
        // Without a day the month is named as it stands alone ("lipiec 2026"). Wine 8 has formatted
        // such a picture either way from one run to the next: not the measure here.
        wchar_t month[64] = L"";
        ASSERT_GT(GetLocaleInfoEx(locale, LOCALE_SMONTHNAME7, month, 64), 0);
        EXPECT_EQ(FormatTokenDate(taken, L"MMMM yyyy", names), std::wstring(month) + L" 2026") << Narrow(locale);
    }
}
