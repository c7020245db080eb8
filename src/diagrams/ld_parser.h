// Reading the ladder text of a quick ladder diagram for the operands of its contacts and coils.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rux {

// A cursor over ladder text. The text must outlive the parser.
class CLdParser {
public:
    enum EToken : int { kEnd = 0, kWord = 1, kComment = 2, kSeparator = 3, kInstruction = 4 };
    // Longest word or comment handed out; longer ones are cut.
    static constexpr size_t kMaxToken = 255;

    // Puts the cursor just past the first "BOF" (any case), or at the end when there is none.
    void Start(std::string_view text);
    // The next token and its text: words upper-cased, comments without their "(*" "*)", both
    // trimmed of blanks; a separator is "(", "," or ";". "EOF" ends the text. Anything else, and
    // square-bracket groups as a whole, is skipped.
    int NextToken(std::string& text);
    // Reads on to the next contact or coil instruction (or a separator and the token after it)
    // whose following token is a comment, and gives that comment: the operand. False at the end.
    bool NextOperand(std::string& operand);

private:
    int Read(std::string& text);

    std::string_view m_text;
    size_t m_pos = 0;
    // One token read ahead and given back, so that a non-comment after an instruction is not lost.
    bool m_pushed = false;
    int m_pushedKind = kEnd;
    std::string m_pushedText;
};

// The names a quick ladder payload adds to the program's identifiers: every operand that starts
// with a letter, "_", "#" or "$", upper-cased; "NAME[...]" without a "." becomes "NAME[]", and a drive
// parameter reference "#menu.parameter[.bit]" loses the leading zeros of its numbers.
void ScanLadderIdentifiers(std::string_view payload, const std::function<void(std::string_view)>& add);

} // namespace rux
