// What the program reader hands on, one element at a time, in file order. The document builds its
// items from it; the compiler keeps only kinds and texts.
#pragma once

#include "document/header_record.h"

#include <string>
#include <string_view>

namespace rux {

// A diagram block as read: the payload's lines end in CR LF; a payload of four bytes or fewer
// counts as none and is left empty.
struct CDiagramRecord {
    int kind = 0; // kDiagramQld or kDiagramFbd
    std::string payload;
    std::string title; // empty when the file gives none
    bool haveZoom = false;
    int zoom = 0;
    bool haveState = false;
    bool open = true;
};

// The fields of a section block, known once its end is reached.
struct CSectionRecord {
    std::string name; // trimmed: the header and its footer both show this text
    std::string helpLink;
    std::string fbDescription; // CR LF line ends
    int libVisible = 1;
    bool haveState = false;
    bool expanded = true;
};

// Between BeginSection and EndSection every text line and diagram belongs to that section; the
// section header stands before its members, the footer after them.
class CProgramSink {
public:
    virtual ~CProgramSink() = default;
    virtual void Header(CRuxHeader&& header) = 0;
    // The text of a ":" line (or of a plain-text program's line), terminator stripped. The view
    // lives until the next call.
    virtual void Text(std::string_view text) = 0;
    virtual void Diagram(CDiagramRecord&& diagram) = 0;
    virtual void BeginSection() = 0;
    virtual void EndSection(CSectionRecord&& section) = 0;
};

} // namespace rux
