// Programs, catalogues and recorders shared by the porting tests.
#pragma once

#include "document/message_sink.h"
#include "document/program.h"
#include "porting/porting_scan.h"
#include "support/edit_harness.h"
#include "support/temp_dir.h"

#include <string>
#include <utility>
#include <vector>

namespace rux::test {

// Rows after the header item, as test::ProgramBytes reads them (its "@F:" and "@Q:" diagrams
// included); ProgramFileBytes gives the file of such a program.
void BuildProgram(CProgram& program, const std::vector<std::string>& rows);
inline std::string ProgramFileBytes(std::vector<std::string> rows) {
    rows.insert(rows.begin(), "P");
    return ProgramBytes(rows);
}

struct CRecordedSink final : CMessageSink {
    std::vector<std::pair<int, std::string>> shown;
    void ShowMessage(int id, const std::string& text) override { shown.emplace_back(id, text); }
};

// A program built from rows and scanned with one of the small catalogues (or `catalogue`).
struct CScanned {
    CTempDir dir;
    CProgram program;
    CPortingIssueList list;
    CRecordedSink sink;
    bool ok = false;
    explicit CScanned(const std::vector<std::string>& rows, EPortingCatalogue which = EPortingCatalogue::Bittern,
                      const char* catalogue = nullptr);
};

// One line per issue: "kind line:column/length sState [dcol,drow] location".
std::string DumpIssue(CPortingIssue& issue);
std::vector<std::string> DumpInOrder(const CPortingIssueList& list);

// A small Bittern catalogue: tasks Clock (5) and Event3 (1), block _SlotRead (1), parameters
// 5.07 (3), 2.04 (2), 3.02 (1), one pointer entry.
extern const char kSmallBitternCatalogue[];
extern const char kSmallAlbatrossCatalogue[];

} // namespace rux::test
