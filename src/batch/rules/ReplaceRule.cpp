// Find and Replace in names: the search, the replacement and the formatting of one name.
#include "ReplaceRule.h"

#include "UnitCase.h"

#include <windows.h>

#include <functional>
#include <iterator>
#include <optional>
#include <regex>
#include <vector>

namespace {

constexpr wchar_t kInvalidExpressionText[] = L"Not a valid regular expression: ";
constexpr wchar_t kTooComplexReason[] = L"it is too big or too complex";

// How many units a match compares between two questions whether it is still wanted.
constexpr unsigned kUnitsPerWatch = 4096;

// The watch of the matches on this thread, if any; see MatchWatch.
thread_local const std::function<bool()>* Watch = nullptr;
thread_local unsigned UnitsCompared = 0;

// Every unit a match compares passes through its traits, the one place a match that runs too long
// can be given up.
wchar_t Watched(wchar_t unit)
{
    if (Watch && ++UnitsCompared % kUnitsPerWatch == 0 && (*Watch)())
        throw MatchCancelled();
    return unit;
}

// The standard traits but for letter case, which the platform's folding decides (in ranges too,
// through transform), and for the watch. Expressions are compiled with collate, so that every
// unit compared goes through translate or translate_nocase.
template <bool Fold>
struct NameTraits : std::regex_traits<wchar_t> {
    wchar_t translate(wchar_t unit) const { return Watched(unit); }
    wchar_t translate_nocase(wchar_t unit) const { return UnitCase().upper[UnitIndex(Watched(unit))]; }
    template <typename Iterator>
    std::wstring transform(Iterator first, Iterator last) const
    {
        std::wstring text(first, last);
        if (Fold) {
            for (wchar_t& unit : text)
                unit = UnitCase().upper[UnitIndex(unit)];
        }
        return text;
    }
};
using FoldingExpression = std::basic_regex<wchar_t, NameTraits<true>>;
using ExactExpression = std::basic_regex<wchar_t, NameTraits<false>>;

bool IsWordUnit(wchar_t unit)
{
    return (UnitCase().type[UnitIndex(unit)] & (C1_ALPHA | C1_DIGIT)) != 0;
}

bool IsLetter(wchar_t unit)
{
    return (UnitCase().type[UnitIndex(unit)] & C1_ALPHA) != 0;
}

bool IsApostrophe(wchar_t unit)
{
    return unit == L'\'' || unit == L'\u2019';
}

// Formats text from the unit at from on, in place: casing never changes a name's length here, as
// the tables map unit to unit.
void Format(std::wstring& text, size_t from, TextFormat format)
{
    const UnitCaseTables& tables = UnitCase();
    switch (format) {
    case TextFormat::None:
        break;
    case TextFormat::Lowercase:
        for (size_t i = from; i < text.size(); ++i)
            text[i] = tables.lower[UnitIndex(text[i])];
        break;
    case TextFormat::Uppercase:
        for (size_t i = from; i < text.size(); ++i)
            text[i] = tables.upper[UnitIndex(text[i])];
        break;
    case TextFormat::TitleCase: {
        bool inWord = false;
        for (size_t i = from; i < text.size(); ++i) {
            wchar_t& unit = text[i];
            if (IsWordUnit(unit)) {
                unit = inWord ? tables.lower[UnitIndex(unit)] : tables.upper[UnitIndex(unit)];
                inWord = true;
            } else if (!(inWord && IsApostrophe(unit) && i + 1 < text.size() && IsWordUnit(text[i + 1]))) {
                inWord = false;
            }
        }
        break;
    }
    case TextFormat::CapitalizeFirst:
        for (size_t i = from; i < text.size(); ++i) {
            if (IsLetter(text[i])) {
                text[i] = tables.upper[UnitIndex(text[i])];
                break;
            }
        }
        break;
    }
}

std::wstring WideText(const char* text)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

// The library's reason, readable on its own: libstdc++ ends most with " in regular expression"
// and adds advice for its own builders to some.
std::wstring ReasonText(const std::regex_error& error)
{
    switch (error.code()) {
    case std::regex_constants::error_space:
    case std::regex_constants::error_complexity:
    case std::regex_constants::error_stack:
        return kTooComplexReason;
    default:
        break;
    }
    std::wstring reason = WideText(error.what());
    for (std::wstring_view tail : {L" in regular expression", L"."}) {
        if (reason.size() > tail.size() && reason.compare(reason.size() - tail.size(), tail.size(), tail) == 0)
            reason.resize(reason.size() - tail.size());
    }
    return reason;
}

} // namespace

std::wstring TooComplexExpressionText()
{
    return std::wstring(kInvalidExpressionText) + kTooComplexReason;
}

MatchWatch::MatchWatch(const std::function<bool()>& cancelled) : previous_(Watch)
{
    Watch = cancelled ? &cancelled : nullptr;
}

MatchWatch::~MatchWatch()
{
    Watch = previous_;
}

struct CompiledReplace::Compiled {
    ReplaceRule rule;
    std::wstring needle; // plain text: the search text, folded unless case matters
    // An expression: one of them, as case matters or not.
    std::optional<FoldingExpression> folding;
    std::optional<ExactExpression> exact;
    std::wstring error;
    ParsedReplacement parsed;
    std::wstring fixedReplacement; // the replacement's text when it holds no tokens, {{ read as {
    bool nothing = false;
};

CompiledReplace::CompiledReplace() = default;
CompiledReplace::~CompiledReplace() = default;
CompiledReplace::CompiledReplace(CompiledReplace&&) noexcept = default;
CompiledReplace& CompiledReplace::operator=(CompiledReplace&&) noexcept = default;
CompiledReplace::CompiledReplace(std::unique_ptr<Compiled> compiled) : compiled_(std::move(compiled)) {}

const std::wstring& CompiledReplace::Error() const
{
    static const std::wstring none;
    return compiled_ ? compiled_->error : none;
}

const std::wstring& CompiledReplace::ReplacementError() const
{
    static const std::wstring none;
    return compiled_ ? compiled_->parsed.error : none;
}

bool CompiledReplace::ChangesNothing() const
{
    return !compiled_ || compiled_->nothing;
}

const ParsedReplacement* CompiledReplace::Tokens() const
{
    return compiled_ && compiled_->parsed.HasTokens() ? &compiled_->parsed : nullptr;
}

bool CompiledReplace::ModifiedForTaken() const
{
    return compiled_ && compiled_->rule.modifiedForTaken;
}

bool CompiledReplace::DollarsDoubled() const
{
    return compiled_ && compiled_->rule.regex && !compiled_->rule.search.empty();
}

CompiledReplace CompileReplaceRule(const ReplaceRule& rule)
{
    auto compiled = std::make_unique<CompiledReplace::Compiled>();
    compiled->rule = rule;
    if (!rule.search.empty() && rule.regex) {
        auto flags = std::regex_constants::ECMAScript | std::regex_constants::collate;
        try {
            if (rule.matchCase)
                compiled->exact.emplace(rule.search, flags);
            else
                compiled->folding.emplace(rule.search, flags | std::regex_constants::icase);
        } catch (const std::regex_error& error) {
            compiled->error = kInvalidExpressionText + ReasonText(error);
        }
    } else if (!rule.search.empty()) {
        compiled->needle = rule.matchCase ? rule.search : FoldedName(rule.search);
    }
    compiled->parsed = ParseReplacement(rule.replacement);
    if (!compiled->parsed.HasTokens()) {
        for (const ReplacementPiece& piece : compiled->parsed.pieces)
            compiled->fixedReplacement += piece.text;
    }
    compiled->nothing = !compiled->error.empty() || !compiled->parsed.error.empty() ||
                        (rule.search.empty() && rule.replacement.empty() && rule.format == TextFormat::None);
    return CompiledReplace(std::move(compiled));
}

namespace {

// Appends text to out with the search text replaced.
void ReplacePlainText(std::wstring_view text, const CompiledReplace::Compiled& rule, const std::wstring& replacement,
                      std::wstring& out)
{
    thread_local std::wstring folded;
    std::wstring_view haystack = text;
    if (!rule.rule.matchCase) {
        FoldName(text, folded);
        haystack = folded;
    }
    size_t copied = 0;
    for (size_t at = haystack.find(rule.needle); at != std::wstring_view::npos; at = haystack.find(rule.needle, copied)) {
        out.append(text.substr(copied, at - copied)).append(replacement);
        copied = at + rule.needle.size();
        if (!rule.rule.replaceAll)
            break;
    }
    out.append(text.substr(copied));
}

// Appends text to out with the expression's matches replaced, as JavaScript replaces: after an
// empty match the next search starts one unit further on, so each position matches at most once
// and the loop ends.
template <typename Expression>
void ReplaceMatches(std::wstring_view text, const Expression& expression, const ReplaceRule& rule,
                    const std::wstring& replacement, std::wstring& out)
{
    const wchar_t* begin = text.data();
    const wchar_t* end = begin + text.size();
    const wchar_t* copied = begin;
    const wchar_t* from = begin;
    std::match_results<const wchar_t*> match;
    for (;;) {
        // Past the start, the unit before counts for ^ and \b as the rest of the name.
        auto flags = from == begin ? std::regex_constants::match_default : std::regex_constants::match_prev_avail;
        if (!std::regex_search(from, end, match, expression, flags))
            break;
        const wchar_t* at = match[0].first;
        const wchar_t* after = match[0].second;
        out.append(copied, at);
        match.format(std::back_inserter(out), replacement);
        copied = after;
        if (!rule.replaceAll)
            break;
        if (after != at)
            from = after;
        else if (after == end)
            break;
        else
            from = after + 1;
    }
    out.append(copied, end);
}

} // namespace

namespace {

// The part of name the rule applies to, from first to last; false when it applies to none.
bool PartOf(std::wstring_view name, bool isFolder, const CompiledReplace::Compiled* compiled, size_t& first, size_t& last)
{
    size_t dot = isFolder ? std::wstring_view::npos : name.find_last_of(L'.');
    bool hasExtension = dot != std::wstring_view::npos && dot > 0;
    bool extensionOnly = compiled && compiled->rule.scope == ReplaceScope::ExtensionOnly;
    if (!compiled || compiled->nothing || (extensionOnly && !hasExtension))
        return false;
    first = extensionOnly ? dot + 1 : 0;
    last = compiled->rule.scope == ReplaceScope::NameWithoutExtension && hasExtension ? dot : name.size();
    return true;
}

} // namespace

void ReplaceName(std::wstring_view name, bool isFolder, const CompiledReplace& rule, std::wstring& newName,
                 const std::wstring* replacement)
{
    const CompiledReplace::Compiled* compiled = rule.Get();
    size_t first = 0;
    size_t last = 0;
    if (!PartOf(name, isFolder, compiled, first, last)) {
        newName.assign(name);
        return;
    }
    std::wstring_view part = name.substr(first, last - first);
    newName.assign(name.substr(0, first));
    const std::wstring& with = replacement ? *replacement : compiled->fixedReplacement;
    if (compiled->rule.search.empty())
        newName.append(compiled->rule.replacement.empty() ? part : std::wstring_view(with));
    else if (compiled->folding)
        ReplaceMatches(part, *compiled->folding, compiled->rule, with, newName);
    else if (compiled->exact)
        ReplaceMatches(part, *compiled->exact, compiled->rule, with, newName);
    else
        ReplacePlainText(part, *compiled, with, newName);
    Format(newName, first, compiled->rule.format);
    newName.append(name.substr(last));
}

bool ReplacementApplies(std::wstring_view name, bool isFolder, const CompiledReplace& rule)
{
    const CompiledReplace::Compiled* compiled = rule.Get();
    size_t first = 0;
    size_t last = 0;
    if (!PartOf(name, isFolder, compiled, first, last))
        return false;
    if (compiled->rule.search.empty())
        return !compiled->rule.replacement.empty();
    std::wstring_view part = name.substr(first, last - first);
    const wchar_t* begin = part.data();
    const wchar_t* end = begin + part.size();
    if (compiled->folding)
        return std::regex_search(begin, end, *compiled->folding);
    if (compiled->exact)
        return std::regex_search(begin, end, *compiled->exact);
    if (compiled->rule.matchCase)
        return part.find(compiled->needle) != std::wstring_view::npos;
    return FoldedName(part).find(compiled->needle) != std::wstring::npos;
}

std::wstring ReplacedName(std::wstring_view name, bool isFolder, const CompiledReplace& rule)
{
    std::wstring newName;
    ReplaceName(name, isFolder, rule, newName);
    return newName;
}
