// Splits one program line into tokens, the way the editor's colouring sees words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rux::cmp {

enum class Tok {
    End,
    Word,     // a name, keyword, parameter (#1.21), directive ($DEFINE) or block name (_Ramp)
    Int,      // integer literal (value in ival)
    Real,     // real literal (value in rval)
    String,   // "..." without the quotes
    Op,       // + - * / = <> < > <= >= ( ) , [ ] :
    Bad,      // a character or number the language does not know
};

struct Token {
    Tok kind = Tok::End;
    std::string text;     // as written (for String: the contents)
    int start = 0;        // 1-based column of the first character
    int end = 0;          // column after the last character
    int64_t ival = 0;
    double rval = 0;
    bool fromAlias = false;
};

bool IsWordChar(char c);

// The line without its comment: everything from the first ';' or "//" is dropped, even inside
// quotes.
std::string_view StripComment(std::string_view line);

// Tokenises a line (its comment already stripped). A malformed number becomes a Bad token with
// `text` holding what is wrong.
std::vector<Token> Tokenise(std::string_view line);

// Case-insensitive comparison of a word with an upper-case keyword.
bool IsWord(const Token& t, std::string_view upperKeyword);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Upper(std::string_view s);
std::string Lower(std::string_view s);

} // namespace rux::cmp
