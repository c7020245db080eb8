// The instruction set of compiled images.
//
// A stack machine over 8-byte cells that hold either a 32-bit integer or a real; the compiler
// knows every type, so each instruction says which one it works on. Variables live in a frame of
// cells: a task's code runs in the program's global frame (base 0), a function block's body in the
// frame of the instance it was called for. Every cell operand is relative to the current frame.
// An instruction is one opcode byte followed by its operands, little-endian, sizes per opcode in
// the table below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rux::image {

// Operand kinds.
enum class Operand : uint8_t {
    None,
    Cell,     // u32 cell offset in the current frame
    Count,    // u32 element count of an array
    Const,    // u32 index into the real constants
    String,   // u32 index into the strings
    Target,   // u32 code offset (an instruction start)
    Imm,      // i32 immediate
    Byte,     // u8
    Block,    // u16 function block index
};

#define RUX_OPCODES(X)                                                                              \
    X(Nop, None, None, None, None)                                                               \
    X(PushI, Imm, None, None, None)       /* push integer */                                     \
    X(PushR, Const, None, None, None)     /* push real constant */                               \
    X(Pop, None, None, None, None)                                                               \
    X(Ld, Cell, None, None, None)         /* push cell */                                        \
    X(St, Cell, None, None, None)         /* pop into cell */                                    \
    X(LdX, Cell, Count, None, None)       /* index -> element (bounds checked) */                \
    X(StX, Cell, Count, None, None)       /* index value -> */                                   \
    X(Arr, Cell, Count, None, None)       /* push the array's frame address and size */         \
    X(IAdd, None, None, None, None)                                                              \
    X(ISub, None, None, None, None)                                                              \
    X(IMul, None, None, None, None)                                                              \
    X(IDiv, None, None, None, None)                                                              \
    X(INeg, None, None, None, None)                                                              \
    X(RAdd, None, None, None, None)                                                              \
    X(RSub, None, None, None, None)                                                              \
    X(RMul, None, None, None, None)                                                              \
    X(RDiv, None, None, None, None)                                                              \
    X(RNeg, None, None, None, None)                                                              \
    X(I2R, None, None, None, None)        /* top integer -> real */                              \
    X(I2R1, None, None, None, None)       /* the one below the top integer -> real */            \
    X(R2I, None, None, None, None)        /* truncates towards zero */                           \
    X(R2B, None, None, None, None)        /* real -> 1 when not zero, else 0 */                  \
    X(IEq, None, None, None, None)                                                               \
    X(INe, None, None, None, None)                                                               \
    X(ILt, None, None, None, None)                                                               \
    X(IGt, None, None, None, None)                                                               \
    X(ILe, None, None, None, None)                                                               \
    X(IGe, None, None, None, None)                                                               \
    X(REq, None, None, None, None)                                                               \
    X(RNe, None, None, None, None)                                                               \
    X(RLt, None, None, None, None)                                                               \
    X(RGt, None, None, None, None)                                                               \
    X(RLe, None, None, None, None)                                                               \
    X(RGe, None, None, None, None)                                                               \
    X(And, None, None, None, None)        /* bitwise on integers */                              \
    X(Or, None, None, None, None)                                                                \
    X(Jmp, Target, None, None, None)                                                             \
    X(Jz, Target, None, None, None)       /* pop integer, jump when 0 */                         \
    X(Jnz, Target, None, None, None)                                                             \
    X(Yield, None, None, None, None)      /* Background gives up its slice here */               \
    X(Delay, None, None, None, None)      /* pop milliseconds, suspend */                        \
    X(End, None, None, None, None)        /* end of a task's code */                             \
    X(Line, Imm, None, None, None)        /* a line starts: breakpoints and stepping */          \
    X(PRdR, Byte, Byte, None, None)       /* parameter menu.par scaled -> real */                \
    X(PRdI, Byte, Byte, None, None)       /* parameter raw -> integer */                         \
    X(PRdB, Byte, Byte, Byte, None)       /* parameter bit -> 0/1 */                             \
    X(PWrR, Byte, Byte, None, None)       /* real -> parameter scaled */                         \
    X(PWrI, Byte, Byte, None, None)       /* integer -> parameter raw */                         \
    X(PWrB, Byte, Byte, Byte, None)       /* integer 0/not 0 -> parameter bit */                 \
    X(PpRdR, None, None, None, None)      /* pointer -> real */                                  \
    X(PpRdI, None, None, None, None)      /* pointer -> integer */                               \
    X(PpWrR, None, None, None, None)      /* pointer real -> */                                  \
    X(PpWrI, None, None, None, None)      /* pointer integer -> */                               \
    X(Call, Target, None, None, None)     /* subroutine */                                       \
    X(Ret, None, None, None, None)                                                               \
    X(FbCall, Block, Cell, None, None)    /* inputs -> ; runs the block in frame base+cell */   \
    X(FbRet, None, None, None, None)                                                             \
    X(Bi, Byte, None, None, None)         /* built-in function, see Builtin */                   \
    X(Filter, Cell, None, None, None)     /* x k -> y, state in cell */                          \
    X(PrS, String, None, None, None)      /* PRINT: append a string */                           \
    X(PrI, None, None, None, None)        /* PRINT: append an integer */                         \
    X(PrR, None, None, None, None)        /* PRINT: append a real */                             \
    X(PrEnd, None, None, None, None)      /* PRINT: the line is complete */                      \
    X(Reinit, None, None, None, None)                                                            \
    X(IForInit, Cell, Cell, Cell, Target) /* var limit step exit: check step, maybe leave */   \
    X(IForNext, Cell, Cell, Cell, Target) /* var limit step body: step on, maybe go back */    \
    X(RForInit, Cell, Cell, Cell, Target)                                                        \
    X(RForNext, Cell, Cell, Cell, Target)                                                        \
    X(IAddCC, Cell, Cell, Cell, None)     /* a = b + c */                                        \
    X(ISubCC, Cell, Cell, Cell, None)     /* a = b - c */                                        \
    X(IAddCI, Cell, Cell, Imm, None)      /* a = b + imm */                                      \
    X(StI, Cell, Imm, None, None)         /* a = imm */

enum class Op : uint8_t {
#define RUX_OP_ENUM(name, a, b, c, d) name,
    RUX_OPCODES(RUX_OP_ENUM)
#undef RUX_OP_ENUM
    Count_
};

constexpr int kOpCount = static_cast<int>(Op::Count_);
constexpr int kMaxOperands = 4;

struct OpInfo {
    const char* name;
    Operand operands[kMaxOperands];
};

const OpInfo& opInfo(Op op);
std::size_t operandSize(Operand kind);
// Size of the instruction at code[0] (opcode included); 0 when the opcode is unknown.
std::size_t instructionSize(uint8_t opcode);

// Built-in functions of the Bi instruction with their stack effect (pops, pushes 1 or 0).
#define RUX_BUILTINS(X)                                                                             \
    X(AbsI, 1, 1) X(AbsR, 1, 1) X(Sin, 1, 1) X(Cos, 1, 1) X(Tan, 1, 1) X(Sqr, 1, 1) X(Exp, 1, 1)    \
    X(Ln, 1, 1) X(SgnI, 1, 1) X(SgnR, 1, 1) X(MinI, 2, 1) X(MinR, 2, 1)             \
    X(MaxI, 2, 1) X(MaxR, 2, 1) X(LimitI, 3, 1) X(LimitR, 3, 1) X(Time, 0, 1) X(Bcd2Bin, 1, 1)    \
    X(Bin2Bcd, 1, 1) X(Bcd2Seg, 1, 1) X(Crc, 3, 1) X(AverageI, 3, 1) X(AverageR, 3, 1)           \
    X(GetChar, 0, 1) X(PutChar, 1, 0) X(GetKey, 0, 1) X(PutKey, 1, 0) X(AnsiRead, 1, 1)           \
    X(AnsiWrite, 2, 1) X(AnsiReply, 1, 1)

enum class Builtin : uint8_t {
#define RUX_BI_ENUM(name, pops, pushes) name,
    RUX_BUILTINS(RUX_BI_ENUM)
#undef RUX_BI_ENUM
    Count_
};

struct BuiltinInfo {
    const char* name;
    int pops;
    int pushes;
};
constexpr int kBuiltinCount = static_cast<int>(Builtin::Count_);
const BuiltinInfo& builtinInfo(Builtin b);

// One instruction as text ("IAddCC 3, 3, 4"); `size` receives its length (0 when it runs past the end).
std::string disassembleOne(const uint8_t* code, std::size_t available, std::size_t& size);

} // namespace rux::image
