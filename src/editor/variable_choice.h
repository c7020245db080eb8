// What the variable selection offers at the caret (Insert Variable, Ctrl+D): the names of the
// function block the caret is in, or of the whole program with the symbols of its last build.
#pragma once

#include <string>
#include <vector>

namespace rux {

class CRUXDocument;

class CVariableChoice {
public:
    // A caret in a user-defined function block (its header, body or footer) scopes the choice to
    // that block, whose names are listed at once: the build's symbols do not know its locals. Any
    // other caret lists the symbol file of the program's last build.
    CVariableChoice(const CRUXDocument& document, int caretItem);

    bool InFunctionBlock() const { return m_functionBlock; }
    // Sorted without regard to case; a name is listed once, as first spelt.
    const std::vector<std::string>& Names() const { return m_names; }
    // Adds the identifiers of the scope's lines (the block header's parameters included).
    void Scan();
    void Clear() { m_names.clear(); }

private:
    void Add(std::vector<std::string> names);

    const CRUXDocument& m_document;
    int m_first = 0;
    int m_last = -1;
    bool m_functionBlock = false;
    std::vector<std::string> m_names;
};

} // namespace rux
