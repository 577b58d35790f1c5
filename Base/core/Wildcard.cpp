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

using Token = CWildcardMask::SToken;

constexpr unsigned char Code(Kind k)
{
    return static_cast<unsigned char>(k);
}

constexpr Kind KindOf(const Token& t)
{
    return static_cast<Kind>(t.kind);
}

// One token per mask character into tokens.
void Tokenize(std::string_view mask, Token* tokens)
{
    for (size_t i = 0; i < mask.size(); ++i)
    {
        const char c = mask[i];
        const char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
        if (c == '*')
            tokens[i] = {Code(next == '.' ? Kind::DotStar : Kind::Star), 0};
        else if (c == '?')
            tokens[i] = {Code(Kind::Question), 0};
        else if (c == '.' && (next == '?' || next == '*' || next == '\0'))
            tokens[i] = {Code(Kind::EndDot), 0};
        else
            tokens[i] = {Code(Kind::Literal), ToUpperAscii(c)};
    }
}

// Adds the states reachable without consuming a character at the current place of the name,
// looking only at the live states from first on; returns one past the last live state.
size_t Close(const Token* tokens, size_t n, size_t first, size_t end, char* states, bool atEnd, bool atDot)
{
    for (size_t s = first; s < end && s < n; ++s)
    {
        if (!states[s]) continue;
        const Kind k = KindOf(tokens[s]);
        const bool skip = k == Kind::Star || k == Kind::DotStar ||
                          (k == Kind::Question && (atEnd || atDot)) || (k == Kind::EndDot && atEnd);
        if (skip)
        {
            states[s + 1] = 1;
            end = std::max(end, s + 2);
        }
    }
    return end;
}

// A set of positions in the mask (n tokens; states and next hold n + 1 flags), advanced one
// name character at a time; states only move forward, so one closure pass in mask order
// reaches everything. Only the window [first, end) of the flags can be set, which keeps a mask
// without stars to a few states per character.
bool Match(const Token* tokens, size_t n, char* states, char* next, std::string_view name)
{
    const size_t lastDot = name.rfind('.');
    std::fill(states, states + n + 1, 0);
    std::fill(next, next + n + 1, 0);
    states[0] = 1;
    size_t first = 0, end = 1;
    for (size_t i = 0; i < name.size(); ++i)
    {
        const char c = name[i];
        const char upper = ToUpperAscii(c);
        end = std::min(Close(tokens, n, first, end, states, false, c == '.'), n);
        size_t nextFirst = n + 1, nextEnd = 0;
        for (size_t s = first; s < end; ++s)
        {
            if (!states[s]) continue;
            states[s] = 0;
            const Token& t = tokens[s];
            size_t to = n + 1;
            switch (KindOf(t))
            {
            case Kind::Literal:
                if (upper == t.upper) to = s + 1;
                break;
            case Kind::Star:
                to = s;
                break;
            case Kind::DotStar:
                if (i != lastDot) to = s;
                break;
            case Kind::Question:
                if (c != '.') to = s + 1;
                break;
            case Kind::EndDot:
                if (c == '.') to = s + 1;
                break;
            }
            if (to > n) continue;
            next[to] = 1;
            nextFirst = std::min(nextFirst, to);
            nextEnd = std::max(nextEnd, to + 1);
        }
        states[n] = 0; // the end state consumes nothing
        if (nextEnd == 0) return false;
        std::swap(states, next);
        first = nextFirst;
        end = nextEnd;
    }
    Close(tokens, n, first, end, states, true, false);
    return states[n] != 0;
}

// Every token takes exactly one character: a name as long as the mask passes when each literal
// meets its letter and each "?" a character other than a dot. Failing that, a "?" or a final dot
// may still have matched nothing, which only the full match can tell.
bool MatchOneToOne(const Token* tokens, size_t n, std::string_view name)
{
    if (name.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
    {
        const Token& t = tokens[i];
        const bool ok = KindOf(t) == Kind::Literal    ? ToUpperAscii(name[i]) == t.upper
                        : KindOf(t) == Kind::Question ? name[i] != '.'
                                                      : false;
        if (!ok) return false;
    }
    return true;
}

// Tries the cheap letter-for-letter match first; the states live on the stack for short masks.
bool MatchTokens(const Token* tokens, size_t n, std::string_view name)
{
    if (MatchOneToOne(tokens, n, name)) return true;
    constexpr size_t Short = 64;
    if (n <= Short)
    {
        char states[Short + 1], next[Short + 1];
        return Match(tokens, n, states, next, name);
    }
    std::vector<char> states(n + 1), next(n + 1);
    return Match(tokens, n, states.data(), next.data(), name);
}

// Without wildcards and a final dot every character is a literal: the lookups of one name.
bool IsLiteralMask(std::string_view mask)
{
    return !HasWildcards(mask) && mask.back() != '.';
}

} // namespace

bool HasWildcards(std::string_view mask)
{
    for (const char c : mask)
        if (c == '*' || c == '?') return true;
    return false;
}

bool WildcardMatch(std::string_view mask, std::string_view name)
{
    return CWildcardMask(mask).Matches(name);
}

CWildcardMask::CWildcardMask(std::string_view mask) : m_strMask(mask)
{
    m_bLiteral = !mask.empty() && IsLiteralMask(mask);
    if (mask.empty() || m_bLiteral) return;
    m_tokens.resize(mask.size());
    Tokenize(mask, m_tokens.data());
    const std::string_view head = mask.substr(0, mask.size() - 1);
    m_bLiteralThenStar = mask.back() == '*' && (head.empty() || IsLiteralMask(head));
}

bool CWildcardMask::Matches(std::string_view name) const
{
    if (m_strMask.empty()) return false;
    if (m_bLiteral) return EqualsNoCase(m_strMask, name);
    if (m_bLiteralThenStar)
        return StartsWithNoCase(name, std::string_view(m_strMask).substr(0, m_strMask.size() - 1));
    return MatchTokens(m_tokens.data(), m_tokens.size(), name);
}

} // namespace vKit
