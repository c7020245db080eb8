#include "fb_header_model.h"

#include <algorithm>

namespace rux {
namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Upper(x) == Upper(y);
           });
}

} // namespace

CFbHeaderModel::CFbHeaderModel(int maxParamIn, int maxParamOut, int capability)
    : m_maxIn(std::max(maxParamIn, 0)), m_maxOut(std::max(maxParamOut, 0)), m_capability(capability) {}

std::vector<std::string> CFbHeaderModel::SplitList(std::string_view list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string_view::npos) comma = list.size();
        const std::string_view name = Trim(list.substr(start, comma - start));
        if (!name.empty()) names.emplace_back(name);
        start = comma + 1;
    }
    return names;
}

std::string CFbHeaderModel::JoinList(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        if (!out.empty()) out += ", ";
        out += name;
    }
    return out;
}

void CFbHeaderModel::SetName(std::string_view name) {
    m_name = std::string(Trim(name));
}
void CFbHeaderModel::SetInputs(std::string_view list) {
    m_inputs = SplitList(list);
}
void CFbHeaderModel::SetOutputs(std::string_view list) {
    m_outputs = SplitList(list);
}

bool CFbHeaderModel::Parse(std::string_view header) {
    header = Trim(header);
    m_name.clear();
    m_inputs.clear();
    m_outputs.clear();
    if (header.empty()) return false;

    // The block's own parameter list is the first "(" after the "=" (an output list may be
    // bracketed too); without "=" it is the first "(".
    const size_t equals = header.find('=');
    const size_t nameStart = equals == std::string_view::npos ? 0 : equals + 1;
    if (equals != std::string_view::npos) {
        std::string_view outputs = Trim(header.substr(0, equals));
        if (outputs.size() >= 2 && outputs.front() == '(' && outputs.back() == ')')
            outputs = outputs.substr(1, outputs.size() - 2);
        SetOutputs(outputs);
    }
    const size_t open = header.find('(', nameStart);
    if (open == std::string_view::npos) {
        SetName(header.substr(nameStart));
        return false;
    }
    SetName(header.substr(nameStart, open - nameStart));
    const size_t close = header.find(')', open);
    SetInputs(header.substr(open + 1, (close == std::string_view::npos ? header.size() : close) - open - 1));
    return close != std::string_view::npos;
}

std::string CFbHeaderModel::HeaderText() const {
    // Appended piece by piece: GCC 12 at -O3 misreads `"(" + string` as an overlapping copy.
    std::string out;
    if (m_outputs.size() == 1) {
        out.append(m_outputs.front()).append(" = ");
    } else if (m_outputs.size() > 1) {
        out.append("(").append(JoinList(m_outputs)).append(") = ");
    }
    out.append(m_name).append("(").append(JoinList(m_inputs)).append(")");
    return out;
}

bool CFbHeaderModel::IsValidBlockName(std::string_view name) {
    if (name.size() < 2 || name[0] != '_' || !IsLetter(name[1])) return false;
    return std::all_of(name.begin() + 2, name.end(), [](char c) { return IsLetter(c) || IsDigit(c) || c == '_'; });
}

bool CFbHeaderModel::IsValidParamName(std::string_view name) {
    if (!name.empty() && name.back() == '%') name.remove_suffix(1);
    if (name.empty() || !IsLetter(name[0])) return false;
    return std::all_of(name.begin() + 1, name.end(),
                       [](char c) { return IsLetter(c) || IsDigit(c) || c == '_' || c == '.'; });
}

EFbHeaderProblem CFbHeaderModel::Check() const {
    if (m_outputs.size() > static_cast<size_t>(m_maxOut)) return EFbHeaderProblem::TooManyOutputs;
    if (!std::all_of(m_outputs.begin(), m_outputs.end(), [](const std::string& n) { return IsValidParamName(n); }))
        return EFbHeaderProblem::BadOutputName;
    if (m_name.empty()) return EFbHeaderProblem::NameMissing;
    if (!IsValidBlockName(m_name)) return EFbHeaderProblem::BadBlockName;
    if (m_inputs.size() > static_cast<size_t>(m_maxIn)) return EFbHeaderProblem::TooManyInputs;
    if (!std::all_of(m_inputs.begin(), m_inputs.end(), [](const std::string& n) { return IsValidParamName(n); }))
        return EFbHeaderProblem::BadInputName;
    // Inputs and outputs are variables of one block: a name may appear once, in any case, since
    // names that differ only in case are taken for a typing error.
    std::vector<std::string> all = m_outputs;
    all.insert(all.end(), m_inputs.begin(), m_inputs.end());
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j)
            if (EqualNoCase(all[i], all[j])) return EFbHeaderProblem::DuplicateName;
    if (HeaderText().size() >= kBufferSize) return EFbHeaderProblem::TooLong;
    return EFbHeaderProblem::None;
}

std::string CFbHeaderModel::ProblemText(EFbHeaderProblem problem, const CFbHeaderModel& model) {
    switch (problem) {
    case EFbHeaderProblem::None: return {};
    case EFbHeaderProblem::TooManyOutputs:
        return "A function block of this target has at most " + std::to_string(model.m_maxOut) + " outputs.";
    case EFbHeaderProblem::BadOutputName:
        return "An output name starts with a letter and holds letters, digits, \"_\" and \".\" (\"%\" at the end "
               "for an integer).";
    case EFbHeaderProblem::DuplicateName: return "Each input and output needs a name of its own.";
    case EFbHeaderProblem::NameMissing: return "Type the name of the function block.";
    case EFbHeaderProblem::BadBlockName:
        return "The block name starts with \"_\" and a letter, followed by letters, digits and \"_\".";
    case EFbHeaderProblem::TooManyInputs:
        return "A function block of this target has at most " + std::to_string(model.m_maxIn) + " inputs.";
    case EFbHeaderProblem::BadInputName:
        return "An input name starts with a letter and holds letters, digits, \"_\" and \".\" (\"%\" at the end "
               "for an integer).";
    case EFbHeaderProblem::TooLong:
        return "The header is longer than " + std::to_string(kBufferSize - 1) + " characters.";
    }
    return {};
}

} // namespace rux
