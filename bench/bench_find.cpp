// Find Next and Replace All over a 100,000-line program, against plain scans of the same bytes.
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/view_metrics.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"
#include "editor/find_replace.h"
#include "editor/find_replace_model.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace rux;

constexpr int kLines = 100000;
constexpr const char* kRareText = "Spindle_Final_Check";
constexpr const char* kCommonWord = "speed";

// A program shaped like the ones users keep: tasks of a few hundred lines each, with indented
// control blocks, assignments, calls and comments. Mixed case, as RUX is written in practice.
class CBenchProgram {
public:
    CBenchProgram() : m_session(m_document, m_metrics, m_clipboard, m_overwrite) {
        static const char* const kBody[] = {
            "  IF speed_ref > MAX_SPEED THEN",
            "    speed_ref = MAX_SPEED ; clamp the reference",
            "  ENDIF",
            "  pos_error = target_pos - actual_pos",
            "  CALL ramp_speed(speed_ref, accel, decel)",
            "  // wait for the drive to settle before the next move",
            "  FOR i = 1 TO 10",
            "    table[i] = table[i - 1] + Speed * 2",
            "  NEXT i",
            "  #18.05 = 1500 ; parameter write",
            "  WAIT UNTIL at_speed = 1",
            "",
        };
        std::vector<std::unique_ptr<CItem>> items;
        items.reserve(kLines + 1);
        items.push_back(std::make_unique<CPar>());
        uint32_t section = 0;
        int line = 1;
        while (line < kLines - 1) {
            auto header = std::make_unique<CSectionHeader>("Pos" + std::to_string(section % 2) + " Task_" +
                                                           std::to_string(section));
            header->SetId(++section);
            items.push_back(std::move(header));
            ++line;
            for (int k = 0; k < 400 && line < kLines - 2; ++k, ++line) {
                auto body = std::make_unique<CLine>(kBody[k % std::size(kBody)]);
                body->SetSectionId(section);
                items.push_back(std::move(body));
            }
            auto footer = std::make_unique<CSectionFooter>("Task_" + std::to_string(section));
            footer->SetSectionId(section);
            items.push_back(std::move(footer));
            ++line;
        }
        items.push_back(std::make_unique<CLine>(std::string("  CALL ") + kRareText + "(1)"));
        m_document.InsertItems(m_document.Items().GetSize(), std::move(items));
        m_document.RelinkSections();
        m_session.Layout().Rebuild(); // the list was built behind the session's back
        for (const CItem* item : m_document.Items())
            if (item->GetType() != kItemPar) m_bytes += item->GetText() + "\r\n";
    }

    CEditSession& Session() { return m_session; }
    CRUXDocument& Document() { return m_document; }
    const std::string& Bytes() const { return m_bytes; }

private:
    CRUXDocument m_document;
    CFixedPitchMetrics m_metrics{640, 480, 2};
    CMemoryClipboard m_clipboard;
    bool m_overwrite = false;
    CEditSession m_session;
    std::string m_bytes; // every line's text with CR LF, as a file holds it
};

CBenchProgram& Program() {
    static CBenchProgram program;
    return program;
}

void FindNextToLastLine(benchmark::State& state) {
    CBenchProgram& program = Program();
    CFindReplaceModel model;
    model.SetFindText(kRareText);
    model.SetMatchCase(state.range(0) != 0);
    for (auto _ : state) {
        program.Session().SetCaret({1, 0});
        const CFindResult result = FindNext(program.Session(), model);
        if (!result.found || program.Session().Caret().item != kLines - 1)
            state.SkipWithError("the last line was not found");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(FindNextToLastLine)->Arg(0)->Arg(1)->ArgName("case")->Unit(benchmark::kMillisecond);

// Baseline: one memmem over the same bytes.
void MemmemRareText(benchmark::State& state) {
    const std::string& bytes = Program().Bytes();
    for (auto _ : state) {
        const void* hit = memmem(bytes.data(), bytes.size(), kRareText, std::strlen(kRareText));
        if (!hit) state.SkipWithError("not found");
        benchmark::DoNotOptimize(hit);
    }
}
BENCHMARK(MemmemRareText)->Unit(benchmark::kMillisecond);

// Replaces the common word and back on alternate runs, so every run replaces the same number.
void ReplaceAllCommonWord(benchmark::State& state) {
    CBenchProgram& program = Program();
    CFindReplaceModel model;
    bool forth = true;
    long expected = -1;
    for (auto _ : state) {
        model.SetFindText(forth ? kCommonWord : "velocity");
        model.SetReplaceText(forth ? "velocity" : kCommonWord);
        const CFindResult result = ReplaceAll(program.Session(), model);
        if (expected < 0) expected = result.replaced;
        if (result.replaced != expected || expected == 0)
            state.SkipWithError("a different count of replacements");
        forth = !forth;
    }
    state.counters["replaced"] = static_cast<double>(expected);
    if (!forth) { // leave the program as it was for the other benchmarks
        model.SetFindText("velocity");
        model.SetReplaceText(kCommonWord);
        ReplaceAll(program.Session(), model);
    }
}
BENCHMARK(ReplaceAllCommonWord)->Unit(benchmark::kMillisecond);

// Baseline: the same replacement over the same bytes as one buffer, matching exactly.
void StdStringReplaceCommonWord(benchmark::State& state) {
    const std::string& bytes = Program().Bytes();
    const std::string find = kCommonWord, with = "velocity";
    for (auto _ : state) {
        std::string out;
        out.reserve(bytes.size() + bytes.size() / 8);
        size_t done = 0;
        for (size_t pos = bytes.find(find); pos != std::string::npos; pos = bytes.find(find, done)) {
            out.append(bytes, done, pos - done);
            out += with;
            done = pos + find.size();
        }
        out.append(bytes, done, std::string::npos);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(StdStringReplaceCommonWord)->Unit(benchmark::kMillisecond);

// Keeps every run's time so that the ratios to the baselines can be printed after the table.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) m_ms[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        const auto ratio = [&](const char* name, const char* baseline) {
            const auto a = m_ms.find(name), b = m_ms.find(baseline);
            if (a != m_ms.end() && b != m_ms.end() && b->second > 0)
                std::printf("%-32s %8.2f ms  %6.1f x %s\n", name, a->second, a->second / b->second, baseline);
        };
        ratio("FindNextToLastLine/case:0", "MemmemRareText");
        ratio("FindNextToLastLine/case:1", "MemmemRareText");
        ratio("ReplaceAllCommonWord", "StdStringReplaceCommonWord");
    }

private:
    std::map<std::string, double> m_ms;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Program(); // built before the clock runs
    std::printf("program: %d items, %zu bytes of text\n", Program().Document().Items().GetSize(),
                Program().Bytes().size());
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
