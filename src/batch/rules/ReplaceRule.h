// Find and Replace in names: what the user asks for, and the new name it gives an entry.
#pragma once

#include "ReplaceTokens.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The part of a name the replacement and the formatting apply to. The extension is the text after
// the last dot; a name whose only dot comes first (".profile") and a folder's name have none.
enum class ReplaceScope : std::uint8_t {
    NameWithoutExtension = 0, // a folder: its whole name
    ExtensionOnly = 1,        // a folder, or a file without an extension: unchanged
    WholeName = 2,
};

// Applied after the replacement, to the same part. Letters beyond ASCII are cased as the platform
// cases them. A word is a run of letters and digits; an apostrophe between two of them stays
// inside the word ("don't").
enum class TextFormat : std::uint8_t {
    None = 0,
    Lowercase = 1,
    Uppercase = 2,
    TitleCase = 3,       // the first unit of each word upper, the rest lower
    CapitalizeFirst = 4, // the first letter upper, the rest as it is
};

struct ReplaceRule {
    // Empty: with a replacement, the whole part is replaced; without one, the formatting alone applies.
    std::wstring search;
    // As typed: tokens in braces ({n}, {taken:yyyy-MM-dd}, ...), filled in per entry; with regex and a
    // search, $1, $& and $$ as in JavaScript.
    std::wstring replacement;
    bool regex = false;       // ECMAScript syntax
    bool matchCase = false;   // else letters match whatever their case, as the file system folds them
    bool replaceAll = true;   // every match, else the first only
    ReplaceScope scope = ReplaceScope::NameWithoutExtension;
    TextFormat format = TextFormat::None;
    bool modifiedForTaken = false; // {taken} of a file without a date taken: its modified date
};

// A rule made ready for many names: its expression compiled once. Move-only.
class CompiledReplace {
public:
    CompiledReplace();
    ~CompiledReplace();
    CompiledReplace(CompiledReplace&&) noexcept;
    CompiledReplace& operator=(CompiledReplace&&) noexcept;

    // Why the expression cannot be used, in the platform's words; empty when it can.
    const std::wstring& Error() const;
    // Why the replacement's tokens cannot be used; empty when they can.
    const std::wstring& ReplacementError() const;
    // True when no name can change: no search text, replacement or formatting, or an unusable
    // expression or replacement.
    bool ChangesNothing() const;
    // The replacement as read, when it holds tokens to fill in per entry; else none.
    const ParsedReplacement* Tokens() const;
    // True when a token's value goes through the expression's $ codes, so its own $ must be doubled.
    bool DollarsDoubled() const;
    // The rule's modifiedForTaken.
    bool ModifiedForTaken() const;

    struct Compiled; // the rule and its expression, known only where they are made and used
    explicit CompiledReplace(std::unique_ptr<Compiled> compiled);
    const Compiled* Get() const { return compiled_.get(); }

private:
    std::unique_ptr<Compiled> compiled_;
};

// Thrown out of ReplacedName when the MatchWatch of the thread says the match is no longer wanted.
struct MatchCancelled {};

// While it lives, the matching of expressions on this thread asks cancelled now and then, and gives
// up by throwing MatchCancelled when it returns true. An expression such as (a*)*b can take time
// exponential in a name's length, which no check between names would cut short.
class MatchWatch {
public:
    explicit MatchWatch(const std::function<bool()>& cancelled); // which must outlive the watch
    ~MatchWatch();
    MatchWatch(const MatchWatch&) = delete;
    MatchWatch& operator=(const MatchWatch&) = delete;

private:
    const std::function<bool()>* previous_;
};

// Why an expression cannot be used when the library gives up on matching it, there or later.
std::wstring TooComplexExpressionText();

// Never throws for a bad expression: the compiled rule then carries the reason.
CompiledReplace CompileReplaceRule(const ReplaceRule& rule);

// The name the rule gives an entry named name; the name itself when nothing matches. Matches of an
// expression that can match the empty string are taken as JavaScript's String.prototype.replace
// takes them: each position at most once, so the replacing always ends. May throw std::regex_error
// where the library gives up on a match (too complex), and MatchCancelled (see MatchWatch).
std::wstring ReplacedName(std::wstring_view name, bool isFolder, const CompiledReplace& rule);
// True when the rule's replacement goes into the name: the search matches the part it applies to
// (or is empty). Throws as ReplacedName does.
bool ReplacementApplies(std::wstring_view name, bool isFolder, const CompiledReplace& rule);
// The same into newName, whose room a plan worked out again and again uses anew. replacement, when
// given, is the rule's replacement with its tokens filled in for this entry.
void ReplaceName(std::wstring_view name, bool isFolder, const CompiledReplace& rule, std::wstring& newName,
                 const std::wstring* replacement = nullptr);
