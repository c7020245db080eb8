// Programs, catalogues and recorders shared by the porting tests.
#pragma once

#include "document/message_sink.h"
#include "document/program.h"
#include "porting/porting_scan.h"

#include <string>
#include <utility>
#include <vector>

namespace rux::test {

// Rows after the header item: "{Title" opens a section, "}" closes it, "@F:Title:payload" and
// "@Q:Title:payload" are FBD and QLD diagrams, anything else a text line.
void BuildProgram(CProgram& program, const std::vector<std::string>& rows);

// Program file bytes with the same rows, for tests that edit; payloads must end in CR LF.
std::string ProgramFileBytes(const std::vector<std::string>& rows);

struct CRecordedSink final : CMessageSink {
    std::vector<std::pair<int, std::string>> shown;
    void ShowMessage(int id, const std::string& text) override { shown.emplace_back(id, text); }
};

// One line per issue: "kind line:column/length sState [dcol,drow] location".
std::string DumpIssue(CPortingIssue& issue);
std::vector<std::string> DumpInOrder(const CPortingIssueList& list);

// A small Bittern catalogue: tasks Clock (5) and Event3 (1), block _SlotRead (1), parameters
// 5.07 (3), 2.04 (2), 3.02 (1), one pointer entry.
extern const char kSmallBitternCatalogue[];
extern const char kSmallAlbatrossCatalogue[];

} // namespace rux::test
