// Any bytes as a program: the compiler's read must give the document's items, and the compiler must not crash, hang or grow without bound, and whatever
// image it produces must pass the virtual machine's verifier and run briefly without a crash.
// First byte even: the bytes are a program file as they are. Odd: the rest is split at 0x01
// bytes into sections of lines (title first) inside a generated program file, which reaches the
// statement parser with far fewer wasted inputs.
#include "core/build.h"
#include "core/compiler.h"
#include "core/program_source.h"
#include "same_source_items.h"
#include "document/program.h"
#include "image/image.h"
#include "vm/vm.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Wrap(std::string_view body) {
    std::string t = "$*TORVEL/RUX-V1\n#info=Ident\nType=KESTREL\nDebug=1\nFloatingPoint=1\n#endinfo\n";
    std::size_t at = 0;
    while (at <= body.size()) {
        std::size_t end = body.find('\x01', at);
        if (end == std::string_view::npos) end = body.size();
        const std::string_view sec = body.substr(at, end - at);
        const std::size_t nl = sec.find('\n');
        std::string title(sec.substr(0, nl));
        for (char& c : title)
            if (c == '\r' || c == '#') c = ' ';
        t += "#info=Section\nName=" + (title.empty() ? std::string("Initial") : title) + "\n#endinfo\n";
        if (nl != std::string_view::npos) {
            std::string_view rest = sec.substr(nl + 1);
            std::size_t p = 0;
            while (p < rest.size()) {
                std::size_t e = rest.find('\n', p);
                if (e == std::string_view::npos) e = rest.size();
                std::string line(rest.substr(p, e - p));
                if (!line.empty() && line[0] == '#') line[0] = ' ';
                t += ":" + line + "\n";
                p = e + 1;
            }
        }
        t += "#info=EndSection\nName=x\n#endinfo\n";
        at = end + 1;
    }
    return t;
}

class QuietHost : public rux::vm::Host {
public:
    rux::vm::ParamStatus readParameter(int, int, int32_t& raw, int& decimals) override {
        raw = 1;
        decimals = 0;
        return rux::vm::ParamStatus::Ok;
    }
    rux::vm::ParamStatus writeParameter(int, int, int32_t) override { return rux::vm::ParamStatus::Ok; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 64 * 1024) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = (data[0] & 1) ? Wrap(bytes) : std::string(bytes);
    // The compiler's own read must give the document's items exactly: item numbers are line numbers.
    const rux::cmp::ProgramSource source = rux::cmp::ProgramSourceFromText(text);
    rux::CProgram program;
    if (rux::cmp::ProgramFromText(text, program) != source.format) std::abort();
    if (!SameSourceItems(rux::cmp::ItemsOf(program), source.items)) std::abort();
    rux::cmp::Options options;
    options.targetType = "KESTREL";
    options.targetTasks = {"Initial", "Background", "Clock", "Event", "Event1", "Event2", "Event3", "Pos0", "Pos1", "Error"};
    options.knownTasks = options.targetTasks;
    options.noBracketBlocks = {"ABS", "LIMIT", "MIN", "MAX", "FILTER", "AVERAGE"};
    options.embedSource = (data[0] & 2) != 0;
    options.source = text;
    options.floatingPoint = (data[0] & 4) == 0;
    rux::cmp::Result r = rux::cmp::Compile(source.items, options);
    if (r.errors > rux::cmp::kMaxReportedErrors) std::abort();
    for (const rux::cmp::Message& m : r.messages)
        if (m.item < 0 || static_cast<size_t>(m.item) >= source.items.size() + 1 || m.end <= m.start)
            std::abort();
    if (r.errors != 0) return 0;
    const rux::image::Bytes image = rux::image::writeImage(r.image);
    QuietHost host;
    rux::vm::Machine machine(host);
    std::string message;
    if (!machine.load(image.data(), image.size(), message)) std::abort(); // the compiler's own image must verify
    for (int t = 0; t < machine.taskCount(); ++t) machine.setInstructionBudget(t, 20000);
    machine.step(20);
    return 0;
}
