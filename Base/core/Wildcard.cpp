#include "Base/core/Wildcard.h"

#include "Base/core/Strings.h"

#include <algorithm>
#include <vector>

namespace vKit
{
namespace
{

enum class Kind : unsigned char
{
    Literal,
    Star,    // "*" not followed by ".": any run
    DotStar, // "*" followed by ".": any run that leaves the last dot of the name alone
    Question,
    EndDot, // "." followed by "?", "*" or the end: a dot, or nothing at the end of the name
};

struct Token
{
    Kind kind;
    char upper;
};

std::vector<Token> Tokenize(std::string_view mask)
{
    std::vector<Token> tokens;
    tokens.reserve(mask.size());
    for (size_t i = 0; i < mask.size(); ++i)
    {
        const char c = mask[i];
        const char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
        if (c == '*')
            tokens.push_back({next == '.' ? Kind::DotStar : Kind::Star, 0});
        else if (c == '?')
            tokens.push_back({Kind::Question, 0});
        else if (c == '.' && (next == '?' || next == '*' || next == '\0'))
            tokens.push_back({Kind::EndDot, 0});
        else
            tokens.push_back({Kind::Literal, ToUpperAscii(c)});
    }
    return tokens;
}

// Adds the states reachable without consuming a character at the current place of the name.
void Close(const std::vector<Token>& tokens, std::vector<char>& states, bool atEnd, bool atDot)
{
    for (size_t s = 0; s < tokens.size(); ++s)
    {
        if (!states[s]) continue;
        const Kind k = tokens[s].kind;
        const bool skip = k == Kind::Star || k == Kind::DotStar ||
                          (k == Kind::Question && (atEnd || atDot)) || (k == Kind::EndDot && atEnd);
        if (skip) states[s + 1] = 1;
    }
}

} // namespace

bool HasWildcards(std::string_view mask)
{
    return mask.find_first_of("*?") != std::string_view::npos;
}

bool WildcardMatch(std::string_view mask, std::string_view name)
{
    if (mask.empty()) return false;
    const std::vector<Token> tokens = Tokenize(mask);
    const size_t lastDot = name.rfind('.');
    const size_t n = tokens.size();

    // A set of positions in the mask, advanced one name character at a time; states only move
    // forward, so one closure pass in mask order reaches everything.
    std::vector<char> states(n + 1, 0), next(n + 1, 0);
    states[0] = 1;
    for (size_t i = 0; i < name.size(); ++i)
    {
        const char c = name[i];
        Close(tokens, states, false, c == '.');
        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        for (size_t s = 0; s < n; ++s)
        {
            if (!states[s]) continue;
            const Token& t = tokens[s];
            switch (t.kind)
            {
            case Kind::Literal:
                if (ToUpperAscii(c) == t.upper) next[s + 1] = any = 1;
                break;
            case Kind::Star:
                next[s] = any = 1;
                break;
            case Kind::DotStar:
                if (i != lastDot) next[s] = any = 1;
                break;
            case Kind::Question:
                if (c != '.') next[s + 1] = any = 1;
                break;
            case Kind::EndDot:
                if (c == '.') next[s + 1] = any = 1;
                break;
            }
        }
        if (!any) return false;
        states.swap(next);
    }
    Close(tokens, states, true, false);
    return states[n] != 0;
}

} // namespace vKit
