// Reanalyse on a large program: the full scan after opening, and the update after one edit, which
// runs after every keystroke. Read the figures against the memchr pass over the same bytes.
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/identifier_set.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <random>

#if __has_include("program_generator.h")
#include "program_generator.h"
#define RUX_HAVE_SHARED_GENERATOR 1
#endif

namespace rux {
namespace {

constexpr int kLines = 100000;

#ifndef RUX_HAVE_SHARED_GENERATOR
// Stands in until the shared generator is here: tasks of mixed statements, a notes section now and
// then, an FBD diagram every few hundred lines.
void GenerateProgram(CProgram& program, int lines, unsigned seed) {
    std::mt19937 rng(seed);
    const char* names[] = {"Speed%", "Ref%",  "JamCount%", "Timer1",   "MaxSpeed%", "#1.21",    "#8.03",
                           "Accel",  "Decel", "State%",    "arr[3].v", "RampRate%", "LineRef%", "_tmp"};
    auto name = [&] { return std::string(names[rng() % std::size(names)]) + std::to_string(rng() % 40); };
    CObArrayEx& items = program.Items();
    items.AppendNoLayout(std::make_unique<CPar>());
    int section = 0;
    while (items.GetSize() < lines) {
        const bool notes = ++section % 10 == 0;
        auto header = std::make_unique<CSectionHeader>(notes ? "Notes" : "Task" + std::to_string(section));
        const uint32_t id = program.TakeSectionId();
        header->SetId(id);
        items.AppendNoLayout(std::move(header));
        const int body = 50 + static_cast<int>(rng() % 200);
        for (int i = 0; i < body; ++i) {
            std::string text;
            switch (rng() % 8) {
            case 0:
                text = "  " + name() + " = " + name() + " + " + std::to_string(rng() % 1000);
                break;
            case 1:
                text = "  IF " + name() + " > " + name() + " THEN";
                break;
            case 2:
                text = "  // " + name() + " follows the line master";
                break;
            case 3:
                text = "  PRINT \"Speed: \", " + name() + " ; shown on the keypad";
                break;
            case 4:
                text = "Label" + std::to_string(i) + ": " + name() + " = ABS(" + name() + ")";
                break;
            case 5:
                text = "  $FLT single " + name();
                break;
            case 6:
                text = "  ENDIF";
                break;
            default:
                text = "  " + name() + " = " + name() + " * " + name() + " / 100";
                break;
            }
            auto line = std::make_unique<CLine>(std::move(text));
            line->SetSectionId(id);
            items.AppendNoLayout(std::move(line));
            if (rng() % 300 == 0) {
                auto diagram = std::make_unique<CDiag>(kDiagramFbd);
                diagram->SetText("@VAR:1 X=" + name() + "\n@VAR:2 X=" + name() + "\n");
                diagram->SetSectionId(id);
                items.AppendNoLayout(std::move(diagram));
            }
        }
        items.AppendNoLayout(std::make_unique<CSectionFooter>(notes ? "Notes" : "Task"));
    }
    items.RelinkSections();
}
#else
using bench::GenerateProgram;
#endif

CRUXDocument& Program() {
    static CRUXDocument* program = [] {
        CProgram generated;
        GenerateProgram(generated, kLines, 42);
        auto* p = new CRUXDocument;
        p->AdoptProgram(std::move(generated));
        p->Identifiers(); // built now, so that each edit rescans only what it changed
        return p;
    }();
    return *program;
}

// Baseline: one pass over every byte of the program's text.
void BM_MemchrOverProgramText(benchmark::State& state) {
    std::string text;
    for (const auto& item : Program().Items())
        text += item->GetText() + "\n";
    for (auto _ : state) {
        size_t count = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while ((p = static_cast<const char*>(std::memchr(p, ';', static_cast<size_t>(end - p))))) {
            ++count;
            ++p;
        }
        benchmark::DoNotOptimize(count);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_MemchrOverProgramText)->Unit(benchmark::kMillisecond);

// Opening a program: every item scanned into an empty set.
void BM_ReanalyseFullScan(benchmark::State& state) {
    CRUXDocument& program = Program();
    CIdentifierSet set;
    for (auto _ : state) {
        set.Clear();
        set.Update(program.Items());
        benchmark::DoNotOptimize(set.Size());
    }
    state.counters["identifiers"] = static_cast<double>(set.Size());
    state.counters["items"] = program.Items().GetSize();
}
BENCHMARK(BM_ReanalyseFullScan)->Unit(benchmark::kMillisecond);

// A keystroke: one line's text changes, then Reanalyse.
void BM_ReanalyseAfterTyping(benchmark::State& state) {
    CRUXDocument& program = Program();
    program.Reanalyse();
    int line = program.Items().GetSize() / 2;
    while (program.Items().GetAt(line)->GetType() != kItemLine) ++line;
    const std::string original = program.Items().GetAt(line)->GetText();
    int n = 0;
    // Through the document's primitive, as a keystroke in the editor changes the line.
    for (auto _ : state) {
        program.SetItemText(line, original + " + x" + std::to_string(n++ % 100));
        program.Reanalyse();
    }
    program.SetItemText(line, original);
    program.Reanalyse();
}
BENCHMARK(BM_ReanalyseAfterTyping)->Unit(benchmark::kMillisecond);

// Enter in the middle of the program, then undo it: two edits per iteration, each moving every later
// item one place.
void BM_ReanalyseAfterInsertAndRemove(benchmark::State& state) {
    CRUXDocument& program = Program();
    program.Reanalyse();
    const int at = program.Items().GetSize() / 2;
    for (auto _ : state) {
        std::vector<std::unique_ptr<CItem>> line;
        line.push_back(std::make_unique<CLine>("  inserted = line"));
        program.InsertItems(at, std::move(line));
        program.Reanalyse();
        program.RemoveItems(at, 1);
        program.Reanalyse();
    }
}
BENCHMARK(BM_ReanalyseAfterInsertAndRemove)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rux

BENCHMARK_MAIN();
