// Load and Save of a million-line program against raw reads and writes of the same bytes.
#include "program_generator.h"

#include "document/output_stream.h"
#include "document/program.h"
#include "document/program_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLines = 1'000'000;
constexpr unsigned kSeed = 20240611;
constexpr double kBytesPerItemBudget = 150.0;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Generated once per process; every benchmark works on the same file.
struct CFixture {
    std::string folder;
    std::string path;
    std::string bytes;
    int items = 0;
};

const CFixture& Fixture() {
    static const CFixture fixture = [] {
        CFixture f;
        const char* dir = std::getenv("RUX_BENCH_DIR");
        f.folder = dir && *dir ? dir : (std::filesystem::temp_directory_path() / "rux_bench_data").string();
        std::filesystem::create_directories(f.folder);
        f.path = f.folder + "/generated.rux";
        f.bytes = rux::bench::GenerateProgramFile(kLines, kSeed);
        FILE* out = std::fopen(f.path.c_str(), "wb");
        if (!out || std::fwrite(f.bytes.data(), 1, f.bytes.size(), out) != f.bytes.size() ||
            std::fclose(out) != 0) {
            std::fprintf(stderr, "cannot write %s\n", f.path.c_str());
            std::exit(1);
        }
        // The generator must produce a file that loads into the same program, or the figures lie.
        rux::CProgram program;
        if (!rux::Load(program, f.path)) {
            std::fprintf(stderr, "cannot load %s\n", f.path.c_str());
            std::exit(1);
        }
        std::string again;
        rux::CStringOstream sink(again);
        rux::WriteProgram(program, sink);
        if (again != f.bytes) {
            std::fprintf(stderr, "generated program does not survive a load and write\n");
            std::exit(1);
        }
        f.items = program.Items().GetSize();
        return f;
    }();
    return fixture;
}

// open + read into one buffer + close: the least any loader has to do. With a buffer from the
// caller (already touched) it is the pure cost of the read; without one the buffer is allocated per
// call, which costs page faults or not depending on what the heap holds at that moment.
size_t RawRead(const std::string& path, std::vector<char>* reuse) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    ::fstat(fd, &st);
    const size_t size = static_cast<size_t>(st.st_size);
    std::unique_ptr<char[]> fresh;
    char* buffer;
    if (reuse) {
        reuse->resize(size);
        buffer = reuse->data();
    } else {
        fresh.reset(new char[size]);
        buffer = fresh.get();
    }
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    benchmark::DoNotOptimize(buffer);
    return got;
}

// What Save does to the file system, with the bytes already in one buffer.
void RawWrite(const std::string& folder, const std::string& bytes) {
    std::string temp = folder + "/.raw_out.rux.XXXXXX";
    const int fd = ::mkstemp(temp.data());
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), (folder + "/raw_out.rux").c_str());
}

// Each iteration times the raw read and the Load back to back, so that noise from other work on the
// machine falls on both; the ratio uses the best of each.
void BM_LoadVsRawRead(benchmark::State& state) {
    const CFixture& f = Fixture();
    double bestRaw = 1e9, bestFresh = 1e9, bestLoad = 1e9;
    std::vector<char> reuse(f.bytes.size(), 1);
    for (auto _ : state) {
        const auto f0 = Clock::now();
        RawRead(f.path, nullptr);
        bestFresh = std::min(bestFresh, Seconds(f0, Clock::now()));
        const auto t0 = Clock::now();
        const size_t got = RawRead(f.path, &reuse);
        const auto t1 = Clock::now();
        auto program = std::make_unique<rux::CProgram>();
        const bool ok = rux::Load(*program, f.path);
        const auto t2 = Clock::now();
        if (!ok || got != f.bytes.size() || program->Items().GetSize() != f.items)
            state.SkipWithError("load failed");
        program.reset(); // freeing is the caller's business, not Load's; kept out of the time
        bestRaw = std::min(bestRaw, Seconds(t0, t1));
        bestLoad = std::min(bestLoad, Seconds(t1, t2));
        state.SetIterationTime(Seconds(t1, t2));
    }
    state.counters["file_MB"] = static_cast<double>(f.bytes.size()) / 1e6;
    state.counters["items"] = f.items;
    state.counters["raw_read_ms"] = bestRaw * 1e3;
    state.counters["load_ms"] = bestLoad * 1e3;
    state.counters["raw_fresh_ms"] = bestFresh * 1e3;
    state.counters["load_per_raw"] = bestLoad / bestRaw; // target <= 6
    state.counters["load_per_fresh"] = bestLoad / bestFresh;
}
BENCHMARK(BM_LoadVsRawRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveVsRawWrite(benchmark::State& state) {
    const CFixture& f = Fixture();
    rux::CProgram program;
    rux::Load(program, f.path);
    const std::string out = f.folder + "/saved.rux";
    double bestRaw = 1e9, bestSave = 1e9;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        RawWrite(f.folder, f.bytes);
        const auto t1 = Clock::now();
        const bool ok = rux::Save(program, out);
        const auto t2 = Clock::now();
        if (!ok) state.SkipWithError("save failed");
        bestRaw = std::min(bestRaw, Seconds(t0, t1));
        bestSave = std::min(bestSave, Seconds(t1, t2));
        state.SetIterationTime(Seconds(t1, t2));
    }
    if (std::filesystem::file_size(out) != f.bytes.size()) state.SkipWithError("saved file differs in size");
    state.counters["raw_write_ms"] = bestRaw * 1e3;
    state.counters["save_ms"] = bestSave * 1e3;
    state.counters["save_per_raw"] = bestSave / bestRaw; // target <= 4
}
BENCHMARK(BM_SaveVsRawWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Wall time of one shell command, or a negative figure when it fails.
double RunTimed(const std::string& command) {
    const auto t0 = Clock::now();
    const int status = std::system(command.c_str());
    const auto t1 = Clock::now();
    return status == 0 ? Seconds(t0, t1) : -1.0;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// `rux resave` on the million-line file as a user runs it (a fresh process: load, save, exit),
// against the baseline of the same run: vim loading the file, changing line 2 and writing it,
// when vim is installed, else this process reading the file and writing it back. Runs alternate
// so that a busy moment falls on both; the ratio uses the best of each.
void BM_ResaveVsBaseline(benchmark::State& state) {
    const CFixture& f = Fixture();
    const std::string bin = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    const std::string rux = bin + "/rux";
    const std::string resaved = f.folder + "/resaved.rux";
    const std::string vimCopy = f.folder + "/vim_copy.rux";
    if (::access(rux.c_str(), X_OK) != 0) {
        state.SkipWithError("rux is not built beside the benchmark");
        return;
    }
    const bool vim = std::system("command -v vim >/dev/null 2>&1") == 0;
    const std::string ruxCommand = Quoted(rux) + " resave " + Quoted(f.path) + " " + Quoted(resaved);
    const std::string vimCommand =
        "vim -u NONE -i NONE -N -es '+2s/$/ /' '+wq' " + Quoted(vimCopy) + " </dev/null >/dev/null 2>&1";
    double bestRux = 1e9, bestBase = 1e9;
    for (auto _ : state) {
        double base;
        if (vim) {
            std::filesystem::copy_file(f.path, vimCopy, std::filesystem::copy_options::overwrite_existing);
            // On disk before vim starts, so that vim's own sync does not pay for the copy.
            const int fd = ::open(vimCopy.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                ::fsync(fd);
                ::close(fd);
            }
            base = RunTimed(vimCommand);
        } else {
            const auto t0 = Clock::now();
            RawRead(f.path, nullptr);
            RawWrite(f.folder, f.bytes);
            base = Seconds(t0, Clock::now());
        }
        const double own = RunTimed(ruxCommand);
        if (own < 0 || base < 0) {
            state.SkipWithError(own < 0 ? "rux resave failed" : "vim failed");
            return;
        }
        bestRux = std::min(bestRux, own);
        bestBase = std::min(bestBase, base);
        state.SetIterationTime(own);
    }
    std::string again;
    FILE* in = std::fopen(resaved.c_str(), "rb");
    if (in) {
        char chunk[1 << 16];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) again.append(chunk, n);
        std::fclose(in);
    }
    if (again != f.bytes) state.SkipWithError("resaved file differs from the input");
    state.counters["baseline_is_vim"] = vim ? 1 : 0;
    state.counters["resave_ms"] = bestRux * 1e3;
    state.counters["baseline_ms"] = bestBase * 1e3;
    state.counters["resave_per_baseline"] = bestRux / bestBase; // target <= 1
}
BENCHMARK(BM_ResaveVsBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

// kB figure of one /proc/self/status line.
long StatusKb(const char* key) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long value = -1;
    const size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0 && line[n] == ':') value = std::strtol(line + n + 1, nullptr, 10);
    std::fclose(f);
    return value;
}

// Memory is measured in a fresh process that does nothing but load, so that the generator's
// buffers and the other benchmarks' heap do not count.
void BM_LoadMemory(benchmark::State& state) {
    const CFixture& f = Fixture();
    long peak = 0, kept = 0;
    for (auto _ : state) {
        const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() +
                                    "' --measure-load-memory '" + f.path + "'";
        FILE* child = ::popen(command.c_str(), "r");
        if (!child || std::fscanf(child, "%ld %ld", &peak, &kept) != 2)
            state.SkipWithError("memory child failed");
        if (child) ::pclose(child);
    }
    const double budget = static_cast<double>(f.bytes.size()) + kBytesPerItemBudget * f.items;
    state.counters["peak_growth_MB"] = peak * 1024.0 / 1e6;
    state.counters["kept_growth_MB"] = kept * 1024.0 / 1e6;
    state.counters["budget_MB"] = budget / 1e6;
    state.counters["peak_per_budget"] = peak * 1024.0 / budget; // target <= 1
}
BENCHMARK(BM_LoadMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// Prints the growth of the peak and of the resident set over the process before the load, in kB.
int MeasureLoadMemory(const char* path) {
    const long before = StatusKb("VmRSS");
    rux::CProgram program;
    if (!rux::Load(program, path)) return 1;
    const long peak = StatusKb("VmHWM");
    const long after = StatusKb("VmRSS");
    std::printf("%ld %ld\n", peak - before, after - before);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--measure-load-memory") == 0) return MeasureLoadMemory(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
