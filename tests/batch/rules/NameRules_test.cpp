// Names compare and hash alike under the case folding of the file system, ASCII or not.
#include "NameRules.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

TEST(NameRules, FoldedComparisonAndHashAgreeWithTheFoldedNames)
{
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
    } cases[] = {
        {L"Photo_1.JPG", L"photo_1.jpg"},
        {L"photo_1.jpg", L"photo_2.jpg"},
        {L"[a]", L"{A}"}, // ASCII neighbours of the letters do not fold
        {L"\u00e9t\u00e9", L"\u00c9T\u00c9"},
        {L"p\u0131x", L"PIX"}, // a dotless i folds as the platform folds it
        {L"pix", L"p\u0131x"},
        {L"\u017fun", L"SUN"},
    };
    for (const Case& c : cases) {
        bool equal = FoldedName(c.a) == FoldedName(c.b);
        EXPECT_EQ(EqualsFolded(c.a, c.b), equal) << Narrow(c.a) << " / " << Narrow(c.b);
        if (equal) {
            EXPECT_EQ(FoldedNameHash(c.a), FoldedNameHash(c.b)) << Narrow(c.a);
        }
    }
    EXPECT_TRUE(EqualsFolded(L"Photo_1.JPG", L"photo_1.jpg"));
    EXPECT_FALSE(EqualsFolded(L"[a]", L"{A}"));
    EXPECT_TRUE(EqualsFolded(L"\u00e9t\u00e9", L"\u00c9T\u00c9"));
}
