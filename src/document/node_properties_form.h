// The Properties dialog of a program header, without the window: its fields, rules and OK.
#pragma once

#include "document/header_record.h"

#include <array>
#include <string>

namespace rux {

class CTargetLibrary;
class CLibraryService;
class CMessageSink;

// The dialog binds one widget to each control and asks this model what to show.
class CNodePropertiesForm {
public:
    enum EControl : int {
        kAuthor,
        kCompany,
        kTitle,
        kVersion,
        kLibraryName,
        kUserProgEnabled,
        kDebug,
        kV3,
        kSource,
        kBuildAsLibrary,
        kFixedPoint,
        kClonable,
        kControlCount
    };

    enum class EOkResult {
        Accepted,   // close the dialog; write back unless read-only
        StayLibrary // stay open, library edit fully selected, scrolled to the caret and focused
    };

    // Fills the form from the header and asks the target library about the header's Type.
    CNodePropertiesForm(const CRuxHeader& header, CTargetLibrary& target, bool readOnly);

    bool IsReadOnly() const { return m_readOnly; }
    bool IsVisible(EControl control) const { return m_visible[control]; }
    bool IsEnabled(EControl control) const { return m_enabled[control]; }
    static bool IsCheckBox(EControl control) {
        return control >= kUserProgEnabled && control < kControlCount;
    }
    static bool IsEdit(EControl control) { return control <= kLibraryName; }

    bool GetCheck(EControl control) const { return m_checked[control]; }
    // The user clicks a box; refused (false) when it is hidden or disabled.
    bool SetCheck(EControl control, bool checked);
    const std::string& GetText(EControl control) const { return m_text[control]; }
    // The user types into an edit; refused (false) when it is disabled.
    // False for a box that is not an enabled edit box, and for text holding a line break.
    bool SetText(EControl control, std::string text);

    // Resource number of a check box's tool tip; 0 for an edit.
    static int ToolTipId(EControl control);

    // OK: validates the library name (creating a new library through the service) and tells the
    // dialog whether to close. Messages go to the sink.
    EOkResult OnOk(CLibraryService& libraries, CMessageSink& messages) const;

    // Writes the accepted values into a header. Does nothing to a read-only form.
    void WriteBack(CRuxHeader& header) const;

    // The library name when the dialog opened.
    const std::string& LibraryAtOpen() const { return m_libraryAtOpen; }

private:
    void ApplyLibraryState(bool restoreBoxes);

    std::array<std::string, kControlCount> m_text{};
    std::array<bool, kControlCount> m_checked{};
    std::array<bool, kControlCount> m_visible{};
    std::array<bool, kControlCount> m_enabled{};
    std::string m_libraryAtOpen;
    bool m_debugAtOpen = false;
    bool m_sourceAtOpen = false;
    bool m_librarySupported = false;
    bool m_readOnly = false;
};

} // namespace rux
