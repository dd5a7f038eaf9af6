// The texts of a tree's files: each comes back unit for unit, and one given twice is kept once.
#include "DetailTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(DetailTexts, EveryTextComesBackAsItWasGivenAndTheSameTextKeepsItsNumber)
{
    DetailTexts texts;
    const std::wstring given[] = {
        L"Canon EOS R6",
        L"\u00c4d\u00e8le",                // two-byte UTF-8
        L"\u5199\u771f \u20ac",            // three-byte
        L"Album \U0001F3B5 Name",          // a surrogate pair, four-byte
        std::wstring(1, L'\xD83C') + L"x", // a lone high surrogate
        L"x" + std::wstring(1, L'\xDC00'), // a lone low surrogate
        std::wstring(1, L'\0') + L"nul",   // a NUL inside a tag's text
        std::wstring(DetailTexts::kMaxUnits, L'\u00e9'),
    };
    std::vector<DetailTexts::TextId> ids;
    for (const std::wstring& text : given)
        ids.push_back(texts.Add(text));
    EXPECT_EQ(texts.Add(L""), DetailTexts::kEmpty);
    EXPECT_EQ(texts.Get(DetailTexts::kEmpty), L"");
    std::wstring out = L"room kept";
    for (size_t i = 0; i < ids.size(); ++i) {
        EXPECT_NE(ids[i], DetailTexts::kEmpty);
        texts.Get(ids[i], out);
        EXPECT_EQ(out, given[i]) << i;
        EXPECT_EQ(texts.Add(given[i]), ids[i]) << i;
    }
    // A text longer than any kept is cut; it is the same text as its first kMaxUnits.
    std::wstring longer(DetailTexts::kMaxUnits + 10, L'a');
    EXPECT_EQ(texts.Get(texts.Add(longer)), longer.substr(0, DetailTexts::kMaxUnits));
}

TEST(DetailTexts, ManyTextsFillManyBlocksAndAreEachFoundAgain)
{
    // Titles of a big music library: unique, over several blocks and index growths.
    DetailTexts texts;
    std::vector<DetailTexts::TextId> ids;
    for (int i = 0; i < 30000; ++i)
        ids.push_back(texts.Add(L"Song title number " + std::to_wstring(i)));
    for (int i = 0; i < 30000; i += 7) {
        EXPECT_EQ(texts.Get(ids[static_cast<size_t>(i)]), L"Song title number " + std::to_wstring(i));
        EXPECT_EQ(texts.Add(L"Song title number " + std::to_wstring(i)), ids[static_cast<size_t>(i)]);
    }
    // Little more than the letters themselves, and the index.
    EXPECT_LT(texts.Bytes(), 30000u * 40u);
}
