// Splits one line of program text into coloured runs for the painter.
#pragma once

#include "editor/colour_class.h"
#include "document/identifier_lookup.h"
#include "editor/keyword_table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

class CItem;

// A piece of the line: bytes [offset, offset + length) in one colour class. Selected runs are
// drawn in the selection's contrast colour whatever their class.
struct CColourRun {
    uint32_t offset;
    uint32_t length;
    EColourClass colour;
    bool selected;

    bool operator==(const CColourRun&) const = default;
};

enum EClassifyFlags : unsigned {
    kClassifyError = 1,    // the line carries a build error
    kClassifyNotes = 2,    // the line lies in a notes section
    kClassifyKeywords = 4, // the view colours keywords (a program file)
};

// Selection columns count from 1; the bytes of columns [selStart, selEnd) are selected. The painter
// passes 1 for a selection that began on an earlier line and anything past the end for one that
// continues below. selStart >= selEnd means nothing on this line is selected.
//
// `runs` is cleared and refilled; callers keep it between lines so that painting allocates nothing
// once it has grown. Word runs that would be empty are left out: they draw nothing.
void ClassifyLine(std::string_view text, int selStart, int selEnd, unsigned flags,
                  const CIdentifierLookup* identifiers, const CKeywordTable& keywords,
                  std::vector<CColourRun>& runs);

// The error and notes flags of a text line item; the keyword flag comes from the view.
unsigned ClassifyFlagsFor(const CItem& item, bool keywordColouring);

// Keywords are coloured only in program files: the name's extension after its last '.' is "rux"
// in any case.
bool IsKeywordColouringEnabled(std::string_view fileName);

// Items drawn in one colour without classification: the program header in Read Only, section
// header and footer lines in Text. 0 for items whose text is classified.
int FixedItemColour(const CItem& item);

} // namespace rux
