// Feeds arbitrary bytes to the porting catalogue reader as both catalogues, scans a program that
// has every kind of item with the entries it yields, and works every issue it finds.
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/line_item.h"
#include "document/message_sink.h"
#include "document/program.h"
#include "document/section_items.h"
#include "porting/porting_issue.h"
#include "porting/porting_scan.h"
#include "porting/xml_reader.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace rux;

void BuildProgram(CProgram& program) {
    static const char* const kLines[] = {
        "a = #5.07 + B2#2.04 ; #3.02",
        "x% = _SlotRead(#Ptr%) // #1.21",
        "#INT20.21 = #5.7 {PTOOL:Ignore}",
        "b = # 5 . 07 + #-1.-2 + #99999999999.1",
        "X=_ENCINIT,X=_SXTIMER",
        "",
        "#",
        "B2#",
    };
    CObArrayEx& items = program.Items();
    items.AppendNoLayout(std::make_unique<CPar>());
    for (const char* title : {"Clock", "Notes", "Pos0 Event3"}) {
        auto header = std::make_unique<CSectionHeader>(title);
        header->SetId(program.TakeSectionId());
        CSectionHeader* section = header.get();
        items.AppendNoLayout(std::move(header));
        for (const char* text : kLines) {
            auto line = std::make_unique<CLine>(text);
            line->SetSection(section);
            items.AppendNoLayout(std::move(line));
        }
        auto fbd = std::make_unique<CDiag>(kDiagramFbd);
        fbd->SetText("@VAR:3,P=(4,7) X=#5.07,\r\n@TXT:1,P=(1,1) #2.04\r\n@FB:2,P=(x,3) X=_ENCINIT,\r\n");
        fbd->SetSection(section);
        items.AppendNoLayout(std::move(fbd));
        auto qld = std::make_unique<CDiag>(kDiagramQld);
        qld->SetText("BOF\r\nSOR [0,2]\r\nXIC [1,0](*#5.07*);(*#2.04*),(*_SlotRead*)\r\n(*#3.02*)\r\nSOR "
                     "[\r\nEOF\r\n");
        qld->SetSection(section);
        items.AppendNoLayout(std::move(qld));
        auto footer = std::make_unique<CSectionFooter>(title);
        footer->SetSection(section);
        items.AppendNoLayout(std::move(footer));
    }
}

struct CFuzzView final : CPortingView {
    void SelectRange(int, int, int, int) override {}
    bool ReplaceSelection(const std::string&) override { return false; }
    bool AskYesNo(const std::string&) override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CProgram program;
    if (program.Items().GetSize() == 0) BuildProgram(program);
    CXMLReader reader;
    if (!reader.LoadBuffer(data, size)) return 0;
    for (EPortingCatalogue which : {EPortingCatalogue::Bittern, EPortingCatalogue::AlbatrossQ}) {
        CPortingIssueList list;
        CNoMessageSink sink;
        if (!list.ScanCatalogue(&program, which, reader, sink)) continue;
        CFuzzView view;
        for (CPortingIssue* issue : list.InPositionOrder()) {
            // Every issue lies inside its item's text.
            const CItem* item = program.Items().GetAt(issue->GetLine());
            if (!item || issue->GetColumn() < 1 || issue->GetLength() < 0 ||
                static_cast<size_t>(issue->GetColumn() - 1 + issue->GetLength()) > item->GetText().size())
                std::abort();
            (void)issue->GetDescription();
            (void)issue->GetLabel();
            (void)issue->StatusText();
            (void)issue->IsAt(item->GetText());
            (void)issue->ApplyFix(&view, true);
            (void)issue->Clone();
        }
    }
    return 0;
}
