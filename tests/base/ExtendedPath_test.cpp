// The \\?\ form keeps every name exactly as written and makes only what needs it absolute.
#include "ExtendedPath.h"

#include <gtest/gtest.h>

TEST(ExtendedPath, PrefixesAbsolutePathsLetterForLetter)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\Photos\\DIR.", L"\\\\?\\C:\\Photos\\DIR."},
        {L"C:\\Photos\\SPACE \\", L"\\\\?\\C:\\Photos\\SPACE "},
        {L"C:\\CON.TXT", L"\\\\?\\C:\\CON.TXT"},
        {L"C:\\", L"\\\\?\\C:\\"},
        {L"\\\\server\\share\\Music", L"\\\\?\\UNC\\server\\share\\Music"},
        {L"C:\\a\\..\\b", L"\\\\?\\C:\\b"},
        {L"C:/a/b", L"\\\\?\\C:\\a\\b"},
        {L"\\\\?\\C:\\x.", L"\\\\?\\C:\\x."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtendedLengthPath(c.path), c.expected) << c.path;
    EXPECT_EQ(DisplayPath(L"\\\\?\\C:\\Photos\\DIR."), L"C:\\Photos\\DIR.");
    EXPECT_EQ(DisplayPath(L"\\\\?\\UNC\\server\\share"), L"\\\\server\\share");
}
