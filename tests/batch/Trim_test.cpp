// Trimming and splitting of the extension filter.
#include "Trim.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Trim, RemovesOnlyLeadingOrTrailingSetCharacters)
{
    struct Case {
        std::wstring before, leading, trailing;
    } cases[] = {
        {L" ,jpg, png ,", L"jpg, png ,", L" ,jpg, png"},
        {L" , ,", L"", L""},
        {L"", L"", L""},
        {L"jpg", L"jpg", L"jpg"},
    };
    for (const Case& c : cases) {
        std::wstring leading = c.before, trailing = c.before;
        TrimLeading(leading, L" ,");
        TrimTrailing(trailing, L" ,");
        EXPECT_EQ(leading, c.leading);
        EXPECT_EQ(trailing, c.trailing);
    }
}

TEST(Trim, SplitGivesTokensBetweenRunsOfSeparators)
{
    std::wstring text = L"jpg ,,  png,mp3";
    std::wstring_view rest = text;
    std::vector<std::wstring> tokens;
    for (std::wstring token; !(token = SplitNextToken(rest, L" ,")).empty();)
        tokens.push_back(token);
    EXPECT_EQ(tokens, (std::vector<std::wstring>{L"jpg", L"png", L"mp3"}));
}
