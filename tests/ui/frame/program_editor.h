// A running editor with one small program of its own open, its window active and the program view
// focused: the state a user is in right after opening a file.
#pragma once

#include "editor_harness.h"

#include "../dialogs/dialog_test_support.h"
#include "document/rux_document.h"
#include "support/edit_harness.h"
#include "frame/mdi_child.h"
#include "view/rux_view.h"

#include <QApplication>
#include <QTest>

#include <string>
#include <vector>

namespace rux::test {

struct CProgramEditor {
    // `rows` as DialogProgram takes them, written to `name` in the scratch folder; `settings`, when
    // given, is the settings file the editor starts with.
    CProgramEditor(const std::string& name, const std::vector<std::string>& rows, const std::string& settings = {}) {
        if (!settings.empty()) h.WriteSettings(settings);
        path = h.Root() + "/" + name;
        CEditorHarness::Write(path, DialogProgram(rows));
        started = h.Start({path});
        if (!started) return;
        h.Frame().show();
        QApplication::setActiveWindow(&h.Frame());
        started = QTest::qWaitForWindowActive(&h.Frame());
        View().setFocus();
    }
    CRUXView& View() const { return *qobject_cast<CRUXView*>(h.Frame().Children().at(0)->View()); }
    CRUXDocument& Document() const { return View().Document(); }
    CEditSession& Session() const { return View().Session(); }
    // The text of every item, in order.
    std::vector<std::string> Lines() const { return ItemTexts(Document()); }
    std::string Text(int item) const { return Lines().at(static_cast<size_t>(item)); }

    CEditorHarness h;
    std::string path;
    bool started = false;
};

} // namespace rux::test
