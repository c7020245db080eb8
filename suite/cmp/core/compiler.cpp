#include "compiler.h"

#include "document/diagram_item.h"
#include "image/bytecode.h"
#include "lexer.h"
#include "name_table.h"
#include "reserved_words.h"

#include <algorithm>
#include <charconv>
#include <bit>
#include <cctype>
#include <functional>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <type_traits>
#include <unordered_map>

namespace rux::cmp {

using image::Builtin;
using image::Op;

std::string FormatMessage(const std::string& fileName, const Message& m) {
    return fileName + "(" + std::to_string(m.item) + "," + std::to_string(m.start) + "-" + std::to_string(m.end) +
           "): " + (m.warning ? "warning " : "error ") + m.code + ": " + m.text;
}

std::string FormatSummary(int errors, int warnings) {
    return std::to_string(errors) + " error(s), " + std::to_string(warnings) + " warning(s)";
}

std::string SymbolFileText(const image::Image& image) {
    std::string out;
    for (const image::SymbolEntry& s : image.symbols) {
        out += s.name;
        out += " " + std::to_string(s.address) + " " + std::to_string(s.type) + " 0";
        if (s.elements != 1) out += " " + std::to_string(s.elements);
        out += "\n";
    }
    return out;
}

namespace {

enum class Type { Int, Real, None };

constexpr uint32_t kMaxCells = 4u << 20; // 32 MB of variables

// The most code a line can compile to: a few fixed instructions (its Line, the jump that ends
// the branch above an ELSEIF, a FOR's set-up, a LOOP's IForNext) and, for each token, at most
// one instruction with its conversions (LdX, StX and Arr are the longest at 9 bytes; a block call
// stores each output with two instructions, but each output is two tokens with its comma). The
// arguments of MIN, MAX and LIMIT may be compiled twice, but the first code is dropped first.
constexpr std::size_t kCodePerLine = 128, kCodePerToken = 32;

// Thrown to abandon the rest of a line after its error was reported.
struct LineError {};

// Maps keyed by name, looked up with the token's view of the name (no string is built); the
// names the code looks up on every line are in NameTables.
template <class T> using SortedNames = std::map<std::string, T, std::less<>>;

struct Var {
    std::string name;
    bool isInt = true;
    bool isArray = false;
    bool isConst = false;
    uint32_t size = 1;
    uint32_t cell = 0;
    int64_t constInt = 0;
    double constReal = 0;
    bool read = false, written = false;
    int item = 0, start = 0, end = 0;        // first use
    int readItem = -1, readStart = 0, readEnd = 0;
    int writeItem = -1, writeStart = 0, writeEnd = 0;
};

struct Reloc {
    uint32_t pos;       // where the u32 cell operand sits in the code
    int instance;
    uint32_t addend;
};

// Variables in chunks of fixed size: a reference stays valid while a line creates more, and
// indexing is a shift and a mask.
class VarStore {
public:
    Var& operator[](std::size_t i) { return m_chunks[i >> kShift][i & kMask]; }
    const Var& operator[](std::size_t i) const { return m_chunks[i >> kShift][i & kMask]; }
    std::size_t size() const { return m_size; }
    void push_back(Var v) {
        if ((m_size & kMask) == 0) m_chunks.push_back(std::make_unique<Var[]>(kMask + 1));
        (*this)[m_size++] = std::move(v);
    }
    template <class Store, class V> class Iter {
    public:
        Iter(Store* s, std::size_t i) : m_s(s), m_i(i) {}
        V& operator*() const { return (*m_s)[m_i]; }
        Iter& operator++() {
            ++m_i;
            return *this;
        }
        bool operator!=(const Iter& o) const { return m_i != o.m_i; }

    private:
        Store* m_s;
        std::size_t m_i;
    };
    Iter<VarStore, Var> begin() { return {this, 0}; }
    Iter<VarStore, Var> end() { return {this, m_size}; }
    Iter<const VarStore, const Var> begin() const { return {this, 0}; }
    Iter<const VarStore, const Var> end() const { return {this, m_size}; }

private:
    static constexpr std::size_t kShift = 8, kMask = (std::size_t{1} << kShift) - 1;
    std::vector<std::unique_ptr<Var[]>> m_chunks;
    std::size_t m_size = 0;
};

struct Scope {
    int block = -1;     // -1: the program's global frame
    VarStore vars;
    NameTable byName;      // name -> index in vars
    std::unordered_map<std::string, std::string> spellings; // lower case -> first spelling
    uint32_t cells = 0;
    std::vector<int> instances; // block index per call site
    std::vector<Reloc> relocs;
    std::vector<uint32_t> instanceBase;
    uint32_t frameSize = 0;
};

struct BlockDef {
    std::string name;
    int headerItem = 0;
    std::vector<std::string> inputs, outputs;
    std::vector<bool> inInt, outInt;
    std::vector<std::pair<int, int>> inCols, outCols; // where each name stands in the header line
    uint32_t entry = 0;
    int scope = -1;
    bool defined = false;
    std::vector<int> calls; // blocks called from its body
};

enum class SectionKind { Task, Sub, Block, Notes, Alias, Other };

struct Section {
    SectionKind kind = SectionKind::Other;
    int header = 0;
    int footer = -1;    // item index of the footer; -1 when the next section or the end comes first
    int stop = 0;       // first item after the section's lines (its footer, or where it stops)
    std::string title;
    std::string taskName;
    int taskId = -1;
    std::string subName;
    int block = -1;
    int fbBody = -1;    // item of the FBbody line
    SortedNames<std::pair<int, int>> labels; // name -> (item, column)
};

// Code offsets of jumps to patch when a block closes. An IF has one per ELSEIF or ELSE, a loop
// one per EXIT: the first few stand in the block itself, so most blocks allocate nothing.
class PatchList {
public:
    void push_back(uint32_t at) {
        if (m_size < kInline) m_inline[m_size] = at;
        else m_more.push_back(at);
        ++m_size;
    }
    template <class F> void forEach(F&& f) const {
        for (std::size_t k = 0; k < std::min(m_size, kInline); ++k) f(m_inline[k]);
        for (uint32_t at : m_more) f(at);
    }

private:
    static constexpr std::size_t kInline = 4;
    uint32_t m_inline[kInline] = {};
    std::size_t m_size = 0;
    std::vector<uint32_t> m_more;
};

struct OpenBlock {
    enum Kind { If, Do, DoWhile, For } kind = If;
    int item = 0, start = 0, end = 0;
    PatchList endPatches;
    std::optional<uint32_t> nextCond;
    bool hasElse = false;
    bool branchClosed = false; // the branch before this ELSEIF / ELSE line has its jump to ENDIF
    uint32_t top = 0;
    PatchList exits;
    uint32_t var = 0, lim = 0, step = 0;
    bool isInt = true;
};

// Whether the first pass must look at a line: a directive, a label, DIM, CONST or FBbody can
// only stand first (an alias cannot stand for them: aliases are for values).
bool MayDeclare(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) return false;
    if (line[i] == '$') return true;
    // DIM, CONST or FBbody; any other declaration is a label: a word and a ':'. Most lines have
    // no ':' at all, which one search tells.
    const char first = static_cast<char>(line[i] | 0x20);
    if (first != 'd' && first != 'c' && first != 'f' && !std::memchr(line.data() + i, ':', line.size() - i)) return false;
    std::size_t j = WordEnd(line.data(), i, line.size());
    if (j == i) return false;
    const std::string_view w = line.substr(i, j - i);
    if ((first == 'd' || first == 'c' || first == 'f') &&
        (EqualsNoCase(w, "DIM") || EqualsNoCase(w, "CONST") || EqualsNoCase(w, "FBBODY")))
        return true;
    while (j < line.size() && (line[j] == ' ' || line[j] == '\t')) ++j;
    return j < line.size() && line[j] == ':';
}

// The place of a built-in in kFunctions, for naming it in a comparison; not a built-in does not compile.
consteval std::ptrdiff_t FunctionIndex(std::string_view name) {
    for (std::size_t k = 0; k < std::size(kFunctions); ++k)
        if (kFunctions[k].name == name) return static_cast<std::ptrdiff_t>(k);
    throw "not a built-in";
}

// A word of at most 8 characters as one number, its first character in the low byte.
constexpr uint64_t WordCode(std::string_view w) {
    uint64_t c = 0;
    for (std::size_t k = 0; k < w.size(); ++k) c |= uint64_t{static_cast<unsigned char>(w[k])} << (8 * k);
    return c;
}
struct KeywordCodes {
    uint64_t code[std::size(kKeywords)] = {};
    constexpr KeywordCodes() {
        for (std::size_t k = 0; k < std::size(kKeywords); ++k) code[k] = WordCode(kKeywords[k]);
    }
};
constexpr KeywordCodes kKeywordCodes;
struct FunctionCodes {
    uint64_t head[std::size(kFunctions)] = {}; // the first 8 characters
    char ninth[std::size(kFunctions)] = {};
    constexpr FunctionCodes() {
        for (std::size_t k = 0; k < std::size(kFunctions); ++k) {
            head[k] = WordCode(kFunctions[k].name.substr(0, 8));
            ninth[k] = kFunctions[k].name.size() > 8 ? kFunctions[k].name[8] : '\0';
        }
    }
};
constexpr FunctionCodes kFunctionCodes;
static_assert(LengthsWithin(2, 9, true));

// The word with its letters in capitals, as WordCode gives it (1 to 8 characters of a word, which
// are ASCII). The bytes are read as one or two overlapping loads, never past the word's end, and
// raised to capitals eight at a time: no byte sum below carries into the next byte.
inline uint64_t UpperCode(std::string_view w) {
    const std::size_t n = w.size();
    const char* p = w.data();
    uint64_t c;
    if (n >= 4) {
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + n - 4, 4);
        c = uint64_t{lo} | (n > 4 ? uint64_t{hi} << (8 * (n - 4)) : 0);
    } else {
        c = uint64_t{static_cast<unsigned char>(p[0])} | uint64_t{static_cast<unsigned char>(p[n / 2])} << (8 * (n / 2)) |
            uint64_t{static_cast<unsigned char>(p[n - 1])} << (8 * (n - 1));
    }
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    const uint64_t atLeastA = c + (0x80 - 'a') * kOnes;  // top bit: the byte is 'a' or above
    const uint64_t aboveZ = c + (0x80 - 'z' - 1) * kOnes; // top bit: the byte is above 'z'
    const uint64_t lower = atLeastA & ~aboveZ & (0x80 * kOnes);
    return c ^ (lower >> 2);
}

const Builtinfo* FindFunctionIn(std::string_view word);

// Most words are rejected by their length, last character or first letter, without a call.
[[gnu::always_inline]] inline const Builtinfo* FindFunction(std::string_view word) {
    // No built-in is shorter than 2 or longer than 9 letters, and none ends in '%'.
    if (word.size() < 2 || word.size() > 9 || word.back() == '%') return nullptr;
    if (!MayBeIn(kFirstLetters.function, word)) return nullptr;
    return FindFunctionIn(word);
}

[[gnu::noinline]] const Builtinfo* FindFunctionIn(std::string_view word) {
    const uint64_t head = UpperCode(word.substr(0, 8));
    const char ninth = word.size() > 8 ? static_cast<char>(word[8] >= 'a' && word[8] <= 'z' ? word[8] - 'a' + 'A' : word[8]) : '\0';
    for (std::size_t k = 0; k < std::size(kFunctions); ++k)
        if (kFunctionCodes.head[k] == head && kFunctionCodes.ninth[k] == ninth && kFunctions[k].name.size() == word.size())
            return &kFunctions[k];
    return nullptr;
}

// The keywords in the order of kKeywords.
enum class Kw { None = -1, If, Then, ElseIf, Else, EndIf, Do, While, Loop, For, To, Step, Exit, Goto, Call, Dim, Const,
                Print, Reinit, Wdog, Delay, And, Or, FbBody };
static_assert(std::size(kKeywords) == static_cast<std::size_t>(Kw::FbBody) + 1 && kKeywords[static_cast<int>(Kw::Print)] == "PRINT");


Kw KeywordIn(std::string_view word);

[[gnu::always_inline]] inline Kw KeywordOf(std::string_view word) {
    // Keywords have 2 to 6 letters and never end in '%'.
    if (word.size() < 2 || word.size() > 6 || word.back() == '%') return Kw::None;
    if (!MayBeIn(kFirstLetters.keyword, word)) return Kw::None;
    return KeywordIn(word);
}

// The keywords of each length (2 to 6), so that a word is compared with at most eight codes (a
// ninth would not fit its row and stop the compilation).
struct KeywordsByLength {
    uint8_t count[8] = {};
    uint8_t index[8][8] = {};
    constexpr KeywordsByLength() {
        for (std::size_t k = 0; k < std::size(kKeywords); ++k) {
            const std::size_t n = kKeywords[k].size();
            index[n][count[n]++] = static_cast<uint8_t>(k);
        }
    }
};
constexpr KeywordsByLength kKeywordsByLength;

[[gnu::noinline]] Kw KeywordIn(std::string_view word) {
    // The word in capitals against each code of its length.
    const uint64_t c = UpperCode(word);
    const std::size_t n = word.size();
    for (std::size_t k = 0; k < kKeywordsByLength.count[n]; ++k) {
        const uint8_t at = kKeywordsByLength.index[n][k];
        if (kKeywordCodes.code[at] == c) return static_cast<Kw>(at);
    }
    return Kw::None;
}

inline bool IsKeyword(std::string_view word) { return KeywordOf(word) != Kw::None; }

const char* const kHeaderDirectives[] = {"AUTHOR", "COMPANY", "TITLE", "VERSION", "DRIVE", "TARGET", "TYPE",
                                         "ADDRESS", "DEBUG", "SOURCE", "V3", "NAME", "GROUP", "NETWORK",
                                         "FLOATINGPOINT", "LIBRARY", "REFLIBS", "OPTIONNUMBER", "POSHARD",
                                         "POSLINK", "CLIPPARAM", "CLONABLE", "USERPROGENABLED", "H2LITE"};

// A callable giving a Type, passed without copying or allocating (the callee only calls it while
// the caller's full expression lasts).
class TypeFn {
public:
    template <class F>
    TypeFn(F&& f) : m_obj(static_cast<void*>(&f)), m_call([](void* o) { return (*static_cast<std::remove_reference_t<F>*>(o))(); }) {}
    Type operator()() const { return m_call(m_obj); }

private:
    void* m_obj;
    Type (*m_call)(void*);
};

// The code being generated. Bytes go into storage that is already there (grown by doubling): room
// is made before a statement for all the code it can produce (see kCodePerToken), so appending
// a byte is a store and an add, without a check.
class CodeBuffer {
public:
    std::size_t size() const { return static_cast<std::size_t>(m_at - m_bytes.data()); }
    uint8_t* data() { return m_bytes.data(); }
    uint8_t& operator[](std::size_t i) { return m_bytes[i]; }
    void truncate(std::size_t n) { m_at = m_bytes.data() + n; } // n <= size()
    void reserve(std::size_t n) {
        if (n > m_bytes.size()) resize(n);
    }
    // Room for `n` more bytes: appends of up to `n` bytes in all follow.
    void makeRoom(std::size_t n) {
        if (static_cast<std::size_t>(m_limit - m_at) < n) [[unlikely]]
            grow(n);
    }
    [[gnu::always_inline]] void push(uint8_t b) { *append(1) = b; }
    [[gnu::always_inline]] uint8_t* append(std::size_t n) {
        uint8_t* at = m_at;
        m_at += n;
        return at;
    }
    image::Bytes take() {
        m_bytes.resize(size());
        m_at = m_limit = nullptr;
        return std::move(m_bytes);
    }

private:
    void resize(std::size_t capacity) {
        const std::size_t used = size();
        m_bytes.resize(capacity);
        m_at = m_bytes.data() + used;
        m_limit = m_bytes.data() + m_bytes.size();
    }
    [[gnu::noinline]] void grow(std::size_t n) { resize(std::max<std::size_t>(2 * m_bytes.size(), size() + n + 4096)); }

    image::Bytes m_bytes; // its size is the capacity, not zero-filled; the code runs from its start to m_at
    uint8_t* m_at = nullptr;
    uint8_t* m_limit = nullptr;
};

// A little-endian u32 operand, as the image stores it.
[[gnu::always_inline]] inline void StoreU32(uint8_t* at, uint32_t v) {
    if constexpr (std::endian::native != std::endian::little) v = __builtin_bswap32(v);
    std::memcpy(at, &v, 4);
}

struct ParamRef {
    enum Form { Scaled, Raw, Bit, Pointer } form = Scaled;
    int menu = 0, par = 0, bit = 0;
    std::string_view pointer; // part of the token's text
};

class Compiler {
public:
    // `programItems`: how many of `items` are the program's; library items follow them.
    Compiler(const std::vector<SourceItem>& items, const Options& options, std::size_t programItems,
             std::vector<std::pair<int, std::string>> libraryStarts)
        : m_items(items), m_opt(options), m_programItems(static_cast<int>(programItems)),
          m_libraryStarts(std::move(libraryStarts)) {}

    Result run();

private:
    // --- messages ---------------------------------------------------------------------------
    void error(int item, int start, int end, const char* code, std::string text) {
        add(item, start, end, false, code, std::move(text));
    }
    void warn(int item, int start, int end, const char* code, std::string text) {
        add(item, start, end, true, code, std::move(text));
    }
    void add(int item, int start, int end, bool warning, const char* code, std::string text) {
        if (end <= start) end = start + 1;
        m_messages.push_back({item, start, end, warning, code, std::move(text)});
    }
    [[noreturn]] void badToken(const Token& t) {
        if (!t.text.empty() && t.text[0] == '"')
            fail(t, "E002", "the text " + t.text + " is not closed (a ';' or '//' inside quotes starts a comment)");
        if (!t.text.empty() && std::isdigit(static_cast<unsigned char>(t.text[0])))
            fail(t, "E018", "'" + t.text + "' is not a valid number");
        fail(t, "E002", "unknown operator '" + t.text + "'");
    }
    [[noreturn]] void fail(const Token& t, const char* code, std::string text) {
        error(m_item, t.start, t.end, code, std::move(text));
        throw LineError();
    }
    int lineEnd(int item) const { return static_cast<int>(m_items[static_cast<std::size_t>(item)].text.size()) + 1; }
    // The program's lines lie wherever the document allocated them: asking for a line a few
    // items ahead lets its bytes arrive while the current one is compiled.
    void prefetchAhead(std::size_t item) const {
        constexpr std::size_t kAhead = 6;
        if (item + kAhead < m_items.size()) __builtin_prefetch(m_items[item + kAhead].text.data());
    }

    // --- pre-pass ------------------------------------------------------------------------------
    void collectSections();
    void classifySection(Section& s);
    void parseBlockHeader(Section& s);
    void prepass();
    // The tokens of a line into m_toks, its aliases replaced.
    [[gnu::always_inline]] void lineTokens(std::string_view text) {
        if (m_aliases.empty()) TokeniseLine(text, m_toks);
        else aliasedTokens(text);
    }
    [[gnu::noinline]] void aliasedTokens(std::string_view text);
    void handleDirective(const TokenList& toks, bool define);

    // --- code ----------------------------------------------------------------------------------
    [[gnu::always_inline]] void emit(Op op) { m_code.push(static_cast<uint8_t>(op)); }
    [[gnu::always_inline]] void u8(uint32_t v) { m_code.push(static_cast<uint8_t>(v)); }
    void u16(uint32_t v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    [[gnu::always_inline]] void u32(uint32_t v) { StoreU32(m_code.append(4), v); }
    // An opcode and its cell operand with one room check.
    [[gnu::always_inline]] void opU32(Op op, uint32_t v) {
        uint8_t* b = m_code.append(5);
        b[0] = static_cast<uint8_t>(op);
        StoreU32(b + 1, v);
    }
    uint32_t here() const { return static_cast<uint32_t>(m_code.size()); }
    void patch(uint32_t at, uint32_t value) { StoreU32(m_code.data() + at, value); }
    uint32_t jump(Op op) {
        opU32(op, 0);
        return here() - 4;
    }
    void jumpTo(Op op, uint32_t target) { opU32(op, target); }
    [[gnu::always_inline]] void cellOp(Op op, uint32_t cell) { opU32(op, cell); }
    [[gnu::always_inline]] void pushInt(int64_t v) { opU32(Op::PushI, static_cast<uint32_t>(static_cast<int32_t>(v))); }
    void pushReal(double v) { opU32(Op::PushR, constant(v)); }
    uint32_t constant(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof v);
        if (const auto it = m_constantIndex.find(bits); it != m_constantIndex.end()) return it->second;
        const uint32_t index = static_cast<uint32_t>(m_constants.size());
        m_constantIndex.emplace(bits, index);
        m_constants.push_back(v);
        return index;
    }
    uint32_t stringIndex(std::string_view s) {
        if (const int known = m_stringIndex.find(s); known >= 0) return static_cast<uint32_t>(known);
        const uint32_t index = static_cast<uint32_t>(m_strings.size());
        m_strings.emplace_back(s);
        m_stringIndex.set(s, static_cast<int>(index));
        return index;
    }
    void convert(Type from, Type to) {
        if (from == Type::Int && to == Type::Real) emit(Op::I2R);
        else if (from == Type::Real && to == Type::Int) emit(Op::R2I);
    }
    void truth(Type t) {
        if (t == Type::Real) emit(Op::R2B);
    }

    // --- variables -------------------------------------------------------------------------------
    Scope& scope() { return m_scopes[static_cast<std::size_t>(m_scope)]; }
    int declare(Scope& sc, std::string_view name, int item, int start, int end);
    // The variable a word names; a scalar is created on its first use. The common case, a name
    // already known in the form it is used, is inline; the rest is newVariable / wrongForm.
    [[gnu::always_inline]] Var& variable(const Token& t, bool forArray) {
        Scope& sc = scope();
        const int found = sc.byName.find(t.text);
        if (found < 0) [[unlikely]]
            return newVariable(t, forArray);
        Var& v = sc.vars[static_cast<std::size_t>(found)];
        if (v.isArray != forArray) [[unlikely]]
            wrongForm(t, v.isArray);
        return v;
    }
    [[gnu::noinline]] Var& newVariable(const Token& t, bool forArray);
    [[noreturn, gnu::noinline]] void wrongForm(const Token& t, bool isArray);
    uint32_t hiddenCell(Type t);
    // The first read and the first write of a variable are kept for its warnings.
    [[gnu::always_inline]] void noteRead(Var& v, int item, const Token& t) {
        if (!v.read || v.readItem < 0) {
            v.readItem = item;
            v.readStart = t.start;
            v.readEnd = t.end;
        }
        v.read = true;
    }
    [[gnu::always_inline]] void noteWrite(Var& v, int item, const Token& t) {
        if (!v.written || v.writeItem < 0) {
            v.writeItem = item;
            v.writeStart = t.start;
            v.writeEnd = t.end;
        }
        v.written = true;
    }
    void checkName(const Token& t);
    void realInFixedPoint(const Token& t);

    // --- statements ----------------------------------------------------------------------------
    void compileSection(Section& s);
    void compileLine(Section& s, int item, bool declarationsOnly);
    // `known`: the keyword of the statement's first token when the caller has looked it up.
    void statement(Section& s, std::size_t& p, bool nested, const Kw* known = nullptr);
    void assignment(std::size_t& p);
    void blockCall(std::size_t& p, std::span<const std::size_t> targets, std::size_t nameAt);
    void storeTarget(std::size_t& p, Type valueType, TypeFn value);
    void closeSection(Section& s);
    void collectCalls(const Section& s);
    // A block opened by `t`, on the stack of open blocks.
    OpenBlock& pushBlock(OpenBlock::Kind kind, const Token& t) {
        OpenBlock& b = m_open.emplace_back();
        b.kind = kind;
        b.item = m_item;
        b.start = t.start;
        b.end = t.end;
        return b;
    }
    OpenBlock openBlock(OpenBlock::Kind kind, const Token& t) const {
        OpenBlock b;
        b.kind = kind;
        b.item = m_item;
        b.start = t.start;
        b.end = t.end;
        return b;
    }
    // The branch of an IF before ELSEIF / ELSE is complete: jump to ENDIF, and the false
    // condition of the branch comes here.
    void closeBranch(OpenBlock& b) {
        b.endPatches.push_back(jump(Op::Jmp));
        if (b.nextCond) patch(*b.nextCond, here());
        b.nextCond.reset();
        b.branchClosed = true;
    }

    // --- expressions ---------------------------------------------------------------------------
    [[gnu::always_inline]] const Token& tok(std::size_t p) const { return m_toks[std::min(p, m_toks.size() - 1)]; }
    // Only operator tokens have an operator code.
    [[gnu::always_inline]] bool isOp(std::size_t p, std::string_view op) const { return tok(p).op == OpCode(op); }
    // `what` is only read when the operator is missing: no message text is built on the way.
    void expect(std::size_t& p, std::string_view op, std::string_view what) {
        if (!isOp(p, op)) missing(p, op, what);
        ++p;
    }
    [[noreturn]] void missing(std::size_t p, std::string_view op, std::string_view what);
    void expectEnd(std::size_t p);
    [[gnu::always_inline]] Type expression(std::size_t& p) { return binary(p, 1); }
    // The binary operators by precedence, all left-associative: OR, AND, the comparisons, + -, * /.
    enum class Bin { None, Or, And, Eq, Ne, Lt, Gt, Le, Ge, Add, Sub, Mul, Div };
    static int precedence(Bin b) {
        switch (b) {
        case Bin::None: return 0;
        case Bin::Or: return 1;
        case Bin::And: return 2;
        case Bin::Add:
        case Bin::Sub: return 4;
        case Bin::Mul:
        case Bin::Div: return 5;
        default: return 3;
        }
    }
    Bin binaryAt(std::size_t p) const;
    // Operands joined by operators of at least `minPrecedence` (one function instead of one per level).
    Type binary(std::size_t& p, int minPrecedence);
    // An operand with its signs: most have none and go straight to primary().
    [[gnu::always_inline]] Type unary(std::size_t& p) {
        const uint16_t op = tok(p).op;
        if (op == OpCode("-") || op == OpCode("+")) [[unlikely]]
            return signedOperand(p);
        return primary(p);
    }
    Type signedOperand(std::size_t& p);
    // An operand. A plain name that is not indexed or called and an integer literal are compiled
    // here; everything else by operand().
    [[gnu::always_inline]] Type primary(std::size_t& p) {
        const Token& t = tok(p);
        if (t.plain) [[likely]] {
            const uint16_t next = tok(p + 1).op;
            if (next != OpCode("[") && next != OpCode("(")) {
                ++p;
                return scalarValue(t);
            }
        } else if (t.kind == Tok::Int) {
            if (t.ival > 2147483647) [[unlikely]]
                badToken(t); // 2147483648 is only written as -2147483648
            pushInt(t.ival);
            ++p;
            return Type::Int;
        }
        return operand(p);
    }
    // The value of a name standing alone (p is past it).
    [[gnu::always_inline]] Type scalarValue(const Token& t) {
        Var& v = variable(t, false);
        if (v.isConst) {
            if (v.isInt) pushInt(v.constInt);
            else pushReal(v.constReal);
            return v.isInt ? Type::Int : Type::Real;
        }
        noteRead(v, m_item, t);
        cellOp(Op::Ld, v.cell);
        return v.isInt ? Type::Int : Type::Real;
    }
    Type operand(std::size_t& p);
    Type function(std::size_t& p, const Builtinfo& f, bool brackets);
    Type arithmetic(Type a, Type b, Op intOp, Op realOp);
    void intExpression(std::size_t& p);
    // A parameter word (#1.21, #INT1.21, #8.03.2, #Ptr%, B2#...) into `ref`; false for any other
    // word. Most words start with neither '#' nor 'B', which is tested here without a call.
    [[gnu::always_inline]] bool parseParam(const Token& t, ParamRef& ref) {
        const char c = t.text[0];
        if (c != '#' && (c | 0x20) != 'b') return false;
        return parseParamWord(t, ref);
    }
    bool parseParamWord(const Token& t, ParamRef& ref);
    // A parameter pointer (#x%): its integer variable is checked and its value loaded.
    void loadParamPointer(const Token& t, const ParamRef& ref);
    std::optional<int64_t> constantInt(std::size_t& p);
    std::optional<double> constantNumber(std::size_t& p, bool& isInt);

    // --- finishing -----------------------------------------------------------------------------
    void finishWarnings();
    bool layoutFrames();
    void buildImage(Result& r);

    bool inLibrary(int item) const { return item >= m_programItems; }
    // The last item of a section: its footer, or the last of its lines.
    std::size_t lastItemOf(int section) const {
        const Section& s = m_sections[static_cast<std::size_t>(section)];
        return static_cast<std::size_t>(s.footer >= 0 ? s.footer : s.stop - 1);
    }
    // The first item of the program or library that `item` belongs to.
    int fileStart(int item) const {
        int start = 0;
        for (const auto& [first, name] : m_libraryStarts)
            if (first <= item && inLibrary(item)) start = first;
        return start;
    }
    void nameUntitledDiagrams(const std::vector<int>& diagrams);
    std::string_view diagramTitle(int item) const;
    const std::string& libraryOf(int item) const {
        std::size_t k = 0;
        while (k + 1 < m_libraryStarts.size() && m_libraryStarts[k + 1].first <= item) ++k;
        return m_libraryStarts[k].second;
    }
    // `name` holds the instance's prefix ("_Outer.1."); it is extended and restored.
    void addInstanceSymbols(image::Image& img, std::string& name, int block, uint32_t base);
    // The symbols one instance of `block` adds, its nested instances included (memo per block).
    std::size_t instanceSymbolCount(int block, std::vector<std::size_t>& memo) const;
    static bool isSymbol(const Var& v) { return !(v.isConst || v.name.empty()); }
    void mapLibraryMessages();
    std::string unknownBlockText(std::string_view name) const;

    const std::vector<SourceItem>& m_items;
    const Options& m_opt;
    const int m_programItems;
    const std::vector<std::pair<int, std::string>> m_libraryStarts; // first item of each library, its name
    std::vector<Message> m_messages;
    std::vector<Section> m_sections;
    std::vector<BlockDef> m_blocks;
    NameTable m_blockByName;
    SortedNames<int> m_subByName; // lower-case name -> section
    SortedNames<std::string> m_aliases;
    std::vector<Scope> m_scopes;
    int m_scope = 0;
    bool m_single = false;

    CodeBuffer m_code;
    std::vector<double> m_constants;
    std::vector<std::string> m_strings;
    std::unordered_map<uint64_t, uint32_t> m_constantIndex;
    NameTable m_stringIndex;
    std::vector<image::LineEntry> m_lines;

    // State of the line being compiled.
    int m_item = 0;
    TokenList m_toks;
    TokenList m_rawToks; // a line before its aliases are replaced
    Section* m_section = nullptr;
    std::vector<OpenBlock> m_open;
    SortedNames<uint32_t> m_labelAt;
    std::vector<std::tuple<uint32_t, std::string, int, int, int>> m_gotoPatches;
    std::vector<std::tuple<uint32_t, std::string, int, int, int>> m_callPatches;
    std::vector<std::pair<uint32_t, int>> m_subEntries;
    bool m_afterGoto = false;
    uint32_t m_lineStart = 0; // code offset where the current line starts (its Line instruction)
    int m_gotoItem = -1;
    std::map<int, uint32_t> m_taskEntry;                   // task id -> entry
    std::set<std::string> m_diagramNames;
    std::unordered_map<int, std::string> m_untitledDiagrams; // item -> the title it is shown with
    bool m_skippedSections = false; // past the error limit, see run()
    std::vector<int> m_sectionOf; // item -> section index, -1 outside
    std::set<std::string> m_realNames;
    std::map<int, int> m_taskHeader; // task id -> its section header item
};

// --- pre-pass ----------------------------------------------------------------------------------

void Compiler::collectSections() {
    m_sectionOf.assign(m_items.size(), -1);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const SourceItem& it = m_items[i];
        if (it.kind == kSectionItem) {
            Section s;
            s.header = static_cast<int>(i);
            s.title = std::string(it.text);
            std::size_t j = i + 1;
            // A section ends at its footer, the next section, or where the program's items end.
            const std::size_t limit = i < static_cast<std::size_t>(m_programItems) ? static_cast<std::size_t>(m_programItems)
                                                                                    : m_items.size();
            while (j < limit && m_items[j].kind != kFooterItem && m_items[j].kind != kSectionItem) ++j;
            s.footer = (j < limit && m_items[j].kind == kFooterItem) ? static_cast<int>(j) : -1;
            s.stop = static_cast<int>(j);
            const int last = s.footer >= 0 ? s.footer : static_cast<int>(j) - 1;
            for (int k = s.header; k <= last; ++k) m_sectionOf[static_cast<std::size_t>(k)] = static_cast<int>(m_sections.size());
            m_sections.push_back(std::move(s));
            i = j < limit && m_items[j].kind == kFooterItem ? j : j - 1;
        }
    }
}

void Compiler::classifySection(Section& s) {
    const std::string& t = s.title;
    const int end = static_cast<int>(t.size()) + 1;
    if (t.find('(') != std::string::npos) {
        s.kind = SectionKind::Block;
        return;
    }
    if (inLibrary(s.header)) {
        s.kind = SectionKind::Notes; // a library lends its function blocks, nothing else
        return;
    }
    if (EqualsNoCase(t, "Notes")) {
        s.kind = SectionKind::Notes;
        return;
    }
    if (EqualsNoCase(t, "Alias")) {
        s.kind = SectionKind::Alias;
        return;
    }
    if (!t.empty() && t.back() == ':') {
        s.kind = SectionKind::Sub;
        s.subName = t.substr(0, t.size() - 1);
        while (!s.subName.empty() && (s.subName.back() == ' ' || s.subName.back() == '\t')) s.subName.pop_back();
        const std::string key = Lower(s.subName);
        if (s.subName.empty()) {
            error(s.header, 1, end, "E002", "subroutine section has no name");
            s.kind = SectionKind::Other;
        } else if (m_subByName.count(key)) {
            error(s.header, 1, end, "E008", "subroutine '" + s.subName + "' is defined twice");
        } else {
            m_subByName[key] = static_cast<int>(&s - m_sections.data());
        }
        return;
    }
    for (std::size_t k = 0; k < m_opt.targetTasks.size(); ++k)
        if (EqualsNoCase(t, m_opt.targetTasks[k])) {
            s.kind = SectionKind::Task;
            s.taskName = m_opt.targetTasks[k];
            s.taskId = static_cast<int>(k);
            const auto [first, added] = m_taskHeader.emplace(s.taskId, s.header);
            if (!added) {
                error(s.header, 1, end, "E005",
                      "task " + s.taskName + " is defined twice (first in line " + std::to_string(first->second) + ")");
                s.kind = SectionKind::Other;
                s.taskId = -1;
            }
            return;
        }
    for (const std::string& known : m_opt.knownTasks)
        if (EqualsNoCase(t, known)) {
            error(s.header, 1, end, "E006", "target " + m_opt.targetType + " has no task " + known);
            s.kind = SectionKind::Other;
            return;
        }
    s.kind = SectionKind::Other;
    warn(s.header, 1, end, "W005", "section " + t + " is not a task of target " + m_opt.targetType + " and never runs");
}

void Compiler::parseBlockHeader(Section& s) {
    m_item = s.header;
    Tokenise(s.title, m_toks);
    BlockDef b;
    b.headerItem = s.header;
    std::size_t p = 0;
    auto names = [&](std::vector<std::string>& out, std::vector<bool>& isInt, std::vector<std::pair<int, int>>& cols,
                     const char* closeWhat) {
        if (isOp(p, ")")) {
            ++p;
            return;
        }
        for (;;) {
            const Token& t = tok(p);
            if (t.kind != Tok::Word || t.text[0] == '#' || t.text[0] == '_' || IsKeyword(t.text) ||
                !std::isalpha(static_cast<unsigned char>(t.text[0])))
                fail(t, "E019", "expected a name in the function block header, found '" + t.text + "'");
            for (const std::string& n : b.inputs)
                if (n == t.text) fail(t, "E019", "'" + t.text + "' appears twice in the function block header");
            for (const std::string& n : b.outputs)
                if (n == t.text) fail(t, "E019", "'" + t.text + "' appears twice in the function block header");
            out.emplace_back(t.text);
            cols.emplace_back(t.start, t.end);
            isInt.push_back(t.text.back() == '%');
            if (!isInt.back()) realInFixedPoint(t);
            ++p;
            if (isOp(p, ",")) {
                ++p;
                continue;
            }
            if (isOp(p, ")")) {
                ++p;
                return;
            }
            fail(tok(p), "E019", std::string("expected ',' or ')' ") + closeWhat);
        }
    };
    try {
        if (isOp(p, "(")) {
            ++p;
            names(b.outputs, b.outInt, b.outCols, "after an output");
            expect(p, "=", "after the outputs");
        } else if (tok(p).kind == Tok::Word && tok(p).text[0] != '_') {
            const Token& t = tok(p);
            b.outputs.emplace_back(t.text);
            b.outCols.emplace_back(t.start, t.end);
            b.outInt.push_back(t.text.back() == '%');
            if (!b.outInt.back()) realInFixedPoint(t);
            ++p;
            expect(p, "=", "after the output");
        }
        const Token& name = tok(p);
        if (name.kind != Tok::Word || name.text.size() < 2 || name.text[0] != '_' ||
            !std::isalpha(static_cast<unsigned char>(name.text[1])))
            fail(name, "E019", "a function block name starts with '_' and a letter, found '" + name.text + "'");
        b.name = name.text;
        ++p;
        expect(p, "(", "after the block name");
        names(b.inputs, b.inInt, b.inCols, "after an input");
        expectEnd(p);
        if (static_cast<int>(b.inputs.size()) > m_opt.maxParamIn)
            fail(name, "E019", "function block " + b.name + " has " + std::to_string(b.inputs.size()) +
                                   " inputs; target " + m_opt.targetType + " allows " + std::to_string(m_opt.maxParamIn));
        if (static_cast<int>(b.outputs.size()) > m_opt.maxParamOut)
            fail(name, "E019", "function block " + b.name + " has " + std::to_string(b.outputs.size()) +
                                   " outputs; target " + m_opt.targetType + " allows " + std::to_string(m_opt.maxParamOut));
        if (m_blockByName.contains(b.name)) {
            // The program's own block (or an earlier library's) hides a library block of that name.
            if (inLibrary(s.header)) {
                s.kind = SectionKind::Notes;
                return;
            }
            fail(name, "E008", "function block " + b.name + " is defined twice");
        }
    } catch (const LineError&) {
        s.kind = SectionKind::Other;
        return;
    }
    s.block = static_cast<int>(m_blocks.size());
    m_blockByName.set(b.name, s.block);
    m_blocks.push_back(std::move(b));
}

void Compiler::aliasedTokens(std::string_view text) {
    TokenList& raw = m_rawToks;
    TokeniseLine(text, raw);
    TokenList& out = m_toks;
    out.clear();
    // Aliases are whole words, replaced by their text; a replacement may use earlier aliases.
    std::function<void(const Token&, int)> expand = [&](const Token& t, int depth) {
        auto it = t.kind == Tok::Word ? m_aliases.find(t.text) : m_aliases.end();
        if (it == m_aliases.end() || depth > 8) {
            out.push_back(t);
            return;
        }
        std::vector<Token> sub = Tokenise(it->second);
        sub.pop_back();
        for (Token s : sub) {
            s.start = t.start;
            s.end = t.end;
            s.fromAlias = true;
            expand(s, depth + 1);
        }
    };
    for (const Token& t : raw) {
        if (!out.empty() && out.size() >= 1 && IsWord(out.front(), "$DEFINE") && out.size() == 1) {
            out.push_back(t); // the alias name itself is never replaced
            continue;
        }
        expand(t, 0);
    }
}

// $DEFINE, $FLT, $INDEXROUTINE and the header directives. `define` applies aliases and $FLT.
void Compiler::handleDirective(const TokenList& toks, bool define) {
    const Token& d = toks[0];
    const std::string_view text = m_items[static_cast<std::size_t>(m_item)].text;
    if (IsWord(d, "$DEFINE")) {
        const Token& name = toks[1];
        if (name.kind != Tok::Word) fail(name, "E002", "$DEFINE needs a name and a replacement");
        if (define) {
            // The replacement is the rest of the line as written, comment removed.
            std::string_view body = StripComment(text);
            std::size_t from = static_cast<std::size_t>(name.end - 1);
            std::string rep(from < body.size() ? body.substr(from) : std::string_view());
            const std::size_t a = rep.find_first_not_of(" \t");
            rep = a == std::string::npos ? std::string() : rep.substr(a);
            while (!rep.empty() && (rep.back() == ' ' || rep.back() == '\t' || rep.back() == '\r')) rep.pop_back();
            if (rep.empty()) fail(name, "E002", "$DEFINE " + name.text + " has no replacement");
            m_aliases[std::string(name.text)] = rep;
        }
        return;
    }
    if (IsWord(d, "$FLT")) {
        if (IsWord(toks[1], "SINGLE")) {
            if (define) m_single = true;
        } else if (IsWord(toks[1], "DOUBLE")) {
            if (define) m_single = false;
        } else {
            fail(toks[1].kind == Tok::End ? d : toks[1], "E002", "$FLT takes single or double");
        }
        return;
    }
    if (IsWord(d, "$INDEXROUTINE")) {
        if (toks[1].kind != Tok::Word) fail(d, "E002", "$INDEXROUTINE needs the name of a block");
        return;
    }
    const std::string up = Upper(d.text.substr(1));
    for (const char* h : kHeaderDirectives)
        if (up.rfind(h, 0) == 0) return;
    fail(d, "E003", "unknown directive " + d.text);
}

void Compiler::prepass() {
    collectSections();
    for (Section& s : m_sections) classifySection(s);
    for (Section& s : m_sections)
        if (s.kind == SectionKind::Block) parseBlockHeader(s);
    if (m_opt.library)
        for (Section& s : m_sections)
            if (s.kind == SectionKind::Task || s.kind == SectionKind::Sub)
                error(s.header, 1, lineEnd(s.header), "E020",
                      "a library program holds only function blocks; section " + s.title + " is not one");

    m_scopes.emplace_back(); // global
    for (BlockDef& b : m_blocks) {
        Scope sc;
        sc.block = static_cast<int>(&b - m_blocks.data());
        for (std::size_t k = 0; k < b.inputs.size(); ++k) {
            const auto [start, end] = b.inCols[k];
            Var& in = sc.vars[static_cast<std::size_t>(declare(sc, b.inputs[k], b.headerItem, start, end))];
            in.isInt = b.inInt[k];
            // The caller writes an input: an input the body never reads is reported at its name.
            in.written = true;
            in.writeItem = b.headerItem;
            in.writeStart = start;
            in.writeEnd = end;
        }
        for (std::size_t k = 0; k < b.outputs.size(); ++k) {
            const auto [start, end] = b.outCols[k];
            Var& out = sc.vars[static_cast<std::size_t>(declare(sc, b.outputs[k], b.headerItem, start, end))];
            out.isInt = b.outInt[k];
            out.read = true;
            out.readItem = b.headerItem;
            out.readStart = start;
            out.readEnd = end;
        }
        b.scope = static_cast<int>(m_scopes.size());
        m_scopes.push_back(std::move(sc));
    }

    // Declarations, labels and aliases, in line order.
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        Section* s = m_sectionOf[i] >= 0 ? &m_sections[static_cast<std::size_t>(m_sectionOf[i])] : nullptr;
        const SourceItem& it = m_items[i];
        prefetchAhead(i);
        if (it.kind == kDiagramItem) continue;
        if (it.kind != kTextItem) continue;
        if (s && s->kind == SectionKind::Notes) continue;
        if (!MayDeclare(it.text)) continue;
        m_item = static_cast<int>(i);
        try {
            lineTokens(it.text);
            if (m_toks[0].kind == Tok::End) continue;
            const Token& t0 = m_toks[0];
            if (t0.kind == Tok::Word && t0.text[0] == '$') {
                // Errors of directives are reported where the code pass meets them.
                const std::size_t before = m_messages.size();
                try {
                    handleDirective(m_toks, true);
                } catch (const LineError&) {
                }
                m_messages.resize(before);
                continue;
            }
            if (!s) continue;
            m_scope = s->kind == SectionKind::Block && s->block >= 0 ? m_blocks[static_cast<std::size_t>(s->block)].scope : 0;
            if (s->kind == SectionKind::Block && IsWord(t0, "FBBODY")) {
                s->fbBody = m_item;
                continue;
            }
            if (t0.kind == Tok::Word && isOp(1, ":") && !IsKeyword(t0.text) && t0.text[0] != '#') {
                if (const auto first = s->labels.find(t0.text); first != s->labels.end()) {
                    error(m_item, t0.start, t0.end, "E008",
                          "label '" + t0.text + "' is defined twice in section " + s->title + " (first in line " +
                              std::to_string(first->second.first) + ")");
                } else {
                    s->labels.emplace(std::string(t0.text), std::pair<int, int>{m_item, t0.start});
                }
                continue;
            }
            if (IsWord(t0, "DIM")) {
                std::size_t p = 1;
                const Token& name = tok(p);
                if (name.kind != Tok::Word || name.text[0] == '#' || name.text[0] == '_' ||
                    !std::isalpha(static_cast<unsigned char>(name.text[0])))
                    fail(name, "E002", "DIM needs an array name");
                checkName(name);
                ++p;
                expect(p, "[", "after the array name");
                const std::optional<int64_t> n = constantInt(p);
                if (!n || *n < 1 || *n > 1000000)
                    fail(tok(p - 1), "E023", "array size of " + name.text + " must be a constant from 1 to 1000000");
                expect(p, "]", "after the array size");
                expectEnd(p);
                Scope& sc = scope();
                if (sc.byName.contains(name.text)) fail(name, "E023", "'" + name.text + "' is declared twice");
                const int v = declare(sc, name.text, m_item, name.start, name.end);
                Var& var = sc.vars[static_cast<std::size_t>(v)];
                var.isArray = true;
                var.size = static_cast<uint32_t>(*n);
                if (!var.isInt) realInFixedPoint(name);
                continue;
            }
            if (IsWord(t0, "CONST")) {
                std::size_t p = 1;
                const Token& name = tok(p);
                if (name.kind != Tok::Word || name.text[0] == '#' || name.text[0] == '_' ||
                    !std::isalpha(static_cast<unsigned char>(name.text[0])))
                    fail(name, "E002", "CONST needs a name");
                checkName(name);
                ++p;
                expect(p, "=", "after the constant's name");
                bool isInt = true;
                const std::optional<double> v = constantNumber(p, isInt);
                if (!v) fail(tok(p), "E023", "CONST " + name.text + " needs a number");
                expectEnd(p);
                Scope& sc = scope();
                if (sc.byName.contains(name.text)) fail(name, "E023", "'" + name.text + "' is declared twice");
                const int idx = declare(sc, name.text, m_item, name.start, name.end);
                Var& var = sc.vars[static_cast<std::size_t>(idx)];
                var.isConst = true;
                var.isInt = isInt;
                var.constInt = isInt ? static_cast<int64_t>(*v) : 0;
                var.constReal = *v;
                var.read = var.written = true;
                if (!isInt) realInFixedPoint(name);
                continue;
            }
        } catch (const LineError&) {
        }
    }
    m_aliases.clear();
    m_single = false;
    m_scope = 0;
}

// --- variables -----------------------------------------------------------------------------------

int Compiler::declare(Scope& sc, std::string_view name, int item, int start, int end) {
    Var v;
    v.name = name;
    v.isInt = !name.empty() && name.back() == '%';
    v.item = item;
    v.start = start;
    v.end = end;
    const std::string low = Lower(name);
    if (auto it = sc.spellings.find(low); it != sc.spellings.end()) {
        if (it->second != name)
            warn(item, start, end, "W003", "'" + name + "' differs only in case from '" + it->second + "'");
    } else {
        sc.spellings.emplace(low, std::string(name));
    }
    sc.vars.push_back(std::move(v));
    const int idx = static_cast<int>(sc.vars.size() - 1);
    sc.byName.set(name, idx);
    return idx;
}

void Compiler::checkName(const Token& t) {
    if (IsKeyword(t.text) || FindFunction(t.text))
        fail(t, "E022", "'" + t.text + "' is a reserved word and cannot name a variable");
}

void Compiler::realInFixedPoint(const Token& t) {
    if (m_opt.floatingPoint) return;
    // A real name is reported where it first appears, a literal wherever it stands.
    if (t.kind == Tok::Word && !m_realNames.insert(std::to_string(m_scope) + ":" + t.text).second) throw LineError();
    fail(t, "E016", "real value '" + t.text + "' in a fixed-point program (FloatingPoint is 0)");
}

Var& Compiler::newVariable(const Token& t, bool forArray) {
    if (forArray)
        fail(t, "E009", "array '" + t.text + "' is not declared (DIM " + t.text + "[n])");
    if (!std::isalpha(static_cast<unsigned char>(t.text[0])))
        fail(t, "E002", "'" + t.text + "' is not a name");
    checkName(t);
    if (t.text.back() != '%') realInFixedPoint(t);
    Scope& sc = scope();
    const int idx = declare(sc, t.text, m_item, t.start, t.end);
    Var& v = sc.vars[static_cast<std::size_t>(idx)];
    v.cell = sc.cells++;
    return v;
}

void Compiler::wrongForm(const Token& t, bool isArray) {
    if (isArray) fail(t, "E010", "'" + t.text + "' is an array; write " + t.text + "[index]");
    fail(t, "E010", "'" + t.text + "' is not an array");
}

// A cell of the frame that no name reaches (a FOR loop's limit and step, a FILTER's state).
uint32_t Compiler::hiddenCell(Type) { return scope().cells++; }

// --- expressions ---------------------------------------------------------------------------------

void Compiler::missing(std::size_t p, std::string_view op, std::string_view what) {
    const Token& t = tok(p);
    fail(t, "E002", "expected '" + std::string(op) + "' " + what +
                        (t.kind == Tok::End ? std::string(", found the end of the line") : ", found '" + t.text + "'"));
}

void Compiler::expectEnd(std::size_t p) {
    const Token& t = tok(p);
    if (t.kind == Tok::End) return;
    if (t.kind == Tok::Bad) badToken(t);
    fail(t, "E002", "unexpected '" + t.text + "' after the end of the statement");
}

std::optional<int64_t> Compiler::constantInt(std::size_t& p) {
    bool isInt = true;
    const std::optional<double> v = constantNumber(p, isInt);
    if (!v || !isInt) return std::nullopt;
    return static_cast<int64_t>(*v);
}

std::optional<double> Compiler::constantNumber(std::size_t& p, bool& isInt) {
    bool neg = false;
    if (isOp(p, "-")) {
        neg = true;
        ++p;
    }
    const Token& t = tok(p);
    if (t.kind == Tok::Int) {
        ++p;
        isInt = true;
        if (t.ival > 2147483647 && !neg) badToken(t);
        return static_cast<double>(neg ? -t.ival : t.ival);
    }
    if (t.kind == Tok::Real) {
        ++p;
        isInt = false;
        return neg ? -t.rval : t.rval;
    }
    if (t.kind == Tok::Word) {
        const int found = scope().byName.find(t.text);
        if (found >= 0 && scope().vars[static_cast<std::size_t>(found)].isConst) {
            const Var& v = scope().vars[static_cast<std::size_t>(found)];
            ++p;
            isInt = v.isInt;
            const double d = v.isInt ? static_cast<double>(v.constInt) : v.constReal;
            return neg ? -d : d;
        }
    }
    return std::nullopt;
}

Compiler::Bin Compiler::binaryAt(std::size_t p) const {
    const Token& t = tok(p);
    if (t.kind == Tok::Op) {
        switch (t.op) {
        case OpCode("="): return Bin::Eq;
        case OpCode("<>"): return Bin::Ne;
        case OpCode("<"): return Bin::Lt;
        case OpCode(">"): return Bin::Gt;
        case OpCode("<="): return Bin::Le;
        case OpCode(">="): return Bin::Ge;
        case OpCode("+"): return Bin::Add;
        case OpCode("-"): return Bin::Sub;
        case OpCode("*"): return Bin::Mul;
        case OpCode("/"): return Bin::Div;
        default: return Bin::None;
        }
    }
    if (t.kind != Tok::Word || t.plain || t.text.size() > 3) return Bin::None; // most words here are neither
    if (IsWord(t, "OR")) return Bin::Or;
    if (IsWord(t, "AND")) return Bin::And;
    return Bin::None;
}

Type Compiler::binary(std::size_t& p, int minPrecedence) {
    Type a = unary(p);
    for (;;) {
        const Bin op = binaryAt(p);
        const int level = precedence(op);
        if (op == Bin::None || level < minPrecedence) return a;
        ++p;
        switch (op) {
        case Bin::Or:
        case Bin::And: {
            // The left operand becomes 0/1 before the right one is computed; OR also converts a
            // statement-only value, AND only a real.
            if (op == Bin::Or ? a != Type::Int : a == Type::Real) emit(Op::R2B);
            const Type b = binary(p, level + 1);
            truth(b);
            emit(op == Bin::Or ? Op::Or : Op::And);
            a = Type::Int;
            break;
        }
        case Bin::Add: a = arithmetic(a, binary(p, level + 1), Op::IAdd, Op::RAdd); break;
        case Bin::Sub: a = arithmetic(a, binary(p, level + 1), Op::ISub, Op::RSub); break;
        case Bin::Mul: a = arithmetic(a, binary(p, level + 1), Op::IMul, Op::RMul); break;
        case Bin::Div: a = arithmetic(a, binary(p, level + 1), Op::IDiv, Op::RDiv); break;
        default: {
            static constexpr std::pair<Op, Op> kCompare[] = {{Op::IEq, Op::REq}, {Op::INe, Op::RNe}, {Op::ILt, Op::RLt},
                                                             {Op::IGt, Op::RGt}, {Op::ILe, Op::RLe}, {Op::IGe, Op::RGe}};
            const std::pair<Op, Op>& ops = kCompare[static_cast<int>(op) - static_cast<int>(Bin::Eq)];
            const Type b = binary(p, level + 1);
            if (a == Type::Int && b == Type::Int) {
                emit(ops.first);
            } else {
                if (a == Type::Int) emit(Op::I2R1);
                if (b == Type::Int) emit(Op::I2R);
                emit(ops.second);
            }
            a = Type::Int;
            break;
        }
        }
    }
}

Type Compiler::arithmetic(Type a, Type b, Op intOp, Op realOp) {
    if (a == Type::Int && b == Type::Int) {
        emit(intOp);
        return Type::Int;
    }
    if (a == Type::Int) emit(Op::I2R1);
    if (b == Type::Int) emit(Op::I2R);
    emit(realOp);
    return Type::Real;
}

void Compiler::loadParamPointer(const Token& t, const ParamRef& ref) {
    Token name = t;
    name.text = ref.pointer;
    Var& v = variable(name, false);
    if (!v.isInt || v.isConst) fail(t, "E022", "parameter pointer " + t.text + " needs an integer variable");
    noteRead(v, m_item, t);
    cellOp(Op::Ld, v.cell);
}

Type Compiler::signedOperand(std::size_t& p) {
    if (isOp(p, "-")) {
        ++p;
        // A negative literal is one constant, so -2147483648 fits.
        if (tok(p).kind == Tok::Int && (tok(p).ival > 2147483647 || !(isOp(p + 1, "*") || isOp(p + 1, "/")))) {
            pushInt(-tok(p).ival);
            ++p;
            return Type::Int;
        }
        const Type t = unary(p);
        emit(t == Type::Int ? Op::INeg : Op::RNeg);
        return t;
    }
    ++p; // '+'
    return unary(p);
}

bool Compiler::parseParamWord(const Token& t, ParamRef& ref) {
    std::string_view w = t.text;
    if (w.size() > 3 && (w[0] == 'B' || w[0] == 'b') && w[1] == '2' && w[2] == '#') w.remove_prefix(2);
    if (w.empty() || w[0] != '#') return false;
    w.remove_prefix(1);
    if (w.size() > 3 && EqualsNoCase(w.substr(0, 3), "INT") && std::isdigit(static_cast<unsigned char>(w[3]))) {
        ref.form = ParamRef::Raw;
        w.remove_prefix(3);
    } else if (!w.empty() && (std::isalpha(static_cast<unsigned char>(w[0])))) {
        ref.form = ParamRef::Pointer;
        ref.pointer = w;
        return true;
    }
    int parts[3] = {0, 0, 0};
    int n = 0;
    std::size_t i = 0;
    while (n < 3) {
        std::size_t j = i;
        int64_t v = 0;
        while (j < w.size() && std::isdigit(static_cast<unsigned char>(w[j]))) {
            v = v * 10 + (w[j] - '0');
            if (v > 100000) v = 100000;
            ++j;
        }
        if (j == i) fail(t, "E002", "'" + t.text + "' is not a parameter (write #menu.parameter)");
        parts[n++] = static_cast<int>(v);
        i = j;
        if (i == w.size()) break;
        if (w[i] != '.') fail(t, "E002", "'" + t.text + "' is not a parameter (write #menu.parameter)");
        ++i;
    }
    if (i != w.size() || n < 2) fail(t, "E002", "'" + t.text + "' is not a parameter (write #menu.parameter)");
    ref.menu = parts[0];
    ref.par = parts[1];
    if (n == 3) {
        if (ref.form == ParamRef::Raw) fail(t, "E002", "a bit of a parameter is written #menu.parameter.bit");
        ref.form = ParamRef::Bit;
        ref.bit = parts[2];
    }
    if (ref.menu > 99) fail(t, "E015", "menu " + std::to_string(ref.menu) + " of parameter " + t.text + " is outside 0..99");
    if (ref.par > 99)
        fail(t, "E015", "parameter " + std::to_string(ref.par) + " of " + t.text + " is outside 0..99");
    if (ref.form == ParamRef::Bit && ref.bit > 31)
        fail(t, "E015", "bit " + std::to_string(ref.bit) + " of " + t.text + " is outside 0..31");
    return true;
}

Type Compiler::operand(std::size_t& p) {
    const Token& t = tok(p);
    switch (t.kind) {
    case Tok::Int:
        if (t.ival > 2147483647) badToken(t);
        pushInt(t.ival);
        ++p;
        return Type::Int;
    case Tok::Real:
        realInFixedPoint(t);
        pushReal(t.rval);
        ++p;
        return Type::Real;
    case Tok::String: fail(t, "E022", "a text in quotes can only be printed");
    case Tok::Bad: badToken(t);
    case Tok::End: fail(t, "E002", "expected a value, found the end of the line");
    case Tok::Op:
        if (t.op == OpCode("(")) {
            ++p;
            const Type r = expression(p);
            expect(p, ")", "to close the bracket");
            return r;
        }
        fail(t, "E002", "expected a value, found '" + t.text + "'");
    case Tok::Word: break;
    }
    if (IsKeyword(t.text)) fail(t, "E002", "expected a value, found '" + t.text + "'");
    if (const Builtinfo* f = FindFunction(t.text)) {
        ++p;
        const Type r = function(p, *f, true);
        if (r == Type::None) fail(t, "E022", Upper(t.text) + " gives no value");
        return r;
    }
    ParamRef ref;
    if (parseParam(t, ref)) {
        ++p;
        if (ref.form == ParamRef::Pointer) {
            loadParamPointer(t, ref);
            emit(m_opt.floatingPoint ? Op::PpRdR : Op::PpRdI);
            return m_opt.floatingPoint ? Type::Real : Type::Int;
        }
        if (ref.form == ParamRef::Bit) {
            emit(Op::PRdB);
            u8(static_cast<uint32_t>(ref.menu));
            u8(static_cast<uint32_t>(ref.par));
            u8(static_cast<uint32_t>(ref.bit));
            return Type::Int;
        }
        const bool raw = ref.form == ParamRef::Raw || !m_opt.floatingPoint;
        emit(raw ? Op::PRdI : Op::PRdR);
        u8(static_cast<uint32_t>(ref.menu));
        u8(static_cast<uint32_t>(ref.par));
        return raw ? Type::Int : Type::Real;
    }
    if (t.text[0] == '_') fail(t, "E002", "a function block call must stand alone: (outputs) = " + t.text + "(inputs)");
    if (t.text[0] == '$') fail(t, "E002", "directive " + t.text + " inside a statement");
    ++p;
    if (isOp(p, "[")) {
        Var& v = variable(t, true);
        ++p;
        intExpression(p);
        expect(p, "]", "to close the index");
        noteRead(v, m_item, t);
        emit(Op::LdX);
        u32(v.cell);
        u32(v.size);
        return v.isInt ? Type::Int : Type::Real;
    }
    if (isOp(p, "(")) fail(t, "E014", "'" + t.text + "' is not a function");
    return scalarValue(t);
}

void Compiler::intExpression(std::size_t& p) {
    const Type t = expression(p);
    if (t == Type::Real) emit(Op::R2I);
}

Type Compiler::function(std::size_t& p, const Builtinfo& f, bool brackets) {
    const Token& nameTok = tok(p - 1);
    const std::string_view name = f.name; // the table spells it in capitals; messages only
    // Which built-in, by its place in the table (`f` is one of its entries).
    const std::ptrdiff_t index = &f - kFunctions;
    const auto is = [index](std::ptrdiff_t builtin) { return index == builtin; };
    // Arguments: compiled one by one as the function needs them.
    bool open = false;
    if (brackets) {
        if (isOp(p, "(")) {
            open = true;
            ++p;
        } else if (f.args > 0) {
            fail(tok(p), "E002", "expected '(' after " + std::string(name));
        }
    }
    int given = 0;
    auto closeOrComma = [&](bool last) {
        if (!last) {
            if (!isOp(p, ",")) {
                // Count what is there for the message.
                int more = given;
                if (open)
                    while (tok(p).kind != Tok::End && !isOp(p, ")")) ++p;
                fail(nameTok, "E011", std::string(name) + " takes " + std::to_string(f.args) + " argument(s), " +
                                          std::to_string(more) + " given");
            }
            ++p;
        }
    };
    auto atArgsEnd = [&] { return open ? isOp(p, ")") : tok(p).kind == Tok::End; };
    auto arg = [&](bool last) {
        if (atArgsEnd()) {
            fail(nameTok, "E011", std::string(name) + " takes " + std::to_string(f.args) + " argument(s), " + std::to_string(given) + " given");
        }
        const Type t = expression(p);
        ++given;
        closeOrComma(last);
        return t;
    };
    auto arrayArg = [&](bool last) -> Var& {
        const Token& a = tok(p);
        if (a.kind != Tok::Word) fail(a, "E010", std::string(name) + " needs an array as its first argument");
        Var& v = variable(a, true);
        noteRead(v, m_item, a);
        ++p;
        emit(Op::Arr);
        u32(v.cell);
        u32(v.size);
        ++given;
        closeOrComma(last);
        return v;
    };
    auto finish = [&] {
        if (open) {
            if (!isOp(p, ")")) {
                int extra = given;
                while (tok(p).kind != Tok::End && !isOp(p, ")")) {
                    if (isOp(p, ",")) ++extra;
                    ++p;
                }
                fail(nameTok, "E011", std::string(name) + " takes " + std::to_string(f.args) + " argument(s), " +
                                          std::to_string(extra) + " given");
            }
            ++p;
        } else if (brackets && f.args == 0 && isOp(p, "(")) {
            ++p;
            if (!isOp(p, ")")) missing(p, ")", "after " + std::string(name));
            ++p;
        }
    };
    auto bi = [&](Builtin b) {
        emit(Op::Bi);
        u8(static_cast<uint32_t>(b));
    };
    auto realFn = [&](Builtin b) {
        realInFixedPoint(nameTok);
        convert(arg(true), Type::Real);
        finish();
        bi(b);
        return Type::Real;
    };
    if (f.args == 0 && open && isOp(p, ")")) {
        // TIME() and friends
    }
    if (is(FunctionIndex("ABS")) || is(FunctionIndex("SGN"))) {
        const Type t = arg(true);
        finish();
        if (is(FunctionIndex("ABS"))) bi(t == Type::Int ? Builtin::AbsI : Builtin::AbsR);
        else bi(t == Type::Int ? Builtin::SgnI : Builtin::SgnR);
        return is(FunctionIndex("SGN")) ? Type::Int : t;
    }
    if (is(FunctionIndex("SIN"))) return realFn(Builtin::Sin);
    if (is(FunctionIndex("COS"))) return realFn(Builtin::Cos);
    if (is(FunctionIndex("TAN"))) return realFn(Builtin::Tan);
    if (is(FunctionIndex("SQR"))) return realFn(Builtin::Sqr);
    if (is(FunctionIndex("EXP"))) return realFn(Builtin::Exp);
    if (is(FunctionIndex("LN"))) return realFn(Builtin::Ln);
    if (is(FunctionIndex("INT"))) {
        convert(arg(true), Type::Int);
        finish();
        return Type::Int;
    }
    if (is(FunctionIndex("FLOAT"))) {
        realInFixedPoint(nameTok);
        convert(arg(true), Type::Real);
        finish();
        return Type::Real;
    }
    if (is(FunctionIndex("MIN")) || is(FunctionIndex("MAX")) || is(FunctionIndex("LIMIT"))) {
        // Integer when every argument is, otherwise real. The arguments are compiled once to learn
        // their types; when they are mixed, the code is dropped and compiled again with every
        // argument converted to real where it stands (an expression's code has no side effects on
        // the compiler that a second pass would repeat wrongly).
        const int n = f.args;
        const uint32_t codeStart = here();
        const std::size_t argsAt = p;
        const int givenBefore = given;
        bool mixed = false;
        Type acc = arg(n == 1);
        for (int k = 1; k < n; ++k) {
            const Type t = arg(k == n - 1);
            if (acc != t) mixed = true;
            if (t == Type::Real) acc = Type::Real;
        }
        if (mixed) {
            m_code.truncate(codeStart);
            p = argsAt;
            given = givenBefore;
            for (int k = 0; k < n; ++k) convert(arg(k == n - 1), Type::Real);
        }
        finish();
        const bool isInt = acc == Type::Int;
        if (is(FunctionIndex("MIN"))) bi(isInt ? Builtin::MinI : Builtin::MinR);
        else if (is(FunctionIndex("MAX"))) bi(isInt ? Builtin::MaxI : Builtin::MaxR);
        else bi(isInt ? Builtin::LimitI : Builtin::LimitR);
        return acc;
    }
    if (is(FunctionIndex("TIME"))) {
        finish();
        bi(Builtin::Time);
        return Type::Int;
    }
    if (is(FunctionIndex("BCD2BIN")) || is(FunctionIndex("BIN2BCD")) || is(FunctionIndex("BCD2SEG"))) {
        convert(arg(true), Type::Int);
        finish();
        bi(is(FunctionIndex("BCD2BIN")) ? Builtin::Bcd2Bin : is(FunctionIndex("BIN2BCD")) ? Builtin::Bin2Bcd : Builtin::Bcd2Seg);
        return Type::Int;
    }
    if (is(FunctionIndex("CRC")) || is(FunctionIndex("AVERAGE"))) {
        Var& v = arrayArg(false);
        if (is(FunctionIndex("CRC")) && !v.isInt) fail(nameTok, "E022", "CRC needs an integer array");
        convert(arg(true), Type::Int);
        finish();
        if (is(FunctionIndex("CRC"))) {
            bi(Builtin::Crc);
            return Type::Int;
        }
        bi(v.isInt ? Builtin::AverageI : Builtin::AverageR);
        return v.isInt ? Type::Int : Type::Real;
    }
    if (is(FunctionIndex("FILTER"))) {
        realInFixedPoint(nameTok);
        convert(arg(false), Type::Real);
        convert(arg(true), Type::Real);
        finish();
        cellOp(Op::Filter, hiddenCell(Type::Real));
        return Type::Real;
    }
    if (is(FunctionIndex("GETCHAR")) || is(FunctionIndex("GETKEY"))) {
        finish();
        bi(is(FunctionIndex("GETCHAR")) ? Builtin::GetChar : Builtin::GetKey);
        return Type::Int;
    }
    if (is(FunctionIndex("PUTCHAR")) || is(FunctionIndex("PUTKEY"))) {
        convert(arg(true), Type::Int);
        finish();
        bi(is(FunctionIndex("PUTCHAR")) ? Builtin::PutChar : Builtin::PutKey);
        return Type::None;
    }
    if (is(FunctionIndex("ANSIREAD")) || is(FunctionIndex("ANSIREPLY"))) {
        convert(arg(true), Type::Int);
        finish();
        bi(is(FunctionIndex("ANSIREAD")) ? Builtin::AnsiRead : Builtin::AnsiReply);
        return Type::Int;
    }
    if (is(FunctionIndex("ANSIWRITE"))) {
        convert(arg(false), Type::Int);
        convert(arg(true), Type::Int);
        finish();
        bi(Builtin::AnsiWrite);
        return Type::Int;
    }
    fail(nameTok, "E014", "'" + std::string(name) + "' is not a function");
}

// --- statements ----------------------------------------------------------------------------------

void Compiler::storeTarget(std::size_t& p, Type, TypeFn value) {
    const Token& t = tok(p);
    if (!t.plain) { // a plain name needs none of these tests
        if (t.kind != Tok::Word) fail(t, "E002", "expected a variable or parameter, found '" + t.text + "'");
        ParamRef ref;
        if (parseParam(t, ref)) {
            ++p;
            if (ref.form == ParamRef::Pointer) {
                loadParamPointer(t, ref);
                const Type vt = value();
                const bool real = m_opt.floatingPoint;
                convert(vt, real ? Type::Real : Type::Int);
                emit(real ? Op::PpWrR : Op::PpWrI);
                return;
            }
            const Type vt = value();
            if (ref.form == ParamRef::Bit) {
                truth(vt);
                emit(Op::PWrB);
                u8(static_cast<uint32_t>(ref.menu));
                u8(static_cast<uint32_t>(ref.par));
                u8(static_cast<uint32_t>(ref.bit));
                return;
            }
            const bool raw = ref.form == ParamRef::Raw || !m_opt.floatingPoint;
            convert(vt, raw ? Type::Int : Type::Real);
            emit(raw ? Op::PWrI : Op::PWrR);
            u8(static_cast<uint32_t>(ref.menu));
            u8(static_cast<uint32_t>(ref.par));
            return;
        }
        if (IsKeyword(t.text) || FindFunction(t.text)) fail(t, "E022", "cannot assign to '" + t.text + "'");
        if (!std::isalpha(static_cast<unsigned char>(t.text[0])))
            fail(t, "E002", "expected a variable or parameter, found '" + t.text + "'");
    }
    ++p;
    if (isOp(p, "[")) {
        Var& v = variable(t, true);
        ++p;
        intExpression(p);
        expect(p, "]", "to close the index");
        noteWrite(v, m_item, t);
        convert(value(), v.isInt ? Type::Int : Type::Real);
        emit(Op::StX);
        u32(v.cell);
        u32(v.size);
        return;
    }
    Var& v = variable(t, false);
    if (v.isConst) fail(t, "E022", "'" + t.text + "' is a constant and cannot be assigned");
    noteWrite(v, m_item, t);
    const uint32_t cell = v.cell;
    const bool isInt = v.isInt;
    convert(value(), isInt ? Type::Int : Type::Real);
    cellOp(Op::St, cell);
}

void Compiler::assignment(std::size_t& p) {
    std::size_t targetAt = p;
    // Find the '=' that ends the target: skip an index in brackets.
    std::size_t q = p + 1;
    if (isOp(q, "[")) {
        int depth = 0;
        for (; tok(q).kind != Tok::End; ++q) {
            if (isOp(q, "[")) ++depth;
            if (isOp(q, "]") && --depth == 0) {
                ++q;
                break;
            }
        }
    }
    if (!isOp(q, "=")) {
        const Token& t = tok(p);
        if (q == p + 1 && tok(q).kind != Tok::Op && !scope().byName.contains(t.text))
            fail(t, "E001", "unknown statement '" + t.text + "'");
        fail(tok(q), "E002", "expected '=' after " + t.text +
                                 (tok(q).kind == Tok::End ? std::string(", found the end of the line") : ", found '" + tok(q).text + "'"));
    }
    const std::size_t rhs = q + 1;
    // A function block call on the right: o% = _Name(a)
    if (tok(rhs).kind == Tok::Word && tok(rhs).text[0] == '_') {
        const std::size_t target[1] = {targetAt};
        blockCall(p, target, rhs);
        return;
    }
    std::size_t vp = rhs;
    // A built-in written without brackets: o% = LIMIT x, lo, hi
    const Token& r0 = tok(rhs);
    const Builtinfo* nb = nullptr;
    if (r0.kind == Tok::Word && !isOp(rhs + 1, "("))
        for (const std::string& n : m_opt.noBracketBlocks)
            if (EqualsNoCase(n, r0.text)) nb = FindFunction(r0.text);
    storeTarget(p, Type::None, [&]() -> Type {
        Type t;
        if (nb && nb->args > 0) {
            ++vp;
            t = function(vp, *nb, false);
        } else {
            t = expression(vp);
        }
        if (t == Type::None) fail(r0, "E022", "'" + r0.text + "' gives no value");
        expectEnd(vp);
        return t;
    });
}

void Compiler::blockCall(std::size_t& p, std::span<const std::size_t> targets, std::size_t nameAt) {
    const Token& nameTok = tok(nameAt);
    const int bi = m_blockByName.find(nameTok.text);
    if (bi < 0) fail(nameTok, "E014", unknownBlockText(nameTok.text));
    BlockDef& b = m_blocks[static_cast<std::size_t>(bi)];
    std::size_t q = nameAt + 1;
    expect(q, "(", "after the block name");
    std::size_t given = 0;
    if (!isOp(q, ")")) {
        for (;;) {
            const Type t = expression(q);
            if (given < b.inputs.size()) convert(t, b.inInt[given] ? Type::Int : Type::Real);
            ++given;
            if (isOp(q, ",")) {
                ++q;
                continue;
            }
            break;
        }
    }
    expect(q, ")", "after the block's inputs");
    expectEnd(q);
    if (given != b.inputs.size())
        fail(nameTok, "E011", "function block " + b.name + " takes " + std::to_string(b.inputs.size()) + " input(s), " +
                                  std::to_string(given) + " given");
    if (targets.size() > b.outputs.size())
        fail(nameTok, "E011", "function block " + b.name + " has " + std::to_string(b.outputs.size()) + " output(s), " +
                                  std::to_string(targets.size()) + " assigned");
    Scope& sc = scope();
    if (sc.block >= 0) {
        m_blocks[static_cast<std::size_t>(sc.block)].calls.push_back(bi);
    }
    const int inst = static_cast<int>(sc.instances.size());
    sc.instances.push_back(bi);
    emit(Op::FbCall);
    u16(static_cast<uint32_t>(bi));
    sc.relocs.push_back({here(), inst, 0});
    u32(0);
    for (std::size_t k = 0; k < targets.size(); ++k) {
        std::size_t tp = targets[k];
        const bool outInt = b.outInt[k];
        storeTarget(tp, Type::None, [&]() -> Type {
            emit(Op::Ld);
            scope().relocs.push_back({here(), inst, static_cast<uint32_t>(b.inputs.size() + k)});
            u32(0);
            return outInt ? Type::Int : Type::Real;
        });
        if (!(isOp(tp, ",") || isOp(tp, ")") || isOp(tp, "=")))
            fail(tok(tp), "E002", "unexpected '" + tok(tp).text + "' in the outputs");
    }
    p = q;
}

void Compiler::statement(Section& s, std::size_t& p, bool nested, const Kw* known) {
    const Token& t = tok(p);
    const bool inBlock = s.kind == SectionKind::Block;
    if (t.kind == Tok::Bad) badToken(t);
    if (t.kind == Tok::Op && t.op == OpCode("(")) {
        // (o1, o2) = _Name(...)
        std::vector<std::size_t> targets;
        std::size_t q = p + 1;
        for (;;) {
            if (tok(q).kind != Tok::Word) fail(tok(q), "E002", "expected an output variable, found '" + tok(q).text + "'");
            targets.push_back(q);
            ++q;
            if (isOp(q, "[")) {
                while (tok(q).kind != Tok::End && !isOp(q, "]")) ++q;
                ++q;
            }
            if (isOp(q, ",")) {
                ++q;
                continue;
            }
            break;
        }
        expect(q, ")", "after the outputs");
        expect(q, "=", "after the outputs");
        if (!(tok(q).kind == Tok::Word && tok(q).text[0] == '_'))
            fail(tok(q), "E002", "expected a function block call after the outputs");
        blockCall(p, targets, q);
        return;
    }
    if (t.kind != Tok::Word) fail(t, "E001", "a statement cannot start with '" + t.text + "'");
    if (t.text[0] == '$') {
        if (nested) fail(t, "E002", "a directive stands on its own line");
        handleDirective(m_toks, true);
        return;
    }
    if (t.text[0] == '_') {
        blockCall(p, std::span<const std::size_t>(), p);
        return;
    }
    const Kw kw = known ? *known : KeywordOf(t.text);
    const auto kwText = [&] { return std::string(kKeywords[static_cast<int>(kw)]); };
    auto needLoop = [&]() -> OpenBlock* {
        for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
            if (it->kind != OpenBlock::If) return &*it;
        return nullptr;
    };
    if (kw == Kw::If) {
        ++p;
        const Type c = expression(p);
        if (c == Type::None) fail(t, "E022", "IF needs a condition");
        truth(c);
        if (!IsWord(tok(p), "THEN")) fail(tok(p), "E002", "expected THEN after the IF condition");
        ++p;
        if (tok(p).kind != Tok::End) {
            if (nested) fail(tok(p), "E002", "a one-line IF cannot hold another one-line IF");
            const uint32_t skip = jump(Op::Jz);
            const Token& inner = tok(p);
            if (IsWord(inner, "ELSE") || IsWord(inner, "ELSEIF") || IsWord(inner, "ENDIF") || IsWord(inner, "LOOP") ||
                IsWord(inner, "DO") || IsWord(inner, "FOR") || IsWord(inner, "DIM") || IsWord(inner, "CONST") ||
                (IsWord(inner, "IF")))
                fail(inner, "E002", "a one-line IF holds one simple statement, not " + Upper(inner.text));
            const bool afterGoto = m_afterGoto;
            statement(s, p, true);
            m_afterGoto = afterGoto;
            patch(skip, here());
            return;
        }
        const uint32_t cond = jump(Op::Jz);
        pushBlock(OpenBlock::If, t).nextCond = cond;
        return;
    }
    if (kw == Kw::ElseIf || kw == Kw::Else || kw == Kw::EndIf) {
        if (nested) fail(t, "E002", kwText() + " cannot stand in a one-line IF");
        if (m_open.empty() || m_open.back().kind != OpenBlock::If) {
            if (!m_open.empty()) {
                const OpenBlock& o = m_open.back();
                fail(t, "E012", kwText() + " inside a " + (o.kind == OpenBlock::For ? "FOR" : "DO") + " loop opened in line " +
                                    std::to_string(o.item) + " that is not closed with LOOP");
            }
            fail(t, "E012", kwText() + " without IF");
        }
        OpenBlock& b = m_open.back();
        if (kw == Kw::EndIf) {
            ++p;
            expectEnd(p);
            if (b.nextCond) patch(*b.nextCond, here());
            b.endPatches.forEach([&](uint32_t at) { patch(at, here()); });
            m_open.pop_back();
            return;
        }
        if (b.hasElse) fail(t, "E012", kwText() + " after ELSE (IF in line " + std::to_string(b.item) + ")");
        if (!b.branchClosed) closeBranch(b);
        b.branchClosed = false;
        ++p;
        if (kw == Kw::Else) {
            b.hasElse = true;
            expectEnd(p);
            return;
        }
        const Type c = expression(p);
        truth(c);
        if (!IsWord(tok(p), "THEN")) fail(tok(p), "E002", "expected THEN after the ELSEIF condition");
        ++p;
        expectEnd(p);
        m_open.back().nextCond = jump(Op::Jz);
        return;
    }
    if (kw == Kw::Do) {
        if (nested) fail(t, "E002", "DO cannot stand in a one-line IF");
        ++p;
        OpenBlock b = openBlock(OpenBlock::Do, t);
        b.top = m_lineStart; // LOOP goes back to the DO line itself: its condition is a step of every round
        if (IsWord(tok(p), "WHILE")) {
            ++p;
            const Type c = expression(p);
            truth(c);
            b.kind = OpenBlock::DoWhile;
            b.exits.push_back(jump(Op::Jz));
        }
        expectEnd(p);
        m_open.push_back(std::move(b));
        return;
    }
    if (kw == Kw::For) {
        if (nested) fail(t, "E002", "FOR cannot stand in a one-line IF");
        ++p;
        const Token& vt = tok(p);
        if (vt.kind != Tok::Word || vt.text[0] == '#' || !std::isalpha(static_cast<unsigned char>(vt.text[0])))
            fail(vt, "E002", "FOR needs a variable");
        if (isOp(p + 1, "[")) fail(vt, "E002", "the FOR variable cannot be an array element");
        Var& v = variable(vt, false);
        if (v.isConst) fail(vt, "E022", "'" + vt.text + "' is a constant and cannot count a loop");
        noteWrite(v, m_item, vt);
        noteRead(v, m_item, vt);
        const uint32_t var = v.cell;
        const Type type = v.isInt ? Type::Int : Type::Real;
        ++p;
        expect(p, "=", "after the FOR variable");
        convert(expression(p), type);
        cellOp(Op::St, var);
        if (!IsWord(tok(p), "TO")) fail(tok(p), "E002", "expected TO in the FOR statement");
        ++p;
        const uint32_t lim = hiddenCell(type);
        const uint32_t step = hiddenCell(type);
        convert(expression(p), type);
        cellOp(Op::St, lim);
        if (IsWord(tok(p), "STEP")) {
            ++p;
            convert(expression(p), type);
        } else if (type == Type::Int) {
            pushInt(1);
        } else {
            pushReal(1.0);
        }
        cellOp(Op::St, step);
        expectEnd(p);
        OpenBlock& b = pushBlock(OpenBlock::For, t); // nothing below can fail
        b.var = var;
        b.lim = lim;
        b.step = step;
        b.isInt = type == Type::Int;
        emit(b.isInt ? Op::IForInit : Op::RForInit);
        u32(var);
        u32(lim);
        u32(step);
        b.exits.push_back(here());
        u32(0);
        b.top = here();
        return;
    }
    if (kw == Kw::Loop) {
        if (nested) fail(t, "E002", "LOOP cannot stand in a one-line IF");
        ++p;
        expectEnd(p);
        if (m_open.empty() || m_open.back().kind == OpenBlock::If) {
            if (!m_open.empty())
                fail(t, "E012", "LOOP inside an IF opened in line " + std::to_string(m_open.back().item) +
                                    " that is not closed with ENDIF");
            fail(t, "E012", "LOOP without DO or FOR");
        }
        OpenBlock& b = m_open.back();
        if (b.kind == OpenBlock::For) {
            emit(b.isInt ? Op::IForNext : Op::RForNext);
            u32(b.var);
            u32(b.lim);
            u32(b.step);
            u32(b.top);
        } else {
            jumpTo(Op::Jmp, b.top);
        }
        b.exits.forEach([&](uint32_t at) { patch(at, here()); });
        m_open.pop_back();
        return;
    }
    if (kw == Kw::Exit) {
        ++p;
        expectEnd(p);
        OpenBlock* loop = needLoop();
        if (!loop) fail(t, "E021", "EXIT outside a loop");
        loop->exits.push_back(jump(Op::Jmp));
        return;
    }
    if (kw == Kw::Goto) {
        ++p;
        const Token& l = tok(p);
        if (l.kind != Tok::Word) fail(l.kind == Tok::End ? t : l, "E002", "GOTO needs a label");
        ++p;
        if (isOp(p, ":")) ++p;
        expectEnd(p);
        if (!s.labels.count(l.text))
            fail(l, "E007", "label '" + l.text + "' is not defined in section " + s.title);
        if (auto at = m_labelAt.find(l.text); at != m_labelAt.end()) {
            emit(Op::Yield); // a jump back: Background yields here
            jumpTo(Op::Jmp, at->second);
        } else {
            m_gotoPatches.emplace_back(jump(Op::Jmp), l.text, m_item, l.start, l.end);
        }
        if (!nested) {
            m_afterGoto = true;
            m_gotoItem = m_item;
        }
        return;
    }
    if (kw == Kw::Call) {
        ++p;
        const Token& n = tok(p);
        if (n.kind != Tok::Word) fail(n.kind == Tok::End ? t : n, "E002", "CALL needs a subroutine name");
        ++p;
        if (isOp(p, ":")) ++p;
        expectEnd(p);
        if (inBlock) fail(n, "E024", "a function block cannot call subroutine " + n.text);
        if (!m_subByName.count(Lower(n.text)))
            fail(n, "E014", "subroutine '" + n.text + ":' is not defined");
        emit(Op::Call);
        m_callPatches.emplace_back(here(), Lower(n.text), m_item, n.start, n.end);
        u32(0);
        return;
    }
    if (kw == Kw::Dim || kw == Kw::Const) {
        if (nested) fail(t, "E002", kwText() + " cannot stand in a one-line IF");
        return; // declared in the first pass
    }
    if (kw == Kw::Print) {
        ++p;
        if (tok(p).kind == Tok::End) {
            emit(Op::PrEnd);
            return;
        }
        for (;;) {
            const Token& it = tok(p);
            if (it.kind == Tok::String) {
                emit(Op::PrS);
                u32(stringIndex(it.text));
                ++p;
            } else {
                const Type ty = expression(p);
                if (ty == Type::None) fail(it, "E022", "'" + it.text + "' gives no value to print");
                emit(ty == Type::Int ? Op::PrI : Op::PrR);
            }
            if (isOp(p, ",")) {
                ++p;
                continue;
            }
            break;
        }
        expectEnd(p);
        emit(Op::PrEnd);
        return;
    }
    if (kw == Kw::Reinit) {
        ++p;
        expectEnd(p);
        emit(Op::Reinit);
        return;
    }
    if (kw == Kw::Wdog) {
        ++p;
        expectEnd(p);
        emit(Op::Yield);
        return;
    }
    if (kw == Kw::Delay) {
        ++p;
        const bool bracket = isOp(p, "(");
        if (tok(p).kind == Tok::End) fail(t, "E011", "DELAY takes 1 argument(s), 0 given");
        intExpression(p);
        (void)bracket;
        expectEnd(p);
        emit(Op::Delay);
        return;
    }
    if (kw == Kw::Then || kw == Kw::To || kw == Kw::Step || kw == Kw::While || kw == Kw::And || kw == Kw::Or)
        fail(t, "E001", "unknown statement '" + t.text + "'");
    if (kw == Kw::FbBody) fail(t, "E002", "FBbody belongs only in a function block section");
    if (const Builtinfo* f = t.plain ? nullptr : FindFunction(t.text); f && !isOp(p + 1, "=")) {
        ++p;
        const Type r = function(p, *f, true);
        expectEnd(p);
        if (r != Type::None) emit(Op::Pop);
        return;
    }
    if (isOp(p + 1, ":")) fail(t, "E002", "a label stands at the start of its line");
    assignment(p);
}

void Compiler::compileLine(Section& s, int item, bool declarationsOnly) {
    m_item = item;
    const std::string_view text = m_items[static_cast<std::size_t>(item)].text;
    try {
        lineTokens(text);
        if (m_toks[0].kind == Tok::End) return;
        const Token& t0 = m_toks[0];
        // Labels
        std::size_t p = 0;
        if (t0.kind == Tok::Word && isOp(1, ":") && !IsKeyword(t0.text) && t0.text[0] != '#' && t0.text[0] != '$') {
            if (declarationsOnly) fail(t0, "E026", "labels belong after FBbody");
            auto it = s.labels.find(t0.text);
            if (it != s.labels.end() && it->second.first == item) m_labelAt.insert_or_assign(std::string(t0.text), here());
            m_afterGoto = false;
            p = 2;
            if (tok(p).kind == Tok::End) return;
        }
        const Token& first = tok(p);
        if (declarationsOnly) {
            if (first.kind == Tok::Word && first.text[0] == '$') {
                handleDirective(m_toks, true);
                return;
            }
            if (!(IsWord(first, "DIM") || IsWord(first, "CONST")))
                fail(first, "E026", "only DIM and CONST belong before FBbody in function block " +
                                        m_blocks[static_cast<std::size_t>(s.block)].name);
            return;
        }
        const Kw firstKw = first.kind == Tok::Word && !first.plain ? KeywordOf(first.text) : Kw::None;
        const bool closing = firstKw == Kw::EndIf || firstKw == Kw::Else || firstKw == Kw::ElseIf || firstKw == Kw::Loop;
        if (m_afterGoto && !closing && !(firstKw == Kw::Dim || firstKw == Kw::Const))
            warn(item, first.start, lineEnd(item), "W004",
                 "line is never reached (it follows the GOTO in line " + std::to_string(m_gotoItem) + ")");
        m_afterGoto = false;
        // Statement start: the line table and, for debugging, a Line instruction. Library code
        // has no lines of this program: its statements count as the header's, and it cannot be
        // stepped into.
        // An ELSEIF or ELSE line first ends the branch before it, so that the jump to ENDIF is
        // that branch's last instruction and the false condition lands on this line's start: a
        // breakpoint here fires when the line is reached, not when the branch above finishes.
        // Twice the bound: a line past it (see below) has still written inside the buffer.
        const std::size_t room = kCodePerLine + kCodePerToken * m_toks.size();
        m_code.makeRoom(2 * room);
        const std::size_t lineCode = m_code.size();
        if ((firstKw == Kw::ElseIf || firstKw == Kw::Else) && !m_open.empty() && m_open.back().kind == OpenBlock::If &&
            !m_open.back().hasElse)
            closeBranch(m_open.back());
        const uint32_t lineItem = inLibrary(item) ? 0u : static_cast<uint32_t>(item);
        m_lineStart = here();
        if (!m_lines.empty() && m_lines.back().offset == here()) m_lines.back().item = lineItem;
        else m_lines.push_back({here(), lineItem});
        if (m_opt.debug && !inLibrary(item)) {
            emit(Op::Line);
            u32(static_cast<uint32_t>(item));
        }
        const uint32_t start = here();
        const std::size_t relocsBefore = scope().relocs.size();
        statement(s, p, false, &firstKw);
        // The room is a bound on every line's code (kCodePerToken). A line past it is refused, as
        // one past twice the room would have written beyond the buffer; fuzzing stops on it.
        if (m_code.size() - lineCode > room) [[unlikely]] {
#if defined(RUX_FUZZING)
            __builtin_trap();
#endif
            error(item, first.start, lineEnd(item), "E025", "line too complex to compile");
            throw LineError();
        }
        // Fuse the common one-line forms into single instructions.
        const std::size_t n = here() - start;
        const uint8_t* c = m_code.data() + start;
        auto opAt = [&](std::size_t off) { return static_cast<Op>(c[off]); };
        auto rd = [&](std::size_t off) {
            uint32_t v;
            std::memcpy(&v, c + off, 4);
            return v;
        };
        auto relocated = [&](std::size_t off) {
            const std::vector<Reloc>& relocs = scope().relocs;
            for (std::size_t k = relocsBefore; k < relocs.size(); ++k)
                if (relocs[k].pos == start + off) return true;
            return false;
        };
        if (n == 16 && opAt(0) == Op::Ld && opAt(5) == Op::Ld && (opAt(10) == Op::IAdd || opAt(10) == Op::ISub) &&
            opAt(11) == Op::St && !relocated(1) && !relocated(6) && !relocated(12)) {
            const uint32_t a = rd(12), b = rd(1), d = rd(6);
            const Op fused = opAt(10) == Op::IAdd ? Op::IAddCC : Op::ISubCC;
            m_code.truncate(start);
            emit(fused);
            u32(a);
            u32(b);
            u32(d);
        } else if (n == 16 && opAt(0) == Op::Ld && opAt(5) == Op::PushI && opAt(10) == Op::IAdd && opAt(11) == Op::St &&
                   !relocated(1) && !relocated(12)) {
            const uint32_t a = rd(12), b = rd(1), k = rd(6);
            m_code.truncate(start);
            emit(Op::IAddCI);
            u32(a);
            u32(b);
            u32(k);
        } else if (n == 10 && opAt(0) == Op::PushI && opAt(5) == Op::St && !relocated(6)) {
            const uint32_t a = rd(6), k = rd(1);
            m_code.truncate(start);
            emit(Op::StI);
            u32(a);
            u32(k);
        }
    } catch (const LineError&) {
    }
}

void Compiler::closeSection(Section& s) {
    const int endItem = s.footer >= 0 ? s.footer : s.stop - 1;
    while (!m_open.empty()) {
        const OpenBlock& b = m_open.back();
        const char* what = b.kind == OpenBlock::If ? "IF without ENDIF" : b.kind == OpenBlock::For ? "FOR without LOOP" : "DO without LOOP";
        error(b.item, b.start, b.end, "E013", what);
        error(endItem, 1, std::max(2, lineEnd(endItem)), "E013",
              "section " + s.title + " ends inside the " +
                  (b.kind == OpenBlock::If ? std::string("IF") : b.kind == OpenBlock::For ? std::string("FOR") : std::string("DO")) +
                  " block of line " + std::to_string(b.item));
        // Close it so the code stays well formed.
        if (b.kind == OpenBlock::If) {
            if (b.nextCond) patch(*b.nextCond, here());
            b.endPatches.forEach([&](uint32_t at) { patch(at, here()); });
        } else {
            b.exits.forEach([&](uint32_t at) { patch(at, here()); });
        }
        m_open.pop_back();
    }
    for (const auto& [at, label, item, start, end] : m_gotoPatches) {
        auto it = m_labelAt.find(label);
        if (it != m_labelAt.end()) patch(at, it->second);
        else patch(at, here());
    }
    m_gotoPatches.clear();
    m_labelAt.clear();
    m_afterGoto = false;
}

// The blocks a block's body calls, from its words alone (a call is "_Name(" of a known block).
void Compiler::collectCalls(const Section& s) {
    BlockDef& blk = m_blocks[static_cast<std::size_t>(s.block)];
    for (int i = std::max(s.fbBody, s.header) + 1; i < s.stop; ++i) {
        const SourceItem& it = m_items[static_cast<std::size_t>(i)];
        if (it.kind != kTextItem) continue;
        m_item = i;
        lineTokens(it.text);
        for (std::size_t k = 0; k + 1 < m_toks.size(); ++k) {
            const Token& t = m_toks[k];
            if (t.kind != Tok::Word || t.text[0] != '_' || !isOp(k + 1, "(")) continue;
            if (const int b = m_blockByName.find(t.text); b >= 0) blk.calls.push_back(b);
        }
    }
}

void Compiler::compileSection(Section& s) {
    m_section = &s;
    m_scope = s.kind == SectionKind::Block ? m_blocks[static_cast<std::size_t>(s.block)].scope : 0;
    const uint32_t entry = here();
    if (s.kind == SectionKind::Block) m_blocks[static_cast<std::size_t>(s.block)].entry = entry;
    if (s.kind == SectionKind::Task) m_taskEntry[s.taskId] = entry;
    if (s.kind == SectionKind::Sub) m_subEntries.emplace_back(entry, static_cast<int>(&s - m_sections.data()));
    const int last = s.stop;
    bool declarations = s.kind == SectionKind::Block;
    if (s.kind == SectionKind::Block && s.fbBody < 0)
        error(s.header, 1, lineEnd(s.header), "E019",
              "function block " + m_blocks[static_cast<std::size_t>(s.block)].name + " has no FBbody line");
    for (int i = s.header + 1; i < last; ++i) {
        const SourceItem& it = m_items[static_cast<std::size_t>(i)];
        prefetchAhead(static_cast<std::size_t>(i));
        if (it.kind == kDiagramItem) {
            warn(i, 1, 2, "W006",
                 "diagram '" + diagramTitle(i) + "' is not executed (diagrams are not compiled yet)");
            continue;
        }
        if (it.kind != kTextItem) continue;
        if (declarations && i == s.fbBody) {
            declarations = false;
            continue;
        }
        compileLine(s, i, declarations);
    }
    closeSection(s);
    m_lines.push_back({here(), inLibrary(s.header) ? 0u : static_cast<uint32_t>(s.footer >= 0 ? s.footer : s.header)});
    m_code.makeRoom(1);
    if (s.kind == SectionKind::Task) emit(Op::End);
    else if (s.kind == SectionKind::Sub) emit(Op::Ret);
    else emit(Op::FbRet);
}

// --- finishing -----------------------------------------------------------------------------------

void Compiler::finishWarnings() {
    // After an error the uses of a variable are incomplete: its line was given up.
    for (const Message& m : m_messages)
        if (!m.warning) return;
    for (Scope& sc : m_scopes)
        for (Var& v : sc.vars) {
            if (v.isConst || v.name.empty()) continue;
            if (m_diagramNames.count(v.name)) continue;
            if (sc.block >= 0 && inLibrary(m_blocks[static_cast<std::size_t>(sc.block)].headerItem)) continue;
            const std::string where = sc.block >= 0 ? " in function block " + m_blocks[static_cast<std::size_t>(sc.block)].name : "";
            if (v.read && !v.written)
                warn(v.readItem, v.readStart, v.readEnd, "W001", "variable '" + v.name + "' is read but never written" + where);
            else if (v.written && !v.read)
                warn(v.writeItem, v.writeStart, v.writeEnd, "W002", "variable '" + v.name + "' is written but never read" + where);
        }
}

bool Compiler::layoutFrames() {
    // Block frames: own cells, then one instance per call site. Recursion makes the size infinite.
    const std::size_t nb = m_blocks.size();
    std::vector<int> state(nb, 0); // 0 new, 1 on the path, 2 done
    bool ok = true;
    std::function<void(int, std::vector<int>&)> visit = [&](int b, std::vector<int>& path) {
        BlockDef& blk = m_blocks[static_cast<std::size_t>(b)];
        if (state[static_cast<std::size_t>(b)] == 2) return;
        if (state[static_cast<std::size_t>(b)] == 1) {
            std::string chain;
            bool on = false;
            for (int x : path) {
                if (x == b) on = true;
                if (on) chain += m_blocks[static_cast<std::size_t>(x)].name + " -> ";
            }
            chain += blk.name;
            error(blk.headerItem, 1, lineEnd(blk.headerItem), "E017", "function block " + blk.name + " calls itself (" + chain + ")");
            ok = false;
            return;
        }
        state[static_cast<std::size_t>(b)] = 1;
        path.push_back(b);
        for (int c : blk.calls) visit(c, path);
        path.pop_back();
        state[static_cast<std::size_t>(b)] = 2;
        if (!ok) return;
        Scope& sc = m_scopes[static_cast<std::size_t>(blk.scope)];
        uint64_t size = sc.cells;
        for (int inst : sc.instances) {
            sc.instanceBase.push_back(static_cast<uint32_t>(std::min<uint64_t>(size, kMaxCells + 1)));
            size += m_scopes[static_cast<std::size_t>(m_blocks[static_cast<std::size_t>(inst)].scope)].frameSize;
        }
        sc.frameSize = static_cast<uint32_t>(std::min<uint64_t>(size, kMaxCells + 1));
        if (size > kMaxCells) {
            error(blk.headerItem, 1, lineEnd(blk.headerItem), "E023",
                  "function block " + blk.name + " needs more than " + std::to_string(kMaxCells) + " variable cells");
            ok = false;
        }
    };
    for (std::size_t b = 0; b < nb && ok; ++b) {
        std::vector<int> path;
        visit(static_cast<int>(b), path);
    }
    if (!ok) return false;
    Scope& g = m_scopes[0];
    uint64_t size = g.cells;
    for (int inst : g.instances) {
        g.instanceBase.push_back(static_cast<uint32_t>(std::min<uint64_t>(size, kMaxCells + 1)));
        size += m_scopes[static_cast<std::size_t>(m_blocks[static_cast<std::size_t>(inst)].scope)].frameSize;
    }
    g.frameSize = static_cast<uint32_t>(std::min<uint64_t>(size, kMaxCells + 1));
    if (size > kMaxCells) {
        error(0, 1, 2, "E023", "the program needs " + std::to_string(size) + " variable cells; at most " +
                                   std::to_string(kMaxCells) + " fit on the drive");
        return false;
    }
    for (Scope& sc : m_scopes)
        for (const Reloc& r : sc.relocs) patch(r.pos, sc.instanceBase[static_cast<std::size_t>(r.instance)] + r.addend);
    return true;
}

void Compiler::buildImage(Result& r) {
    image::Image& img = r.image;
    img.flags = static_cast<uint16_t>((m_single ? image::kFlagSinglePrecision : 0) |
                                      (m_opt.floatingPoint ? 0 : image::kFlagFixedPoint) |
                                      (m_opt.debug ? image::kFlagDebug : 0) | (m_opt.embedSource ? image::kFlagSource : 0) |
                                      (m_opt.library ? image::kFlagLibrary : 0));
    img.targetType = m_opt.targetType;
    img.globalCells = m_scopes[0].frameSize;
    for (const auto& [id, entry] : m_taskEntry)
        img.tasks.push_back({static_cast<uint16_t>(id), m_opt.targetTasks[static_cast<std::size_t>(id)], entry});
    img.code = m_code.take();
    img.constants = std::move(m_constants);
    if (m_single)
        for (double& d : img.constants) d = static_cast<double>(static_cast<float>(d));
    img.strings = std::move(m_strings);
    const auto byOffset = [](const image::LineEntry& a, const image::LineEntry& b) { return a.offset < b.offset; };
    if (!std::is_sorted(m_lines.begin(), m_lines.end(), byOffset)) std::stable_sort(m_lines.begin(), m_lines.end(), byOffset);
    img.lines = std::move(m_lines);
    if (m_opt.embedSource) img.source = m_opt.source;
    {
        std::vector<std::size_t> memo(m_blocks.size(), SIZE_MAX);
        std::size_t count = 0;
        for (const Var& v : m_scopes[0].vars) count += isSymbol(v);
        for (const int b : m_scopes[0].instances) count += instanceSymbolCount(b, memo);
        img.symbols.reserve(count);
    }
    for (const Var& v : m_scopes[0].vars) {
        if (!isSymbol(v)) continue;
        img.addSymbol(v.name, v.cell, static_cast<uint8_t>(v.isInt ? 3 : (m_single ? 2 : 1)), v.isArray ? v.size : 1u);
    }
    // Every call site's instance of a block, with the block's inputs, outputs and variables:
    // "_Ramp.2.Last%" is Last% of the second call of _Ramp, in line order.
    {
        const Scope& g = m_scopes[0];
        std::vector<int> seen(m_blocks.size(), 0);
        std::string name;
        for (std::size_t k = 0; k < g.instances.size(); ++k) {
            const int b = g.instances[k];
            const int n = ++seen[static_cast<std::size_t>(b)];
            name.assign(m_blocks[static_cast<std::size_t>(b)].name);
            name += '.';
            char number[16];
            const auto [end, ec] = std::to_chars(number, number + sizeof number, n);
            (void)ec; // an int always fits
            name.append(number, end);
            name += '.';
            addInstanceSymbols(img, name, b, g.instanceBase[k]);
        }
    }
    for (const BlockDef& b : m_blocks)
        img.blocks.push_back({b.name, b.entry, m_scopes[static_cast<std::size_t>(b.scope)].frameSize,
                              static_cast<uint16_t>(b.inputs.size()), static_cast<uint16_t>(b.outputs.size())});
}

void Compiler::addInstanceSymbols(image::Image& img, std::string& name, int block, uint32_t base) {
    const Scope& sc = m_scopes[static_cast<std::size_t>(m_blocks[static_cast<std::size_t>(block)].scope)];
    const std::size_t prefix = name.size();
    for (const Var& v : sc.vars) {
        if (!isSymbol(v)) continue;
        img.addSymbol(name, v.name, base + v.cell, static_cast<uint8_t>(v.isInt ? 3 : (m_single ? 2 : 1)), v.isArray ? v.size : 1u);
    }
    std::vector<int> seen(sc.instances.empty() ? 0 : m_blocks.size(), 0);
    for (std::size_t k = 0; k < sc.instances.size(); ++k) {
        const int b = sc.instances[k];
        const int n = ++seen[static_cast<std::size_t>(b)];
        char number[16];
        const auto [end, ec] = std::to_chars(number, number + sizeof number, n);
        (void)ec; // an int always fits
        name.resize(prefix);
        name += m_blocks[static_cast<std::size_t>(b)].name;
        name += '.';
        name.append(number, end);
        name += '.';
        addInstanceSymbols(img, name, b, base + sc.instanceBase[k]);
    }
    name.resize(prefix);
}

std::size_t Compiler::instanceSymbolCount(int block, std::vector<std::size_t>& memo) const {
    std::size_t& known = memo[static_cast<std::size_t>(block)];
    if (known != SIZE_MAX) return known;
    const Scope& sc = m_scopes[static_cast<std::size_t>(m_blocks[static_cast<std::size_t>(block)].scope)];
    std::size_t count = 0;
    for (const Var& v : sc.vars) count += isSymbol(v);
    for (const int b : sc.instances) count += instanceSymbolCount(b, memo);
    known = count;
    return count;
}

std::string Compiler::unknownBlockText(std::string_view name) const {
    std::string text = "function block '" + name + "' is not defined";
    if (m_opt.libraries.empty()) return text;
    std::string names, missing;
    for (const LibraryItems& lib : m_opt.libraries) {
        names += (names.empty() ? "" : ", ") + lib.name;
        if (!lib.present) missing += (missing.empty() ? "" : ", ") + lib.name;
    }
    text += " in the program or its libraries (" + names + ")";
    if (!missing.empty()) text += "; not in the library directory: " + missing;
    return text;
}

// A library's warnings are its author's business; its errors stand at the program's header,
// naming the library and the block.
void Compiler::mapLibraryMessages() {
    std::vector<Message> kept;
    kept.reserve(m_messages.size());
    for (Message& m : m_messages) {
        if (!inLibrary(m.item)) {
            kept.push_back(std::move(m));
            continue;
        }
        if (m.warning) continue;
        const int sec = m_sectionOf[static_cast<std::size_t>(m.item)];
        std::string where = "library " + libraryOf(m.item);
        if (sec >= 0 && m_sections[static_cast<std::size_t>(sec)].block >= 0)
            where += ", function block " + m_blocks[static_cast<std::size_t>(m_sections[static_cast<std::size_t>(sec)].block)].name;
        m.text = where + ": " + m.text;
        m.item = 0;
        m.start = 1;
        m.end = 2;
        kept.push_back(std::move(m));
    }
    m_messages = std::move(kept);
}

// A diagram saved without a title is shown as "Diagram N", N the lowest number no other diagram of
// its program uses (in any case), handed out in item order as the editor does on load, so that a
// message names the diagram the user sees. `diagrams`: the diagram items in item order.
void Compiler::nameUntitledDiagrams(const std::vector<int>& diagrams) {
    for (std::size_t from = 0; from < diagrams.size();) {
        const int file = fileStart(diagrams[from]);
        std::size_t to = from;
        while (to < diagrams.size() && fileStart(diagrams[to]) == file) ++to;
        std::vector<std::string> titles;
        titles.reserve(to - from); // stays in place: `known` points into it
        std::vector<const std::string*> known;
        for (std::size_t k = from; k < to; ++k) {
            const std::string* t = m_items[static_cast<std::size_t>(diagrams[k])].diagramTitle;
            titles.push_back(t ? *t : std::string());
            known.push_back(&titles.back());
        }
        for (std::size_t k = from; k < to; ++k)
            if (titles[k - from].empty()) {
                titles[k - from] = FreeDiagramTitle(known);
                m_untitledDiagrams.emplace(diagrams[k], titles[k - from]);
            }
        from = to;
    }
}

std::string_view Compiler::diagramTitle(int item) const {
    if (const auto it = m_untitledDiagrams.find(item); it != m_untitledDiagrams.end()) return it->second;
    const std::string* t = m_items[static_cast<std::size_t>(item)].diagramTitle;
    return t ? std::string_view(*t) : std::string_view();
}

Result Compiler::run() {
    Result r;
    // A statement's code is 20 to 30 bytes. The room also holds the rest of the image file (a line
    // entry, the symbols and constants come to well under 32 bytes a line, and the source), so that
    // the file is written around the code in this one buffer: pages of the room that are never
    // written are never touched.
    m_code.reserve(m_items.size() * 64 + (m_opt.embedSource ? m_opt.source.size() : 0) + 4096);
    m_lines.reserve(m_items.size());
    prepass();

    // Array cells are laid out before any scalar that the code creates on first use.
    for (Scope& sc : m_scopes)
        for (Var& v : sc.vars)
            if (v.isArray || !v.isConst) {
                v.cell = sc.cells;
                sc.cells = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{sc.cells} + v.size, kMaxCells + 1));
            }

    // Names used by diagrams count as read and written: the diagram is their other half.
    std::vector<int> diagrams;
    for (const SourceItem& it : m_items)
        if (it.kind == kDiagramItem) {
            diagrams.push_back(static_cast<int>(&it - m_items.data()));
            std::size_t i = 0;
            const std::string_view s = it.text;
            while (i < s.size()) {
                if (std::isalpha(static_cast<unsigned char>(s[i]))) {
                    std::size_t j = i;
                    while (j < s.size() && IsWordChar(s[j])) ++j;
                    m_diagramNames.insert(std::string(s.substr(i, j - i)));
                    i = j;
                } else {
                    ++i;
                }
            }
        }

    nameUntitledDiagrams(diagrams);

    // Lines outside sections: comments and directives only.
    {
        for (std::size_t i = 1; i < m_items.size(); ++i) {
            const SourceItem& it = m_items[i];
            if (m_sectionOf[i] >= 0) {
                i = lastItemOf(m_sectionOf[i]);
                continue;
            }
            if (inLibrary(static_cast<int>(i))) continue;
            if (it.kind == kDiagramItem) {
                warn(static_cast<int>(i), 1, 2, "W006", "diagram '" + diagramTitle(static_cast<int>(i)) + "' is not executed (it stands outside any section)");
                continue;
            }
            if (it.kind != kTextItem) continue;
            m_item = static_cast<int>(i);
            try {
                lineTokens(it.text);
                if (m_toks[0].kind == Tok::End) continue;
                if (m_toks[0].kind == Tok::Word && m_toks[0].text[0] == '$') {
                    handleDirective(m_toks, true);
                    continue;
                }
                error(m_item, m_toks[0].start, lineEnd(m_item), "E004", "statement outside a section");
            } catch (const LineError&) {
            }
        }
    }

    // Code, section by section; aliases defined in earlier sections and lines apply. Top-level
    // directives were replayed above in line order, so replay again alongside the sections.
    m_aliases.clear();
    m_single = false;
    {
        std::size_t next = 0;
        auto topLevelUpTo = [&](int item) {
            // Apply the directives that stand outside sections before `item`.
            for (; next < m_items.size() && static_cast<int>(next) < item; ++next) {
                if (m_sectionOf[next] >= 0) { // `item` stands after this section
                    next = lastItemOf(m_sectionOf[next]);
                    continue;
                }
                if (m_items[next].kind != kTextItem || inLibrary(static_cast<int>(next))) continue;
                m_item = static_cast<int>(next);
                try {
                    lineTokens(m_items[next].text);
                    if (m_toks[0].kind == Tok::Word && m_toks[0].text[0] == '$') {
                        const std::size_t before = m_messages.size();
                        try {
                            handleDirective(m_toks, true);
                        } catch (const LineError&) {
                        }
                        m_messages.resize(before); // reported by the pass over top-level lines
                    }
                } catch (const LineError&) {
                }
            }
        };
        for (Section& s : m_sections) {
            topLevelUpTo(s.header);
            if (s.kind == SectionKind::Notes) continue;
            if (s.kind == SectionKind::Other) continue;
            // Reporting stops at the 100th error in line order. Once that many stand before a
            // section, none of its own messages could be reported (they all lie inside it) and no
            // image is written: its code is not compiled, and an Alias section only defines its
            // aliases. A function block's calls are still collected, since a recursion is reported
            // at the first block of the cycle, which may stand earlier; library blocks are always
            // compiled (their errors stand at line 0).
            bool pastLimit = false;
            if (!inLibrary(s.header) && m_messages.size() >= static_cast<std::size_t>(kMaxReportedErrors)) {
                int before = 0;
                for (const Message& m : m_messages)
                    if (!m.warning && m.item < s.header) ++before;
                pastLimit = before >= kMaxReportedErrors;
            }
            if (s.kind == SectionKind::Alias) {
                m_scope = 0;
                for (int i = s.header + 1; i < s.stop; ++i) {
                    if (m_items[static_cast<std::size_t>(i)].kind != kTextItem) continue;
                    m_item = i;
                    try {
                        lineTokens(m_items[static_cast<std::size_t>(i)].text);
                        if (m_toks[0].kind == Tok::End) continue;
                        if (m_toks[0].kind != Tok::Word || m_toks[0].text[0] != '$') {
                            if (pastLimit) continue;
                            fail(m_toks[0], "E026", "only directives belong in the Alias section");
                        }
                        handleDirective(m_toks, true);
                    } catch (const LineError&) {
                    }
                }
                continue;
            }
            if (pastLimit) {
                m_skippedSections = true;
                if (s.kind == SectionKind::Block) collectCalls(s);
                continue;
            }
            compileSection(s);
        }
        topLevelUpTo(static_cast<int>(m_items.size()));
    }

    // Subroutine calls.
    for (const auto& [at, name, item, start, end] : m_callPatches) {
        const int sec = m_subByName[name];
        for (const auto& [entry, s] : m_subEntries)
            if (s == sec) patch(at, entry);
    }

    finishWarnings();
    const bool framesOk = layoutFrames();
    (void)framesOk;
    mapLibraryMessages();

    // Line order, then the error limit.
    std::stable_sort(m_messages.begin(), m_messages.end(), [](const Message& a, const Message& b) {
        return a.item != b.item ? a.item < b.item : a.start < b.start;
    });
    std::vector<Message> kept;
    for (const Message& m : m_messages)
        if (!m.warning) ++r.errorsFound;
    for (Message& m : m_messages) {
        if (r.errors == kMaxReportedErrors) break; // nothing after the 100th error
        (m.warning ? r.warnings : r.errors)++;
        kept.push_back(std::move(m));
    }
    r.messages = std::move(kept);
    if (r.errors == 0 && !m_skippedSections) buildImage(r);
    return r;
}

} // namespace

Result Compile(const std::vector<SourceItem>& items, const Options& options) {
    bool anyLibrary = false;
    for (const LibraryItems& lib : options.libraries) anyLibrary = anyLibrary || !lib.items.empty();
    if (!anyLibrary) {
        Compiler c(items, options, items.size(), {{static_cast<int>(items.size()), ""}});
        return c.run();
    }
    // The libraries' items follow the program's, so that their blocks compile like its own.
    std::vector<SourceItem> all = items;
    std::vector<std::pair<int, std::string>> starts;
    for (const LibraryItems& lib : options.libraries) {
        if (lib.items.empty()) continue;
        starts.emplace_back(static_cast<int>(all.size()), lib.name);
        all.insert(all.end(), lib.items.begin(), lib.items.end());
    }
    Compiler c(all, options, items.size(), std::move(starts));
    return c.run();
}

} // namespace rux::cmp
