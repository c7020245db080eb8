// A program document loaded from compact rows, shown in a real view with its own settings.
#pragma once

#include "document/program_file.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"
#include "view/rux_view.h"
#include "view/view_environment.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace rux::test {

struct CViewFixture {
    CTempDir dir;
    CViewEnvironment env;
    CRUXDocument doc;
    std::unique_ptr<CRUXView> view;

    explicit CViewFixture(const std::vector<std::string>& rows, const std::string& name = "prog.rux",
                          QSize size = QSize(640, 360)) {
        env.Options().SetOption(OPT_AUTO_INDENT, 1);
        Open(ProgramBytes(rows), name, size);
    }
    CViewFixture(const std::string& bytes, const std::string& name, QSize size) { Open(bytes, name, size); }

    void Open(const std::string& bytes, const std::string& name, QSize size) {
        EXPECT_TRUE(doc.OpenDocument(dir.Write(name, bytes)));
        view = std::make_unique<CRUXView>(doc, env);
        view->resize(size);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    CEditSession& Session() { return view->Session(); }

    // The bytes a save would write.
    std::string Saved() const { return SavedBytes(doc); }
    // The text of every item, in order.
    std::vector<std::string> Lines() const { return ItemTexts(doc); }
};

} // namespace rux::test
