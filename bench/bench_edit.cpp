// Typing one character, pressing Enter and deleting rows in a 100,000-line program, with everything
// an edit does afterwards: identifier rebuild, layout and the change notification.
#include "document/document_observer.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/output_stream.h"
#include "document/program_file.h"
#include "document/rux_document.h"
#include "document/view_metrics.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"
#include "program_generator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <ctime>

namespace {

using namespace rux;

struct CCountingObserver final : CDocumentObserver {
    int updates = 0;
    void OnUpdate(CRUXDocument&, int, const CDocumentChange*) override { ++updates; }
};

struct CFixture {
    CRUXDocument document;
    CFixedPitchMetrics metrics{640, 480, 2};
    CMemoryClipboard clipboard;
    bool overwrite = false;
    CCountingObserver observer;
    std::unique_ptr<CEditSession> session;
    std::string bytes;
    int line = 0;

    explicit CFixture(int lines) {
        CProgram generated;
        bench::GenerateProgram(generated, lines, 42);
        CStringOstream out(bytes);
        WriteProgram(generated, out);
        document.AdoptProgram(std::move(generated));
        document.Identifiers(); // built now, so that each edit rescans only what it changed
        document.AddObserver(&observer);
        session = std::make_unique<CEditSession>(document, metrics, clipboard, overwrite);
        // A body line in the middle of the program, the caret inside its text.
        const CObArrayEx& items = document.Items();
        for (line = items.GetSize() / 2; line < items.GetSize(); ++line)
            if (items.GetAt(line)->GetType() == kItemLine && items.GetAt(line)->GetText().size() > 4 &&
                items.GetAt(line)->GetSection())
                break;
        session->SetCaret({3, line});
        session->ScrollCaretIntoView();
    }
};

CFixture& Fixture() {
    static CFixture fixture(100000);
    return fixture;
}

// What every edit costs at least: one pass over the program's bytes.
void BM_BaselineMemchrOverProgram(benchmark::State& state) {
    const std::string& bytes = Fixture().bytes;
    for (auto _ : state) {
        size_t lines = 0;
        for (const char* p = bytes.data(); (p = static_cast<const char*>(std::memchr(p, '\n', bytes.data() + bytes.size() - p)));
             ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_BaselineMemchrOverProgram)->Unit(benchmark::kMillisecond);

void BM_TypeOneCharacter(benchmark::State& state) {
    CFixture& f = Fixture();
    const int before = f.observer.updates;
    for (auto _ : state) {
        f.session->TypeChar('x');
        state.PauseTiming();
        f.session->Undo();
        f.session->SetCaret({3, f.line});
        state.ResumeTiming();
    }
    state.counters["updates_per_edit"] =
        static_cast<double>(f.observer.updates - before) / static_cast<double>(state.iterations()) - 1.0;
}
BENCHMARK(BM_TypeOneCharacter)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_PressEnter(benchmark::State& state) {
    CFixture& f = Fixture();
    for (auto _ : state) {
        f.session->KeyDown(EKey::Enter, false, false);
        state.PauseTiming();
        f.session->Undo();
        f.session->SetCaret({3, f.line});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PressEnter)->Unit(benchmark::kMillisecond)->Iterations(300);

// This thread's processor time in ms: on a shared machine the wall clock also counts the time
// other processes held the core.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct CDeleteTime {
    double wall = 0, cpu = 0, undoCpu = 0;
};

// Deleting a selection of whole rows near the top: 4,000 rows against one, timed in the same run.
// The ratio is the figure to watch: rows go in one step, so it stays near 1, not near 4,000.
CDeleteTime DeleteRows(CFixture& f, int first, int rows) {
    f.session->Select({1, first}, {1, first + rows});
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuMs();
    f.session->DeleteKey();
    const double cpuStop = ThreadCpuMs();
    const auto stop = std::chrono::steady_clock::now();
    const double undoStart = ThreadCpuMs();
    f.session->Undo();
    const double undoCpu = ThreadCpuMs() - undoStart;
    // The next delete would otherwise free this one's redo group inside its own timing, so one
    // row would pay for 4,000 and the other way round.
    f.session->History().Clear();
    f.session->SetCaret({3, f.line});
    return {std::chrono::duration<double, std::milli>(stop - start).count(), cpuStop - cpuStart, undoCpu};
}

void BM_DeleteRowsNearTheTop(benchmark::State& state) {
    CFixture& f = Fixture();
    const int first = 20;
    CDeleteTime one, many;
    for (auto _ : state) {
        const CDeleteTime a = DeleteRows(f, first, 1);
        const CDeleteTime b = DeleteRows(f, first, 4000);
        one.wall += a.wall;
        one.cpu += a.cpu;
        many.wall += b.wall;
        many.cpu += b.cpu;
        one.undoCpu += a.undoCpu;
        many.undoCpu += b.undoCpu;
        state.SetIterationTime(b.wall / 1000.0);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["one_row_ms"] = one.wall / n;
    state.counters["rows_4000_ms"] = many.wall / n;
    state.counters["ratio"] = one.wall > 0 ? many.wall / one.wall : 0;
    state.counters["one_row_cpu_ms"] = one.cpu / n;
    state.counters["rows_4000_cpu_ms"] = many.cpu / n;
    state.counters["cpu_ratio"] = one.cpu > 0 ? many.cpu / one.cpu : 0;
    // Undo puts the rows back: it must not cost a pass over the whole program per row or per section.
    state.counters["undo_one_row_cpu_ms"] = one.undoCpu / n;
    state.counters["undo_rows_4000_cpu_ms"] = many.undoCpu / n;
    state.counters["undo_cpu_ratio"] = one.undoCpu > 0 ? many.undoCpu / one.undoCpu : 0;
}
BENCHMARK(BM_DeleteRowsNearTheTop)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_ReanalyseOnly(benchmark::State& state) {
    CFixture& f = Fixture();
    for (auto _ : state)
        f.document.Reanalyse();
}
BENCHMARK(BM_ReanalyseOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
