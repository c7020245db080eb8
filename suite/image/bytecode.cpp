#include "image/bytecode.h"

#include <cstdio>
#include <cstring>

namespace rux::image {

namespace {

const OpInfo kOps[] = {
#define RUX_OP_INFO(name, a, b, c, d) {#name, {Operand::a, Operand::b, Operand::c, Operand::d}},
    RUX_OPCODES(RUX_OP_INFO)
#undef RUX_OP_INFO
};
static_assert(sizeof(kOps) / sizeof(kOps[0]) == kOpCount);

const BuiltinInfo kBuiltins[] = {
#define RUX_BI_INFO(name, pops, pushes) {#name, pops, pushes},
    RUX_BUILTINS(RUX_BI_INFO)
#undef RUX_BI_INFO
};
static_assert(sizeof(kBuiltins) / sizeof(kBuiltins[0]) == kBuiltinCount);

struct SizeTable {
    uint8_t size[256] = {};
    SizeTable() {
        for (int op = 0; op < kOpCount; ++op) {
            std::size_t n = 1;
            for (Operand k : kOps[op].operands) n += operandSize(k);
            size[op] = static_cast<uint8_t>(n);
        }
    }
};
const SizeTable kSizes;

} // namespace

const OpInfo& opInfo(Op op) { return kOps[static_cast<int>(op)]; }

std::size_t operandSize(Operand kind) {
    switch (kind) {
    case Operand::None: return 0;
    case Operand::Byte: return 1;
    case Operand::Block: return 2;
    default: return 4;
    }
}

std::size_t instructionSize(uint8_t opcode) { return kSizes.size[opcode]; }

const BuiltinInfo& builtinInfo(Builtin b) { return kBuiltins[static_cast<int>(b)]; }

std::string disassembleOne(const uint8_t* code, std::size_t available, std::size_t& size) {
    size = 0;
    if (available == 0) return {};
    const std::size_t n = instructionSize(code[0]);
    if (n == 0) return std::string("?").append(std::to_string(code[0]));
    if (n > available) return "<truncated>";
    size = n;
    const OpInfo& info = kOps[code[0]];
    std::string text = info.name;
    std::size_t at = 1;
    bool first = true;
    for (Operand k : info.operands) {
        if (k == Operand::None) break;
        text += first ? " " : ", ";
        first = false;
        uint32_t v = 0;
        const std::size_t w = operandSize(k);
        for (std::size_t i = 0; i < w; ++i) v |= static_cast<uint32_t>(code[at + i]) << (8 * i);
        at += w;
        switch (k) {
        case Operand::Imm: text += std::to_string(static_cast<int32_t>(v)); break;
        case Operand::Const: text.append("k").append(std::to_string(v)); break;
        case Operand::String: text.append("s").append(std::to_string(v)); break;
        case Operand::Target: text.append("@").append(std::to_string(v)); break;
        case Operand::Block: text += "fb" + std::to_string(v); break;
        default: text += std::to_string(v); break;
        }
        if (static_cast<Op>(code[0]) == Op::Bi && k == Operand::Byte && v < kBuiltinCount)
            text += std::string(" (") + kBuiltins[v].name + ")";
    }
    return text;
}

} // namespace rux::image
