// What a double-click on an item asks for. The item only answers; the editor asks the user where
// that is needed and applies the change as one edit, so no item code runs while a dialog is open.
#pragma once

namespace rux {

enum class EDoubleClick {
    Nothing,
    SelectColumns,  // select columns [fromCol, toCol) of the row
    ToggleFold,     // fold or unfold the section, or open or close the diagram preview
    RenameSection,  // a new header text from the task dialog or the function block editor
    NodeProperties, // the Properties dialog of the program header
    OpenDiagram,    // open the diagram's window, or bring it to the front
};

struct CDoubleClickRequest {
    EDoubleClick action = EDoubleClick::Nothing;
    int fromCol = 0;
    int toCol = 0;
};

} // namespace rux
