#include "vm/vm.h"

#include "image/bytecode.h"
#include "image/image.h"
#include "vm/verify.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace rux::vm {

using image::Builtin;
using image::Op;

// --- host defaults ------------------------------------------------------------------------

ParamStatus Host::readParameter(int, int, int32_t& raw, int& decimals) {
    raw = 0;
    decimals = 0;
    return ParamStatus::NoSuchParameter;
}
ParamStatus Host::writeParameter(int, int, int32_t) { return ParamStatus::NoSuchParameter; }
void Host::print(int, std::string_view, uint64_t, std::string_view) {}
void Host::runTimeError(const RunTimeError&) {}
void Host::breakpointHit(int, int, int) {}
void Host::stepped(int, int) {}
int Host::getChar() { return -1; }
void Host::putChar(int) {}

const char* runErrorText(RunError code) {
    switch (code) {
    case RunError::None: return "no error";
    case RunError::DivisionByZero: return "division by zero";
    case RunError::ArrayIndex: return "array index out of range";
    case RunError::ZeroForStep: return "FOR loop with a zero STEP";
    case RunError::StackOverflow: return "calls nested too deeply";
    case RunError::BadParameter: return "bad parameter";
    case RunError::TaskOverran: return "task overran";
    case RunError::MathDomain: return "argument outside the function's range";
    case RunError::BadPointer: return "parameter pointer does not name a parameter";
    case RunError::Unsupported: return "function not available on this drive";
    }
    return "unknown run-time error";
}

namespace {

union Cell {
    int32_t i;
    double r;
};

enum class Kind { Initial, Background, Clock, Event, Pos, Error, Other };

Kind kindOf(std::string_view name) {
    auto is = [&](std::string_view n) {
        if (n.size() != name.size()) return false;
        for (std::size_t i = 0; i < n.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(n[i])) != std::tolower(static_cast<unsigned char>(name[i])))
                return false;
        return true;
    };
    if (is("Initial")) return Kind::Initial;
    if (is("Background")) return Kind::Background;
    if (is("Clock")) return Kind::Clock;
    if (is("Event") || is("Event1") || is("Event2") || is("Event3")) return Kind::Event;
    if (is("Pos0") || is("Pos1")) return Kind::Pos;
    if (is("Error")) return Kind::Error;
    return Kind::Other;
}

int eventNumber(std::string_view name) {
    if (name.size() == 6) return name[5] - '0';
    return 0;
}

struct Frame {
    uint32_t pc;
    uint32_t base;
};

struct Context {
    image::TaskEntry entry;
    Kind kind = Kind::Other;
    int event = 0;
    TaskState state = TaskState::Idle;
    uint32_t pc = 0;
    uint32_t base = 0;
    std::vector<Cell> stack;
    int sp = 0;
    std::vector<Frame> calls;
    uint64_t activations = 0;
    uint64_t resumeAt = 0;
    uint64_t budget = 0;
    uint64_t budgetLeft = 0;
    int breakpoints[Machine::kBreakpointSlots];
    bool stepping = false;
    bool stepOnce = false;
    bool skipLine = false;   // the Line instruction it stopped at has been reported
    int item = -1;
    std::string printLine;
};

inline uint32_t rd32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline int32_t rdI(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

int32_t wrapAdd(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t wrapSub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int32_t wrapMul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

int32_t truncate(double r) {
    if (std::isnan(r)) return 0;
    if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

double power10(int decimals) {
    double p = 1.0;
    for (int i = 0; i < decimals && i < 9; ++i) p *= 10.0;
    return p;
}

std::string formatReal(double r, bool single) {
    char buf[40];
    std::snprintf(buf, sizeof buf, single ? "%.7g" : "%.12g", r);
    return buf;
}

const uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

} // namespace

struct Machine::Impl {
    Host& host;
    image::Image img;
    bool isLoaded = false;
    bool single = false;
    std::vector<Cell> mem;
    std::vector<Context> tasks;
    std::vector<Symbol> syms;
    uint64_t now = 0;
    uint64_t executed = 0;
    bool isPaused = false;
    bool isStopped = false;
    bool initialDone = false;
    bool reinitPending = false;
    uint64_t clockDue = 0;
    bool eventPending[4] = {};
    RunTimeError lastErr;
    int errorTask = -1;
    std::string ansiReply; // characters of a console reply that has not reached its CR yet

    explicit Impl(Host& h) : host(h) {}

    void putText(const std::string& text) {
        for (char ch : text) host.putChar(static_cast<unsigned char>(ch));
        host.putChar('\r');
    }

    // The reply waiting on the console: a signed decimal number ended by CR (a LF after it is
    // skipped). `otherwise` when no complete reply waits (what came so far is kept) or when the
    // reply is not a number (it is dropped).
    int32_t takeAnsiReply(int32_t otherwise) {
        for (;;) {
            const int ch = host.getChar();
            if (ch < 0) return otherwise;
            if (ch == '\n' && ansiReply.empty()) continue;
            if (ch != '\r' && ch != '\n') {
                if (ansiReply.size() < 32) ansiReply += static_cast<char>(ch);
                continue;
            }
            std::string text;
            text.swap(ansiReply);
            std::string_view digits(text.data(), text.size());
            const bool minus = !digits.empty() && digits.front() == '-';
            if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
            if (digits.empty()) return otherwise;
            int64_t v = 0;
            for (const char d : digits) {
                if (d < '0' || d > '9') return otherwise;
                v = v * 10 + (d - '0');
                if (v > 2147483648LL) return otherwise;
            }
            if (minus) v = -v;
            if (v > INT32_MAX) return otherwise;
            return static_cast<int32_t>(v);
        }
    }

    double fl(double r) const { return single ? static_cast<double>(static_cast<float>(r)) : r; }

    void resetState() {
        mem.assign(img.globalCells, Cell{0});
        for (Context& c : tasks) {
            c.state = TaskState::Idle;
            c.sp = 0;
            c.calls.clear();
            c.pc = c.entry.entry;
            c.base = 0;
            c.activations = 0;
            c.resumeAt = 0;
            c.stepOnce = false;
            c.skipLine = false;
            c.item = -1;
            c.printLine.clear();
        }
        isStopped = false;
        initialDone = true;
        for (const Context& c : tasks)
            if (c.kind == Kind::Initial) initialDone = false;
        clockDue = 0;
        std::fill(std::begin(eventPending), std::end(eventPending), false);
        lastErr = RunTimeError();
        errorTask = -1;
        reinitPending = false;
    }

    void start(Context& c) {
        c.pc = c.entry.entry;
        c.base = 0;
        c.sp = 0;
        c.calls.clear();
        c.state = TaskState::Ready;
        c.budgetLeft = c.budget;
        c.skipLine = false;
        ++c.activations;
    }

    void raise(Context& c, RunError code, uint32_t pc, std::string detail = {}) {
        RunTimeError e;
        e.code = code;
        e.taskId = c.entry.taskId;
        e.taskName = c.entry.name;
        e.item = img.itemAt(pc);
        e.timeMs = now;
        e.text = runErrorText(code);
        if (!detail.empty()) e.text += ": " + detail;
        c.state = TaskState::Halted;
        c.item = e.item;
        const bool inErrorTask = c.kind == Kind::Error;
        lastErr = e;
        isStopped = true;
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            Context& t = tasks[i];
            if (t.kind == Kind::Error && !inErrorTask) {
                start(t);
                errorTask = static_cast<int>(i);
            } else if (t.state != TaskState::Done) {
                t.state = TaskState::Halted;
            }
        }
        host.runTimeError(e);
    }

    ParamStatus readParam(int menu, int par, int32_t& raw, int& decimals) {
        decimals = 0;
        raw = 0;
        return host.readParameter(menu, par, raw, decimals);
    }

    ParamStatus writeParam(int menu, int par, int32_t raw) {
        if (menu == 90 && par >= 10 && par <= 13 && raw == 1) eventPending[par - 10] = true;
        return host.writeParameter(menu, par, raw);
    }

    std::string paramName(int menu, int par) const {
        char buf[16];
        std::snprintf(buf, sizeof buf, "#%d.%02d", menu, par);
        return buf;
    }

    // Runs the task until it yields, ends, stops or fails. Returns normally in every case.
    void run(Context& c);

    void tick();
    void runSlot(Context& c) {
        if (c.state == TaskState::Delayed && c.resumeAt <= now) {
            c.state = TaskState::Ready;
            c.budgetLeft = c.budget;
        }
        if (c.state == TaskState::Ready) run(c);
    }
};

void Machine::Impl::run(Context& c) {
    const uint8_t* const code = img.code.data();
    Cell* const m = mem.data();
    Cell* st = c.stack.data();
    uint32_t pc = c.pc;
    uint32_t base = c.base;
    int sp = c.sp;
    uint64_t budget = c.budgetLeft;
    uint64_t count = 0;
    const bool isBackground = c.kind == Kind::Background;

    auto save = [&] {
        c.pc = pc;
        c.base = base;
        c.sp = sp;
        c.budgetLeft = budget;
        executed += count;
    };
#define FAIL(code_, ...)                                                                            \
    do {                                                                                            \
        save();                                                                                     \
        raise(c, code_, pc __VA_OPT__(, ) __VA_ARGS__);                                                         \
        return;                                                                                     \
    } while (0)
#define CELL(off) m[base + (off)]

    // The budget is spent per instruction and checked where code can repeat (jumps back, loop
    // steps, calls), so an overrun is reported at the line that closes the loop.
#define BACK_EDGE()                                                                                 \
    do {                                                                                            \
        if (budget == 0) FAIL(RunError::TaskOverran, "no yield within " + std::to_string(c.budget) + " instructions"); \
    } while (0)
    for (;;) {
        if (budget) --budget;
        ++count;
        const uint8_t* ip = code + pc;
        switch (static_cast<Op>(*ip)) {
        case Op::Nop: pc += 1; break;
        case Op::PushI: st[sp++].i = rdI(ip + 1); pc += 5; break;
        case Op::PushR: st[sp++].r = fl(img.constants[rd32(ip + 1)]); pc += 5; break;
        case Op::Pop: --sp; pc += 1; break;
        case Op::Ld: st[sp++] = CELL(rd32(ip + 1)); pc += 5; break;
        case Op::St: CELL(rd32(ip + 1)) = st[--sp]; pc += 5; break;
        case Op::LdX: {
            const int32_t idx = st[sp - 1].i;
            const uint32_t n = rd32(ip + 5);
            if (idx < 0 || static_cast<uint32_t>(idx) >= n)
                FAIL(RunError::ArrayIndex, "index " + std::to_string(idx) + " outside 0.." + std::to_string(n - 1));
            st[sp - 1] = CELL(rd32(ip + 1) + static_cast<uint32_t>(idx));
            pc += 9;
            break;
        }
        case Op::StX: {
            const int32_t idx = st[sp - 2].i;
            const uint32_t n = rd32(ip + 5);
            if (idx < 0 || static_cast<uint32_t>(idx) >= n)
                FAIL(RunError::ArrayIndex, "index " + std::to_string(idx) + " outside 0.." + std::to_string(n - 1));
            CELL(rd32(ip + 1) + static_cast<uint32_t>(idx)) = st[sp - 1];
            sp -= 2;
            pc += 9;
            break;
        }
        case Op::Arr:
            st[sp++].i = static_cast<int32_t>(base + rd32(ip + 1));
            st[sp++].i = static_cast<int32_t>(rd32(ip + 5));
            pc += 9;
            break;
        case Op::IAdd: --sp; st[sp - 1].i = wrapAdd(st[sp - 1].i, st[sp].i); pc += 1; break;
        case Op::ISub: --sp; st[sp - 1].i = wrapSub(st[sp - 1].i, st[sp].i); pc += 1; break;
        case Op::IMul: --sp; st[sp - 1].i = wrapMul(st[sp - 1].i, st[sp].i); pc += 1; break;
        case Op::IDiv: {
            --sp;
            const int32_t b = st[sp].i, a = st[sp - 1].i;
            if (b == 0) FAIL(RunError::DivisionByZero);
            st[sp - 1].i = (b == -1) ? wrapSub(0, a) : a / b;
            pc += 1;
            break;
        }
        case Op::INeg: st[sp - 1].i = wrapSub(0, st[sp - 1].i); pc += 1; break;
        case Op::RAdd: --sp; st[sp - 1].r = fl(st[sp - 1].r + st[sp].r); pc += 1; break;
        case Op::RSub: --sp; st[sp - 1].r = fl(st[sp - 1].r - st[sp].r); pc += 1; break;
        case Op::RMul: --sp; st[sp - 1].r = fl(st[sp - 1].r * st[sp].r); pc += 1; break;
        case Op::RDiv:
            --sp;
            if (st[sp].r == 0.0) FAIL(RunError::DivisionByZero);
            st[sp - 1].r = fl(st[sp - 1].r / st[sp].r);
            pc += 1;
            break;
        case Op::RNeg: st[sp - 1].r = -st[sp - 1].r; pc += 1; break;
        case Op::I2R: st[sp - 1].r = fl(static_cast<double>(st[sp - 1].i)); pc += 1; break;
        case Op::I2R1: st[sp - 2].r = fl(static_cast<double>(st[sp - 2].i)); pc += 1; break;
        case Op::R2I: st[sp - 1].i = truncate(st[sp - 1].r); pc += 1; break;
        case Op::R2B: st[sp - 1].i = st[sp - 1].r != 0.0; pc += 1; break;
#define CMP(op_, field, rel)                                                                        \
    case Op::op_:                                                                                   \
        --sp;                                                                                       \
        st[sp - 1].i = st[sp - 1].field rel st[sp].field;                                           \
        pc += 1;                                                                                    \
        break;
            CMP(IEq, i, ==) CMP(INe, i, !=) CMP(ILt, i, <) CMP(IGt, i, >) CMP(ILe, i, <=) CMP(IGe, i, >=)
            CMP(REq, r, ==) CMP(RNe, r, !=) CMP(RLt, r, <) CMP(RGt, r, >) CMP(RLe, r, <=) CMP(RGe, r, >=)
#undef CMP
        case Op::And: --sp; st[sp - 1].i &= st[sp].i; pc += 1; break;
        case Op::Or: --sp; st[sp - 1].i |= st[sp].i; pc += 1; break;
        case Op::Jmp: {
            const uint32_t target = rd32(ip + 1);
            if (target <= pc) BACK_EDGE();
            pc = target;
            break;
        }
        case Op::Jz: case Op::Jnz: {
            const uint32_t target = rd32(ip + 1);
            if (target <= pc) BACK_EDGE();
            const bool zero = st[--sp].i == 0;
            pc = zero == (static_cast<Op>(*ip) == Op::Jz) ? target : pc + 5;
            break;
        }
        case Op::Yield:
            pc += 1;
            if (isBackground) {
                save();
                return;
            }
            break;
        case Op::Delay: {
            const int32_t ms = st[--sp].i;
            pc += 1;
            save();
            c.state = TaskState::Delayed;
            c.resumeAt = now + static_cast<uint64_t>(ms > 0 ? ms : 0);
            if (ms <= 0) c.resumeAt = now + 1;
            return;
        }
        case Op::End:
            save();
            c.state = (c.kind == Kind::Initial || c.kind == Kind::Error) ? TaskState::Done : TaskState::Idle;
            if (c.kind == Kind::Initial) initialDone = true;
            if (c.kind == Kind::Background) {
                // Background is a free loop: it starts again in its next slice.
                c.pc = c.entry.entry;
                c.state = TaskState::Ready;
            }
            return;
        case Op::Line: {
            const int item = rdI(ip + 1);
            c.item = item;
            if ((c.stepping || c.stepOnce || c.breakpoints[0] >= 0 || c.breakpoints[1] >= 0 ||
                 c.breakpoints[2] >= 0 || c.breakpoints[3] >= 0 || c.breakpoints[4] >= 0 ||
                 c.breakpoints[5] >= 0 || c.breakpoints[6] >= 0 || c.breakpoints[7] >= 0) &&
                !c.skipLine) {
                int slot = -1;
                for (int s = 0; s < kBreakpointSlots; ++s)
                    if (c.breakpoints[s] == item) slot = s;
                if (slot >= 0 || c.stepping || c.stepOnce) {
                    save();
                    c.state = TaskState::Break;
                    c.stepOnce = false;
                    c.skipLine = true;
                    if (slot >= 0) host.breakpointHit(c.entry.taskId, slot, item);
                    else host.stepped(c.entry.taskId, item);
                    return;
                }
            }
            c.skipLine = false;
            pc += 5;
            break;
        }
        case Op::PRdR: case Op::PRdI: case Op::PRdB: {
            const int menu = ip[1], par = ip[2];
            int32_t raw;
            int dec;
            if (readParam(menu, par, raw, dec) != ParamStatus::Ok)
                FAIL(RunError::BadParameter, paramName(menu, par) + " cannot be read");
            const Op op = static_cast<Op>(*ip);
            if (op == Op::PRdR) st[sp++].r = fl(static_cast<double>(raw) / power10(dec));
            else if (op == Op::PRdI) st[sp++].i = raw;
            else st[sp++].i = (static_cast<uint32_t>(raw) >> ip[3]) & 1u;
            pc += op == Op::PRdB ? 4 : 3;
            break;
        }
        case Op::PWrR: case Op::PWrI: case Op::PWrB: {
            const int menu = ip[1], par = ip[2];
            const Op op = static_cast<Op>(*ip);
            const Cell v = st[--sp];
            int32_t raw;
            if (op == Op::PWrB) {
                int dec;
                if (readParam(menu, par, raw, dec) != ParamStatus::Ok)
                    FAIL(RunError::BadParameter, paramName(menu, par) + " cannot be read");
                const uint32_t bit = 1u << ip[3];
                raw = static_cast<int32_t>(v.i ? (static_cast<uint32_t>(raw) | bit) : (static_cast<uint32_t>(raw) & ~bit));
            } else if (op == Op::PWrR) {
                int32_t old;
                int dec;
                if (readParam(menu, par, old, dec) != ParamStatus::Ok)
                    FAIL(RunError::BadParameter, paramName(menu, par) + " cannot be read");
                raw = truncate(std::round(v.r * power10(dec)));
            } else {
                raw = v.i;
            }
            const ParamStatus s = writeParam(menu, par, raw);
            if (s != ParamStatus::Ok)
                FAIL(RunError::BadParameter, paramName(menu, par) +
                                                 (s == ParamStatus::ReadOnly ? " is read-only"
                                                  : s == ParamStatus::OutOfRange ? " refused the value"
                                                                                 : " does not exist"));
            pc += op == Op::PWrB ? 4 : 3;
            break;
        }
        case Op::PpRdR: case Op::PpRdI: case Op::PpWrR: case Op::PpWrI: {
            const Op op = static_cast<Op>(*ip);
            const bool write = op == Op::PpWrR || op == Op::PpWrI;
            const int32_t ptr = st[sp - (write ? 2 : 1)].i;
            if (ptr < 0 || ptr > 9999) FAIL(RunError::BadPointer, "pointer value " + std::to_string(ptr));
            const int menu = ptr / 100, par = ptr % 100;
            int32_t raw;
            int dec;
            if (readParam(menu, par, raw, dec) != ParamStatus::Ok)
                FAIL(RunError::BadParameter, paramName(menu, par) + " cannot be read");
            if (!write) {
                if (op == Op::PpRdR) st[sp - 1].r = fl(static_cast<double>(raw) / power10(dec));
                else st[sp - 1].i = raw;
            } else {
                const Cell v = st[sp - 1];
                sp -= 2;
                raw = op == Op::PpWrR ? truncate(std::round(v.r * power10(dec))) : v.i;
                if (writeParam(menu, par, raw) != ParamStatus::Ok)
                    FAIL(RunError::BadParameter, paramName(menu, par) + " refused the write");
            }
            pc += 1;
            break;
        }
        case Op::Call:
            BACK_EDGE();
            if (c.calls.size() >= static_cast<std::size_t>(kMaxCallDepth)) FAIL(RunError::StackOverflow);
            c.calls.push_back({pc + 5, base});
            pc = rd32(ip + 1);
            break;
        case Op::Ret:
        case Op::FbRet:
            if (c.calls.empty()) {
                // A subroutine's end reached by falling into it from a task: the task ends.
                save();
                c.state = TaskState::Idle;
                return;
            }
            pc = c.calls.back().pc;
            base = c.calls.back().base;
            c.calls.pop_back();
            break;
        case Op::FbCall: {
            const image::BlockEntry& b = img.blocks[ip[1] | (ip[2] << 8)];
            BACK_EDGE();
            if (c.calls.size() >= static_cast<std::size_t>(kMaxCallDepth)) FAIL(RunError::StackOverflow);
            const uint32_t nb = base + rd32(ip + 3);
            sp -= b.inputs;
            for (uint16_t k = 0; k < b.inputs; ++k) m[nb + k] = st[sp + k];
            c.calls.push_back({pc + 7, base});
            base = nb;
            pc = b.entry;
            break;
        }
        case Op::Bi: {
            const Builtin bi = static_cast<Builtin>(ip[1]);
            pc += 2;
            switch (bi) {
            case Builtin::AbsI: st[sp - 1].i = st[sp - 1].i < 0 ? wrapSub(0, st[sp - 1].i) : st[sp - 1].i; break;
            case Builtin::AbsR: st[sp - 1].r = std::fabs(st[sp - 1].r); break;
            case Builtin::Sin: st[sp - 1].r = fl(std::sin(st[sp - 1].r)); break;
            case Builtin::Cos: st[sp - 1].r = fl(std::cos(st[sp - 1].r)); break;
            case Builtin::Tan: st[sp - 1].r = fl(std::tan(st[sp - 1].r)); break;
            case Builtin::Exp: st[sp - 1].r = fl(std::exp(st[sp - 1].r)); break;
            case Builtin::Sqr:
                if (st[sp - 1].r < 0) FAIL(RunError::MathDomain, "SQR of " + formatReal(st[sp - 1].r, single));
                st[sp - 1].r = fl(std::sqrt(st[sp - 1].r));
                break;
            case Builtin::Ln:
                if (st[sp - 1].r <= 0) FAIL(RunError::MathDomain, "LN of " + formatReal(st[sp - 1].r, single));
                st[sp - 1].r = fl(std::log(st[sp - 1].r));
                break;
            case Builtin::SgnI: st[sp - 1].i = (st[sp - 1].i > 0) - (st[sp - 1].i < 0); break;
            case Builtin::SgnR: st[sp - 1].i = (st[sp - 1].r > 0) - (st[sp - 1].r < 0); break;
            case Builtin::MinI: --sp; st[sp - 1].i = std::min(st[sp - 1].i, st[sp].i); break;
            case Builtin::MinR: --sp; st[sp - 1].r = std::min(st[sp - 1].r, st[sp].r); break;
            case Builtin::MaxI: --sp; st[sp - 1].i = std::max(st[sp - 1].i, st[sp].i); break;
            case Builtin::MaxR: --sp; st[sp - 1].r = std::max(st[sp - 1].r, st[sp].r); break;
            case Builtin::LimitI: {
                sp -= 2;
                const int32_t x = st[sp - 1].i, lo = st[sp].i, hi = st[sp + 1].i;
                st[sp - 1].i = x < lo ? lo : (x > hi ? hi : x);
                break;
            }
            case Builtin::LimitR: {
                sp -= 2;
                const double x = st[sp - 1].r, lo = st[sp].r, hi = st[sp + 1].r;
                st[sp - 1].r = x < lo ? lo : (x > hi ? hi : x);
                break;
            }
            case Builtin::Time: st[sp++].i = static_cast<int32_t>(static_cast<uint32_t>(now)); break;
            case Builtin::Bcd2Bin: {
                uint32_t v = static_cast<uint32_t>(st[sp - 1].i), out = 0, scale = 1;
                for (int d = 0; d < 8; ++d, v >>= 4, scale *= 10) {
                    const uint32_t digit = v & 15;
                    if (digit > 9) FAIL(RunError::MathDomain, "BCD2BIN of a value that is not BCD");
                    out += digit * scale;
                }
                st[sp - 1].i = static_cast<int32_t>(out);
                break;
            }
            case Builtin::Bin2Bcd: {
                const int32_t x = st[sp - 1].i;
                if (x < 0 || x > 99999999) FAIL(RunError::MathDomain, "BIN2BCD of " + std::to_string(x));
                uint32_t v = static_cast<uint32_t>(x), out = 0;
                for (int d = 0; v; ++d, v /= 10) out |= (v % 10) << (4 * d);
                st[sp - 1].i = static_cast<int32_t>(out);
                break;
            }
            case Builtin::Bcd2Seg: {
                uint32_t v = static_cast<uint32_t>(st[sp - 1].i), out = 0;
                for (int d = 0; d < 4; ++d, v >>= 4) {
                    const uint32_t digit = v & 15;
                    if (digit > 9) FAIL(RunError::MathDomain, "BCD2SEG of a value that is not BCD");
                    out |= static_cast<uint32_t>(kSegments[digit]) << (8 * d);
                }
                st[sp - 1].i = static_cast<int32_t>(out);
                break;
            }
            case Builtin::Crc: case Builtin::AverageI: case Builtin::AverageR: {
                sp -= 2;
                const uint32_t at = static_cast<uint32_t>(st[sp - 1].i);
                const int32_t size = st[sp].i, n = st[sp + 1].i;
                if (n < 0 || n > size)
                    FAIL(RunError::ArrayIndex, "count " + std::to_string(n) + " outside 0.." + std::to_string(size));
                // The address comes from the operand stack: a hand-made image could forge it.
                if (size < 0 || at > mem.size() || static_cast<std::size_t>(size) > mem.size() - at)
                    FAIL(RunError::ArrayIndex, "array outside the variables");
                if (bi == Builtin::Crc) {
                    uint32_t crc = 0xFFFF;
                    for (int32_t k = 0; k < n; ++k) {
                        crc ^= static_cast<uint32_t>(m[at + k].i) & 0xFF;
                        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
                    }
                    st[sp - 1].i = static_cast<int32_t>(crc);
                } else {
                    if (n == 0) FAIL(RunError::DivisionByZero, "AVERAGE of no elements");
                    double sum = 0;
                    for (int32_t k = 0; k < n; ++k) sum += bi == Builtin::AverageI ? m[at + k].i : m[at + k].r;
                    if (bi == Builtin::AverageI) st[sp - 1].i = truncate(sum / n);
                    else st[sp - 1].r = fl(sum / n);
                }
                break;
            }
            case Builtin::GetChar: case Builtin::GetKey: st[sp++].i = host.getChar(); break;
            case Builtin::PutChar: case Builtin::PutKey: host.putChar(st[--sp].i & 0xFF); break;
            case Builtin::AnsiRead: case Builtin::AnsiWrite: {
                // A request on the console: R<parameter> or W<parameter>=<value>, ended by CR.
                const int32_t value = bi == Builtin::AnsiWrite ? st[--sp].i : 0;
                const int32_t param = st[sp - 1].i;
                if (param < 0 || param > 9999)
                    FAIL(RunError::MathDomain, std::string(image::builtinInfo(bi).name) + " of parameter " +
                                                   std::to_string(param) + " (menu * 100 + parameter, 0..9999)");
                putText(bi == Builtin::AnsiWrite
                            ? std::string("W").append(std::to_string(param)).append("=").append(std::to_string(value))
                            : std::string("R").append(std::to_string(param)));
                st[sp - 1].i = 0;
                break;
            }
            case Builtin::AnsiReply: st[sp - 1].i = takeAnsiReply(st[sp - 1].i); break;
            case Builtin::Count_: break;
            }
            break;
        }
        case Op::Filter: {
            --sp;
            Cell& state = CELL(rd32(ip + 1));
            const double x = st[sp - 1].r, k = st[sp].r;
            state.r = k <= 1.0 ? x : fl(state.r + (x - state.r) / k);
            st[sp - 1].r = state.r;
            pc += 5;
            break;
        }
        case Op::PrS: c.printLine += img.strings[rd32(ip + 1)]; pc += 5; break;
        case Op::PrI: c.printLine += std::to_string(st[--sp].i); pc += 1; break;
        case Op::PrR: c.printLine += formatReal(st[--sp].r, single); pc += 1; break;
        case Op::PrEnd:
            host.print(c.entry.taskId, c.entry.name, now, c.printLine);
            c.printLine.clear();
            pc += 1;
            break;
        case Op::Reinit:
            save();
            reinitPending = true;
            return;
        case Op::IForInit: {
            const int32_t v = CELL(rd32(ip + 1)).i, lim = CELL(rd32(ip + 5)).i, step = CELL(rd32(ip + 9)).i;
            if (step == 0) FAIL(RunError::ZeroForStep);
            pc = (step > 0 ? v > lim : v < lim) ? rd32(ip + 13) : pc + 17;
            break;
        }
        case Op::IForNext: {
            BACK_EDGE();
            Cell& var = CELL(rd32(ip + 1));
            const int32_t lim = CELL(rd32(ip + 5)).i, step = CELL(rd32(ip + 9)).i;
            const int64_t next = static_cast<int64_t>(var.i) + step;
            var.i = static_cast<int32_t>(static_cast<uint32_t>(next));
            pc = (step > 0 ? next <= lim : next >= lim) ? rd32(ip + 13) : pc + 17;
            break;
        }
        case Op::RForInit: {
            const double v = CELL(rd32(ip + 1)).r, lim = CELL(rd32(ip + 5)).r, step = CELL(rd32(ip + 9)).r;
            if (step == 0.0) FAIL(RunError::ZeroForStep);
            pc = (step > 0 ? v > lim : v < lim) ? rd32(ip + 13) : pc + 17;
            break;
        }
        case Op::RForNext: {
            BACK_EDGE();
            Cell& var = CELL(rd32(ip + 1));
            const double lim = CELL(rd32(ip + 5)).r, step = CELL(rd32(ip + 9)).r;
            var.r = fl(var.r + step);
            pc = (step > 0 ? var.r <= lim : var.r >= lim) ? rd32(ip + 13) : pc + 17;
            break;
        }
        case Op::IAddCC: CELL(rd32(ip + 1)).i = wrapAdd(CELL(rd32(ip + 5)).i, CELL(rd32(ip + 9)).i); pc += 13; break;
        case Op::ISubCC: CELL(rd32(ip + 1)).i = wrapSub(CELL(rd32(ip + 5)).i, CELL(rd32(ip + 9)).i); pc += 13; break;
        case Op::IAddCI: CELL(rd32(ip + 1)).i = wrapAdd(CELL(rd32(ip + 5)).i, rdI(ip + 9)); pc += 13; break;
        case Op::StI: CELL(rd32(ip + 1)).i = rdI(ip + 5); pc += 9; break;
        case Op::Count_: FAIL(RunError::Unsupported, "bad instruction");
        }
    }
#undef BACK_EDGE
#undef FAIL
#undef CELL
}

void Machine::Impl::tick() {
    if (!isLoaded || isPaused) return;
    if (reinitPending) {
        resetState();
        for (Context& t : tasks)
            if (t.kind == Kind::Initial) start(t);
    }
    if (isStopped) {
        if (errorTask >= 0) runSlot(tasks[static_cast<std::size_t>(errorTask)]);
        return;
    }
    if (!initialDone) {
        for (Context& t : tasks)
            if (t.kind == Kind::Initial) {
                if (t.state == TaskState::Idle) start(t);
                runSlot(t);
                if (reinitPending || isStopped) return;
            }
        if (!initialDone) return;
        clockDue = now;
    }
    auto activate = [&](Context& t) {
        if (t.state == TaskState::Idle) start(t);
    };
    for (Context& t : tasks)
        if (t.kind == Kind::Pos) {
            activate(t);
            runSlot(t);
            if (isStopped || reinitPending) return;
        }
    if (now >= clockDue) {
        int32_t period = 0;
        int dec;
        if (readParam(71, 10, period, dec) != ParamStatus::Ok || period <= 0) period = 8;
        clockDue = now + static_cast<uint64_t>(period);
        for (Context& t : tasks)
            if (t.kind == Kind::Clock) activate(t);
    }
    for (Context& t : tasks)
        if (t.kind == Kind::Clock) {
            runSlot(t);
            if (isStopped || reinitPending) return;
        }
    for (Context& t : tasks)
        if (t.kind == Kind::Event) {
            const int e = t.event;
            if (eventPending[e] && t.state == TaskState::Idle) {
                eventPending[e] = false;
                writeParam(90, 10 + e, 0);
                start(t);
            }
            runSlot(t);
            if (isStopped || reinitPending) return;
        }
    for (Context& t : tasks)
        if (t.kind == Kind::Background) {
            if (t.state == TaskState::Idle) start(t);
            else if (t.state == TaskState::Ready) {
                t.budgetLeft = t.budget;
                ++t.activations;
            }
            runSlot(t);
            if (isStopped || reinitPending) return;
        }
}

// --- Machine --------------------------------------------------------------------------------

Machine::Machine(Host& host) : impl_(std::make_unique<Impl>(host)) {}
Machine::~Machine() = default;

bool Machine::load(const uint8_t* data, std::size_t size, std::string& message) {
    image::Image img;
    if (!image::readImage(data, size, img, message)) return false;
    if (!verifyCode(img, message)) return false;
    Impl& d = *impl_;
    d.img = std::move(img);
    d.single = (d.img.flags & image::kFlagSinglePrecision) != 0;
    d.tasks.clear();
    for (const image::TaskEntry& t : d.img.tasks) {
        Context c;
        c.entry = t;
        c.kind = kindOf(t.name);
        c.event = c.kind == Kind::Event ? eventNumber(t.name) : 0;
        c.stack.assign(static_cast<std::size_t>(kMaxStackDepth) * (kMaxCallDepth + 1), Cell{0});
        c.budget = (c.kind == Kind::Initial || c.kind == Kind::Background) ? 50'000'000 : 1'000'000;
        std::fill(std::begin(c.breakpoints), std::end(c.breakpoints), -1);
        d.tasks.push_back(std::move(c));
    }
    d.syms.clear();
    for (const image::SymbolEntry& s : d.img.symbols) d.syms.push_back({std::string(s.name), s.address, s.type, s.elements});
    d.isLoaded = true;
    d.now = 0;
    d.executed = 0;
    d.isPaused = false;
    d.resetState();
    return true;
}

bool Machine::loadFile(const std::string& path, std::string& message) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        message = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        bytes.insert(bytes.end(), buf, buf + n);
        if (bytes.size() > (64u << 20)) break;
    }
    std::fclose(f);
    return load(bytes.data(), bytes.size(), message);
}

bool Machine::loaded() const { return impl_->isLoaded; }

void Machine::reset() {
    impl_->now = 0;
    if (impl_->isLoaded) impl_->resetState();
}

bool Machine::step(uint32_t ms) {
    Impl& d = *impl_;
    for (uint32_t k = 0; k < ms; ++k) {
        d.tick();
        ++d.now;
    }
    if (!d.isLoaded) return false;
    if (!d.isStopped) return true;
    if (d.errorTask < 0) return false;
    const TaskState s = d.tasks[static_cast<std::size_t>(d.errorTask)].state;
    return s == TaskState::Ready || s == TaskState::Delayed || s == TaskState::Break;
}

uint64_t Machine::timeMs() const { return impl_->now; }

void Machine::stop() {
    Impl& d = *impl_;
    d.isStopped = true;
    d.errorTask = -1;
    for (Context& t : d.tasks)
        if (t.state != TaskState::Done) t.state = TaskState::Halted;
}
void Machine::pause() { impl_->isPaused = true; }
void Machine::resume() { impl_->isPaused = false; }
bool Machine::paused() const { return impl_->isPaused; }
bool Machine::stopped() const { return impl_->isStopped; }
const RunTimeError& Machine::lastError() const { return impl_->lastErr; }

int Machine::taskCount() const { return static_cast<int>(impl_->tasks.size()); }

TaskInfo Machine::task(int index) const {
    TaskInfo info;
    if (index < 0 || index >= taskCount()) return info;
    const Context& c = impl_->tasks[static_cast<std::size_t>(index)];
    info.taskId = c.entry.taskId;
    info.name = c.entry.name;
    info.state = c.state;
    info.item = c.state == TaskState::Idle ? -1 : (c.item >= 0 ? c.item : impl_->img.itemAt(c.pc));
    info.activations = c.activations;
    info.resumeAt = c.resumeAt;
    return info;
}

int Machine::taskIndex(std::string_view name) const {
    for (std::size_t i = 0; i < impl_->tasks.size(); ++i) {
        const std::string& n = impl_->tasks[i].entry.name;
        if (n.size() != name.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < n.size() && same; ++k)
            same = std::tolower(static_cast<unsigned char>(n[k])) == std::tolower(static_cast<unsigned char>(name[k]));
        if (same) return static_cast<int>(i);
    }
    return -1;
}

void Machine::triggerEvent(int event) {
    if (event >= 0 && event < 4) impl_->eventPending[event] = true;
}

int Machine::setBreakpoint(int taskIndex, int item) {
    if (taskIndex < 0 || taskIndex >= taskCount()) return -1;
    const image::Image& img = impl_->img;
    if (!(img.flags & image::kFlagDebug)) return -1;
    const bool hasLine = std::any_of(img.lines.begin(), img.lines.end(),
                                     [&](const image::LineEntry& l) { return static_cast<int>(l.item) == item; });
    if (!hasLine) return -1;
    Context& c = impl_->tasks[static_cast<std::size_t>(taskIndex)];
    for (int s = 0; s < kBreakpointSlots; ++s)
        if (c.breakpoints[s] == item) return s;
    for (int s = 0; s < kBreakpointSlots; ++s)
        if (c.breakpoints[s] < 0) {
            c.breakpoints[s] = item;
            return s;
        }
    return -1;
}

bool Machine::clearBreakpoint(int taskIndex, int slot) {
    if (taskIndex < 0 || taskIndex >= taskCount() || slot < 0 || slot >= kBreakpointSlots) return false;
    int& b = impl_->tasks[static_cast<std::size_t>(taskIndex)].breakpoints[slot];
    const bool was = b >= 0;
    b = -1;
    return was;
}

void Machine::clearBreakpoints(int taskIndex) {
    for (int s = 0; s < kBreakpointSlots; ++s) clearBreakpoint(taskIndex, s);
}

std::vector<int> Machine::breakpoints(int taskIndex) const {
    if (taskIndex < 0 || taskIndex >= taskCount()) return {};
    const Context& c = impl_->tasks[static_cast<std::size_t>(taskIndex)];
    return std::vector<int>(std::begin(c.breakpoints), std::end(c.breakpoints));
}

void Machine::setStepping(int taskIndex, bool on) {
    if (taskIndex >= 0 && taskIndex < taskCount()) impl_->tasks[static_cast<std::size_t>(taskIndex)].stepping = on;
}

void Machine::resumeTask(int taskIndex) {
    if (taskIndex < 0 || taskIndex >= taskCount()) return;
    Context& c = impl_->tasks[static_cast<std::size_t>(taskIndex)];
    if (c.state == TaskState::Break) {
        c.state = TaskState::Ready;
        c.stepOnce = false;
    }
}

void Machine::stepTask(int taskIndex) {
    if (taskIndex < 0 || taskIndex >= taskCount()) return;
    Context& c = impl_->tasks[static_cast<std::size_t>(taskIndex)];
    if (c.state == TaskState::Break) {
        c.state = TaskState::Ready;
        c.stepOnce = true;
    }
}

void Machine::setInstructionBudget(int taskIndex, uint64_t instructions) {
    if (taskIndex >= 0 && taskIndex < taskCount())
        impl_->tasks[static_cast<std::size_t>(taskIndex)].budget = instructions > 0 ? instructions : 1;
}

const std::vector<Symbol>& Machine::symbols() const { return impl_->syms; }

namespace {

// "Name%[3]" -> ("Name%", 3); a plain name gets element 0 and `indexed` false.
bool splitElement(std::string_view text, std::string_view& name, uint32_t& element, bool& indexed) {
    indexed = false;
    element = 0;
    name = text;
    const std::size_t open = text.find('[');
    if (open == std::string_view::npos) return true;
    if (text.back() != ']' || open + 2 >= text.size()) return false;
    name = text.substr(0, open);
    uint64_t v = 0;
    for (char ch : text.substr(open + 1, text.size() - open - 2)) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + static_cast<uint64_t>(ch - '0');
        if (v > 0xFFFFFFFFu) return false;
    }
    element = static_cast<uint32_t>(v);
    indexed = true;
    return true;
}

} // namespace

bool Machine::readVariable(std::string_view name, Value& value) const {
    std::string_view base;
    uint32_t element;
    bool indexed;
    if (!splitElement(name, base, element, indexed)) return false;
    for (const Symbol& s : impl_->syms)
        if (s.name == base && (indexed ? element < s.elements : s.elements == 1 || !indexed))
            return readSlot(s.address, element, value);
    return false;
}

bool Machine::writeVariable(std::string_view name, const Value& value) {
    std::string_view base;
    uint32_t element;
    bool indexed;
    if (!splitElement(name, base, element, indexed)) return false;
    for (const Symbol& s : impl_->syms)
        if (s.name == base && element < s.elements) return writeSlot(s.address, element, value);
    return false;
}

bool Machine::readSlot(uint32_t address, uint32_t element, Value& value) const {
    for (const Symbol& s : impl_->syms)
        if (s.address == address && element < s.elements) {
            const Cell& c = impl_->mem[address + element];
            value = s.type == 3 ? Value::integer(c.i) : Value::real(c.r);
            return true;
        }
    return false;
}

bool Machine::writeSlot(uint32_t address, uint32_t element, const Value& value) {
    for (const Symbol& s : impl_->syms)
        if (s.address == address && element < s.elements) {
            Cell& c = impl_->mem[address + element];
            if (s.type == 3) c.i = value.isInteger ? value.i : truncate(value.r);
            else c.r = impl_->fl(value.asReal());
            return true;
        }
    return false;
}

uint32_t Machine::programId() const { return impl_->img.programId; }
std::string Machine::targetType() const { return impl_->img.targetType; }
bool Machine::singlePrecision() const { return impl_->single; }
bool Machine::hasLineTable() const { return (impl_->img.flags & image::kFlagDebug) != 0; }
bool Machine::hasSource() const { return (impl_->img.flags & image::kFlagSource) != 0; }
const std::string& Machine::sourceText() const { return impl_->img.source; }
uint64_t Machine::instructionsExecuted() const { return impl_->executed; }

} // namespace rux::vm
