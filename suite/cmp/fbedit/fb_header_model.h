// The function block header being edited: outputs, block name and inputs, their rules and limits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

// What is wrong with a header, the first problem found, in the order the dialog shows its fields.
enum class EFbHeaderProblem {
    None,
    TooManyOutputs,
    BadOutputName,
    DuplicateName,
    NameMissing,
    BadBlockName,
    TooManyInputs,
    BadInputName,
    TooLong,
};

class CFbHeaderModel {
public:
    // The header buffer of the compiler library holds this many bytes, the terminating zero included.
    static constexpr size_t kBufferSize = 256;

    // Negative limits count as 0. The capability value is the target's; it is kept for the caller
    // and does not change the rules.
    CFbHeaderModel(int maxParamIn, int maxParamOut, int capability = 1);

    // Takes the fields from an existing header text: "(o1%, o2) = _Name(i1, i2%)", "o% = _Name(i)"
    // or "_Name()". False when the text has no parameter list; the fields then hold what could be
    // read (an empty text leaves them empty).
    bool Parse(std::string_view header);

    const std::string& Name() const { return m_name; }
    void SetName(std::string_view name);
    const std::vector<std::string>& Inputs() const { return m_inputs; }
    const std::vector<std::string>& Outputs() const { return m_outputs; }
    // The parameter fields are lists separated by commas; blanks around names are dropped and so
    // are empty entries, so "a, , b," names two parameters.
    void SetInputs(std::string_view list);
    void SetOutputs(std::string_view list);
    static std::string JoinList(const std::vector<std::string>& names);

    int MaxParamIn() const { return m_maxIn; }
    int MaxParamOut() const { return m_maxOut; }
    int Capability() const { return m_capability; }

    // "_Name(a, b%)", "out% = _Name(a)", "(o1, o2%) = _Name()".
    std::string HeaderText() const;
    EFbHeaderProblem Check() const;
    bool IsValid() const { return Check() == EFbHeaderProblem::None; }
    // The sentence the dialog shows for a problem; empty for None.
    static std::string ProblemText(EFbHeaderProblem problem, const CFbHeaderModel& model);

    // "_" then a letter, then letters, digits and "_".
    static bool IsValidBlockName(std::string_view name);
    // A letter, then letters, digits, "_" and "."; an integer parameter ends in "%".
    static bool IsValidParamName(std::string_view name);

private:
    static std::vector<std::string> SplitList(std::string_view list);

    std::string m_name;
    std::vector<std::string> m_inputs;
    std::vector<std::string> m_outputs;
    int m_maxIn;
    int m_maxOut;
    int m_capability;
};

} // namespace rux
