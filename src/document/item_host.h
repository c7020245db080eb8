// What an item may ask of the view it is shown in when the user double-clicks it.
#pragma once

#include <string>

namespace rux {

class CDiag;
class CPar;
class CSectionHeader;

// The view implements this; the items stay free of any window code.
class CItemHost {
public:
    virtual ~CItemHost() = default;

    // Click position in row coordinates (x from the view's left edge, margin included).
    virtual int ClickX() const = 0;
    virtual int CaretColumn() const = 0;
    // Selects columns [fromCol, toCol) of the caret line.
    virtual void SelectColumns(int fromCol, int toCol) = 0;
    // False while the document is read-only or the view is online.
    virtual bool CanEdit() const = 0;
    virtual void Relayout() = 0;
    // The drive named in the program header, or empty.
    virtual std::string HeaderDrive() const = 0;
    // The compiler library's function block editor on a header text; true when it changed it.
    virtual bool EditFunctionBlockHeader(std::string& text) = 0;
    // The task dialog on a section header text; true on OK.
    virtual bool EditTaskHeader(std::string& text, const std::string& drive) = 0;
    // A header got a new text: its footer takes the same text.
    virtual void SectionRenamed(CSectionHeader& header) = 0;
    virtual void RebuildFunctionBlockMap() = 0;
    virtual void OpenNodeProperties(CPar& header) = 0;
    // Opens (or activates) the diagram window bound to the item.
    virtual void OpenDiagramEditor(CDiag& diagram) = 0;
};

} // namespace rux
