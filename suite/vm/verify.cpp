#include "vm/verify.h"

#include "image/bytecode.h"

#include <cstring>
#include <vector>

namespace rux::vm {

using image::Op;
using image::Operand;

namespace {

uint32_t operandAt(const uint8_t* p, Operand kind) {
    uint32_t v = 0;
    const std::size_t w = image::operandSize(kind);
    for (std::size_t i = 0; i < w; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

struct Decoded {
    Op op;
    uint32_t a[image::kMaxOperands] = {};
    std::size_t size = 0;
};

Decoded decode(const image::Bytes& code, uint32_t pc) {
    Decoded d;
    d.op = static_cast<Op>(code[pc]);
    d.size = image::instructionSize(code[pc]);
    const image::OpInfo& info = image::opInfo(d.op);
    std::size_t at = pc + 1;
    for (int k = 0; k < image::kMaxOperands; ++k) {
        d.a[k] = operandAt(&code[at], info.operands[k]);
        at += image::operandSize(info.operands[k]);
    }
    return d;
}

struct State {
    int depth = -1;             // -1: not reached yet
    uint32_t frame = 0;         // smallest frame it was reached in
};

class Verifier {
public:
    Verifier(const image::Image& img, std::string& message) : m_img(img), m_msg(message) {}

    bool run() {
        const image::Bytes& code = m_img.code;
        m_start.assign(code.size() + 1, false);
        for (std::size_t pc = 0; pc < code.size();) {
            const std::size_t n = image::instructionSize(code[pc]);
            if (code[pc] >= image::kOpCount || n == 0)
                return bad(pc, "unknown instruction " + std::to_string(code[pc]));
            if (pc + n > code.size()) return bad(pc, "instruction runs past the end of the code");
            m_start[pc] = true;
            pc += n;
        }
        m_state.assign(code.size(), State());
        for (const image::TaskEntry& t : m_img.tasks)
            if (!reach(t.entry, 0, m_img.globalCells)) return false;
        for (const image::BlockEntry& b : m_img.blocks)
            if (!reach(b.entry, 0, b.frameSize)) return false;
        while (!m_work.empty()) {
            const uint32_t pc = m_work.back();
            m_work.pop_back();
            if (!check(pc)) return false;
        }
        return true;
    }

private:
    bool bad(std::size_t pc, const std::string& what) {
        m_msg = "image code damaged at " + std::to_string(pc) + ": " + what;
        return false;
    }

    bool reach(uint32_t pc, int depth, uint32_t frame) {
        if (pc >= m_img.code.size() || !m_start[pc]) return bad(m_from, "jump into the middle of an instruction");
        State& s = m_state[pc];
        if (s.depth < 0) {
            s.depth = depth;
            s.frame = frame;
            m_work.push_back(pc);
            return true;
        }
        if (s.depth != depth) return bad(pc, "operand stack depths differ where paths meet");
        if (frame < s.frame) {
            s.frame = frame;
            m_work.push_back(pc);
        }
        return true;
    }

    bool cells(uint32_t pc, uint64_t first, uint64_t count, uint32_t frame) {
        if (count == 0 || first + count > frame) return bad(pc, "variable outside its frame");
        return true;
    }

    bool check(uint32_t pc) {
        m_from = pc;
        const Decoded d = decode(m_img.code, pc);
        const State st = m_state[pc];
        const uint32_t frame = st.frame;
        int depth = st.depth;
        int pops = 0, pushes = 0;
        bool next = true, emptyStack = false;
        uint32_t target = UINT32_MAX;
        const auto& info = image::opInfo(d.op);
        // Operand ranges first.
        for (int k = 0; k < image::kMaxOperands; ++k) {
            const uint32_t v = d.a[k];
            switch (info.operands[k]) {
            case Operand::Cell:
                if (d.op != Op::LdX && d.op != Op::StX && d.op != Op::Arr && d.op != Op::FbCall &&
                    !cells(pc, v, 1, frame))
                    return false;
                break;
            case Operand::Const:
                if (v >= m_img.constants.size()) return bad(pc, "constant out of range");
                break;
            case Operand::String:
                if (v >= m_img.strings.size()) return bad(pc, "string out of range");
                break;
            case Operand::Block:
                if (v >= m_img.blocks.size()) return bad(pc, "function block out of range");
                break;
            case Operand::Target: target = v; break;
            default: break;
            }
        }
        switch (d.op) {
        case Op::Nop: case Op::Line: case Op::StI: case Op::IAddCC: case Op::ISubCC: case Op::IAddCI:
        case Op::PrS: case Op::PrEnd:
            break;
        case Op::PushI: case Op::PushR: case Op::Ld: pushes = 1; break;
        case Op::Pop: case Op::St: pops = 1; break;
        case Op::LdX: case Op::StX: case Op::Arr:
            if (!cells(pc, d.a[0], d.a[1], frame)) return false;
            if (d.op == Op::LdX) pops = pushes = 1;
            else if (d.op == Op::StX) pops = 2;
            else pushes = 2;
            break;
        case Op::IAdd: case Op::ISub: case Op::IMul: case Op::IDiv: case Op::RAdd: case Op::RSub:
        case Op::RMul: case Op::RDiv: case Op::IEq: case Op::INe: case Op::ILt: case Op::IGt:
        case Op::ILe: case Op::IGe: case Op::REq: case Op::RNe: case Op::RLt: case Op::RGt:
        case Op::RLe: case Op::RGe: case Op::And: case Op::Or:
            pops = 2;
            pushes = 1;
            break;
        case Op::INeg: case Op::RNeg: case Op::I2R: case Op::R2I: case Op::R2B: pops = pushes = 1; break;
        case Op::I2R1: pops = pushes = 2; break;
        case Op::Jmp: next = false; break;
        case Op::Jz: case Op::Jnz: pops = 1; break;
        case Op::Yield: emptyStack = true; break;
        case Op::Delay: pops = 1; break;
        case Op::End: case Op::Ret: case Op::FbRet: case Op::Reinit: emptyStack = true; next = false; break;
        case Op::PRdR: case Op::PRdI: case Op::PRdB: case Op::PWrR: case Op::PWrI: case Op::PWrB: {
            if (d.a[0] > 99 || d.a[1] > 99) return bad(pc, "parameter outside 0..99");
            if ((d.op == Op::PRdB || d.op == Op::PWrB) && d.a[2] > 31) return bad(pc, "bit outside 0..31");
            const bool read = d.op == Op::PRdR || d.op == Op::PRdI || d.op == Op::PRdB;
            (read ? pushes : pops) = 1;
            break;
        }
        case Op::PpRdR: case Op::PpRdI: pops = pushes = 1; break;
        case Op::PpWrR: case Op::PpWrI: pops = 2; break;
        case Op::Call:
            emptyStack = true;
            if (!reach(target, 0, m_img.globalCells < frame ? m_img.globalCells : frame)) return false;
            target = UINT32_MAX;
            break;
        case Op::FbCall: {
            const image::BlockEntry& b = m_img.blocks[d.a[0]];
            if (!cells(pc, d.a[1], b.frameSize, frame)) return false;
            pops = b.inputs;
            break;
        }
        case Op::Bi: {
            if (d.a[0] >= image::kBuiltinCount) return bad(pc, "unknown built-in function");
            const auto& bi = image::builtinInfo(static_cast<image::Builtin>(d.a[0]));
            pops = bi.pops;
            pushes = bi.pushes;
            break;
        }
        case Op::Filter: pops = 2; pushes = 1; break;
        case Op::PrI: case Op::PrR: pops = 1; break;
        case Op::IForInit: case Op::IForNext: case Op::RForInit: case Op::RForNext: break;
        case Op::Count_: return bad(pc, "unknown instruction");
        }
        if (depth < pops) return bad(pc, "operand stack underflow");
        depth = depth - pops + pushes;
        if (depth > kMaxStackDepth) return bad(pc, "operand stack overflow");
        if (emptyStack && depth != 0) return bad(pc, "call, return or yield with values on the stack");
        if (target != UINT32_MAX && !reach(target, depth, frame)) return false;
        if (next) {
            const uint32_t after = pc + static_cast<uint32_t>(d.size);
            if (after >= m_img.code.size()) return bad(pc, "code runs off its end");
            if (!reach(after, depth, frame)) return false;
        }
        return true;
    }

    const image::Image& m_img;
    std::string& m_msg;
    std::vector<bool> m_start;
    std::vector<State> m_state;
    std::vector<uint32_t> m_work;
    uint32_t m_from = 0; // the instruction being checked, for messages
};

} // namespace

bool verifyCode(const image::Image& image, std::string& message) {
    if (image.globalCells > (16u << 20)) {
        message = "image needs too many variables";
        return false;
    }
    return Verifier(image, message).run();
}

} // namespace rux::vm
