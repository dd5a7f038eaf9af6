// In-place trimming of leading and trailing characters of a set.
#include "Trim.h"

void TrimLeading(std::wstring& text, std::wstring_view characterSet)
{
    size_t first = text.find_first_not_of(characterSet);
    text.erase(0, first == std::wstring::npos ? text.size() : first);
}

void TrimTrailing(std::wstring& text, std::wstring_view characterSet)
{
    size_t last = text.find_last_not_of(characterSet);
    text.erase(last == std::wstring::npos ? 0 : last + 1);
}

std::wstring SplitNextToken(std::wstring_view& rest, std::wstring_view separators)
{
    size_t begin = rest.find_first_not_of(separators);
    if (begin == std::wstring_view::npos) {
        rest = std::wstring_view();
        return std::wstring();
    }
    size_t end = rest.find_first_of(separators, begin);
    if (end == std::wstring_view::npos)
        end = rest.size();
    std::wstring token(rest.substr(begin, end - begin));
    rest.remove_prefix(end);
    return token;
}
