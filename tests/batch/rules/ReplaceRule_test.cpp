// Find and Replace in one name: plain text and expressions, case, first or all, empty matches,
// the part of the name it applies to and the formatting after it.
#include "ReplaceRule.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const wchar_t* name;
    ReplaceRule rule;
    const wchar_t* expected;
    bool isFolder = false;
};

ReplaceRule Plain(const wchar_t* search, const wchar_t* replacement, bool all = true, bool matchCase = false)
{
    ReplaceRule rule;
    rule.search = search;
    rule.replacement = replacement;
    rule.replaceAll = all;
    rule.matchCase = matchCase;
    return rule;
}

ReplaceRule Expression(const wchar_t* search, const wchar_t* replacement, bool all = true, bool matchCase = false)
{
    ReplaceRule rule = Plain(search, replacement, all, matchCase);
    rule.regex = true;
    return rule;
}

ReplaceRule In(ReplaceRule rule, ReplaceScope scope)
{
    rule.scope = scope;
    return rule;
}

ReplaceRule Formatting(TextFormat format, ReplaceRule rule = {})
{
    rule.format = format;
    return rule;
}

void ExpectCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        CompiledReplace compiled = CompileReplaceRule(c.rule);
        EXPECT_TRUE(compiled.Error().empty()) << Narrow(c.rule.search) << ": " << Narrow(compiled.Error());
        EXPECT_EQ(ReplacedName(c.name, c.isFolder, compiled), c.expected)
            << Narrow(c.name) << " with " << Narrow(c.rule.search) << " -> " << Narrow(c.rule.replacement);
    }
}

} // namespace

TEST(ReplaceRule, PlainTextAndExpressionsFirstOrAllWithOrWithoutCase)
{
    ExpectCases({
        {L"IMG_0001.jpg", Plain(L"IMG_", L"Holiday 2026 - "), L"Holiday 2026 - 0001.jpg"},
        {L"a-b-c.txt", Plain(L"-", L"+"), L"a+b+c.txt"},
        {L"a-b-c.txt", Plain(L"-", L"+", false), L"a+b-c.txt"},
        // Letters match whatever their case unless case matters, beyond ASCII too.
        {L"ÉTÉ été.txt", Plain(L"été", L"summer"), L"summer summer.txt"},
        {L"ÉTÉ été.txt", Plain(L"été", L"summer", true, true), L"ÉTÉ summer.txt"},
        // Plain text is taken literally: no pattern, no $ in the replacement.
        {L"a.b(c)*.txt", Plain(L".b(c)*", L"$&$1"), L"a$&$1.txt"},
        // The replaced text is not searched again.
        {L"aaa.txt", Plain(L"a", L"aa"), L"aaaaaa.txt"},
        // Expressions, with groups and the replacement's special forms.
        {L"Artist - Title.mp3", Expression(L"^(.+) - (.+)$", L"$2 - $1"), L"Title - Artist.mp3"},
        {L"IMG_0001.jpg", Expression(L"\\d+", L"<$&>"), L"IMG_<0001>.jpg"},
        {L"price.txt", Expression(L"price", L"$$5"), L"$5.txt"},
        {L"a1b22c333.txt", Expression(L"[0-9]+", L"#"), L"a#b#c#.txt"},
        {L"a1b22c333.txt", Expression(L"[0-9]+", L"#", false), L"a#b22c333.txt"},
        {L"ABC.txt", Expression(L"b", L"x"), L"AxC.txt"},
        {L"ABC.txt", Expression(L"b", L"x", true, true), L"ABC.txt"},
        {L"ÉTÉ.txt", Expression(L"é", L"e"), L"eTe.txt"},
        {L"ABC.txt", Expression(L"[a-z]+", L"x"), L"x.txt"},
        {L"ABC.txt", Expression(L"[a-z]+", L"x", true, true), L"ABC.txt"},
        {L"ÄÖ.txt", Expression(L"[ä-ö]+", L"x"), L"x.txt"},
        // ^ and \b see the whole name, also past the first match.
        {L"ab ab.txt", Expression(L"^ab", L"X"), L"X ab.txt"},
        {L"ab cab.txt", Expression(L"\\bab", L"X"), L"X cab.txt"},
        // Empty matches are taken once per position as JavaScript takes them: "abc".replace(/x*/g, "-")
        // is "-a-b-c-"; without g only the first, empty, match.
        {L"abc", In(Expression(L"x*", L"-"), ReplaceScope::WholeName), L"-a-b-c-"},
        {L"abc", In(Expression(L"x*", L"-", false), ReplaceScope::WholeName), L"-abc"},
        // "baaac".replace(/a*/g, "-") is "-b--c-".
        {L"baaac", In(Expression(L"a*", L"-"), ReplaceScope::WholeName), L"-b--c-"},
        {L"name.txt", Expression(L"^", L"IMG_"), L"IMG_name.txt"},
        {L"name.txt", Expression(L"$", L"_old"), L"name_old.txt"},
        // No search text: the replacement takes the whole part, as it is typed, braces doubled read once.
        {L"name.txt", Expression(L"", L"+$1{{x}}"), L"+$1{x}.txt"},
        {L"name.txt", In(Plain(L"", L"new"), ReplaceScope::WholeName), L"new"},
        {L"README", In(Plain(L"", L"md"), ReplaceScope::ExtensionOnly), L"README"},
        {L"a-b.txt", Plain(L"-", L"{{-}}"), L"a{-}b.txt"},
    });
}

TEST(ReplaceRule, ScopeIsTheNameWithoutExtensionTheExtensionOrTheWholeName)
{
    ReplaceRule dots = Plain(L".", L"_");
    ReplaceRule upper = Formatting(TextFormat::Uppercase);
    ExpectCases({
        {L"a.b.tar.gz", dots, L"a_b_tar.gz"},
        {L"a.b.tar.gz", In(dots, ReplaceScope::ExtensionOnly), L"a.b.tar.gz"},
        {L"a.b.tar.gz", In(dots, ReplaceScope::WholeName), L"a_b_tar_gz"},
        {L"photo.jpeg", In(Plain(L"jpeg", L"jpg"), ReplaceScope::ExtensionOnly), L"photo.jpg"},
        // A name whose only dot comes first has no extension; nor has a name without a dot.
        {L".profile", upper, L".PROFILE"},
        {L".profile", In(upper, ReplaceScope::ExtensionOnly), L".profile"},
        {L"README", In(upper, ReplaceScope::ExtensionOnly), L"README"},
        {L"name.", In(Expression(L"^$", L"txt"), ReplaceScope::ExtensionOnly), L"name.txt"},
        // A folder's name is all name: a dot in it starts no extension.
        {L"v1.2", dots, L"v1_2", true},
        {L"v1.2", In(dots, ReplaceScope::ExtensionOnly), L"v1.2", true},
    });
}

TEST(ReplaceRule, FormattingAppliesAfterTheReplacementToTheSamePart)
{
    ExpectCases({
        {L"the_quick_fox.txt", Formatting(TextFormat::TitleCase, Plain(L"_", L" ")), L"The Quick Fox.txt"},
        {L"don't stop 2nd-rock 'n' roll.txt", Formatting(TextFormat::TitleCase), L"Don't Stop 2nd-Rock 'N' Roll.txt"},
        {L"ÉCOLE été.txt", Formatting(TextFormat::TitleCase), L"École Été.txt"},
        {L"Mixed Case.JPG", Formatting(TextFormat::Lowercase), L"mixed case.JPG"},
        {L"Mixed Case.JPG", In(Formatting(TextFormat::Lowercase), ReplaceScope::WholeName), L"mixed case.jpg"},
        {L"straße été.txt", Formatting(TextFormat::Uppercase), L"STRAßE ÉTÉ.txt"},
        {L"01 ünter wEG.txt", Formatting(TextFormat::CapitalizeFirst), L"01 Ünter wEG.txt"},
        {L"photo.jpg", In(Formatting(TextFormat::Uppercase), ReplaceScope::ExtensionOnly), L"photo.JPG"},
    });
}

TEST(ReplaceRule, AnInvalidExpressionGivesTheReasonAndChangesNothing)
{
    for (const wchar_t* search : {L"(", L"[a-", L"a{2,1}", L"*"}) {
        CompiledReplace compiled = CompileReplaceRule(Expression(search, L"x"));
        EXPECT_EQ(compiled.Error().rfind(L"Not a valid regular expression: ", 0), 0u) << Narrow(compiled.Error());
        EXPECT_TRUE(compiled.ChangesNothing());
        EXPECT_EQ(ReplacedName(L"a(b", false, compiled), L"a(b");
    }
    EXPECT_TRUE(CompileReplaceRule(Plain(L"(", L"x")).Error().empty());
    EXPECT_TRUE(CompileReplaceRule(Plain(L"", L"")).ChangesNothing());
    EXPECT_FALSE(CompileReplaceRule(Plain(L"", L"x")).ChangesNothing());
    // A replacement whose tokens cannot be read changes nothing either, and says why.
    CompiledReplace badToken = CompileReplaceRule(Plain(L"a", L"{nope}"));
    EXPECT_TRUE(badToken.ChangesNothing());
    EXPECT_TRUE(badToken.Error().empty());
    EXPECT_FALSE(badToken.ReplacementError().empty());
    EXPECT_FALSE(CompileReplaceRule(Formatting(TextFormat::Lowercase, Plain(L"", L"x"))).ChangesNothing());
}

TEST(ReplaceRule, AMatchThatRunsTooLongIsGivenUpWhenItsWatchSaysSo)
{
    // (a*)*b takes time exponential in the length of a name of a's (seconds for these sixteen):
    // the watch ends it at its third question.
    for (bool matchCase : {false, true}) {
        CompiledReplace compiled = CompileReplaceRule(Expression(L"(a*)*b", L"x", true, matchCase));
        int asked = 0;
        std::function<bool()> cancelled = [&asked] { return ++asked == 3; };
        MatchWatch watch(cancelled);
        EXPECT_THROW(ReplacedName(std::wstring(16, L'a'), false, compiled), MatchCancelled);
        EXPECT_EQ(asked, 3);
    }
}
