// Compiled program images (NAME.bin): the one writer and the one reader of the format.
// The layout is described in suite/cmp/README.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rux::image {

constexpr char kMagic[4] = {'R', 'X', 'I', 'M'};
constexpr uint16_t kFormatVersion = 1;
constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kProgramIdOffset = 8;

enum ImageFlags : uint16_t {
    kFlagSinglePrecision = 1,
    kFlagFixedPoint = 2,
    kFlagDebug = 4,     // Line instructions were compiled in: breakpoints and stepping work
    kFlagSource = 8,    // the program source is embedded
    kFlagLibrary = 16,  // a library program (function blocks only)
};

enum SectionKind : uint32_t {
    kSectionTasks = 1,
    kSectionCode = 2,
    kSectionConstants = 3,
    kSectionStrings = 4,
    kSectionLines = 5,
    kSectionSource = 6,
    kSectionSymbols = 7,
    kSectionBlocks = 8,
};

// An allocator whose default construction leaves a value uninitialised: a vector of bytes grown
// with resize() is not zero-filled first, for buffers that are written in full right after.
template <class T>
struct UninitialisedAllocator {
    using value_type = T;
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }
    template <class U>
    void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) { std::construct_at(p, std::forward<Args>(args)...); }
    friend bool operator==(const UninitialisedAllocator&, const UninitialisedAllocator&) { return true; }
};

// Code and whole image files: megabytes that are always written before they are read.
using Bytes = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

struct TaskEntry {
    uint16_t taskId = 0;      // position in the target's task list
    std::string name;         // as the target names it ("Clock")
    uint32_t entry = 0;       // code offset
};

struct BlockEntry {
    std::string name;         // "_RampLimit"
    uint32_t entry = 0;       // code offset of the body
    uint32_t frameSize = 0;   // cells of one instance
    uint16_t inputs = 0;      // inputs are the cells 0..inputs-1 of the frame
    uint16_t outputs = 0;     // outputs follow the inputs
};

struct LineEntry {
    uint32_t offset = 0;      // code offset of the line's first instruction
    uint32_t item = 0;        // item index in the program
};

// The names of an image's symbols, in chunks that never move: a name's view stays valid while
// more are added, and copies of an image share the chunks. A symbol name costs no allocation of
// its own.
class NameStore {
public:
    std::string_view add(std::string_view name) { return add(std::string_view(), name); }
    // The name `prefix` + `name`, written straight into the store.
    std::string_view add(std::string_view prefix, std::string_view name);

private:
    std::vector<std::unique_ptr<char[]>> m_chunks;
    char* m_free = nullptr;
    std::size_t m_room = 0;
};

struct SymbolEntry {
    std::string_view name;    // kept by the image's symbolNames
    uint32_t address = 0;     // cell in the global frame
    uint8_t type = 0;         // 1 real (double), 2 real (single), 3 integer
    uint32_t elements = 1;
};

struct Image {
    uint16_t version = kFormatVersion;
    uint16_t flags = 0;
    uint32_t programId = 0;
    std::string targetType;   // at most 15 characters
    uint32_t globalCells = 0;
    std::vector<TaskEntry> tasks;
    Bytes code;
    std::vector<double> constants;
    std::vector<std::string> strings;
    std::vector<LineEntry> lines;     // sorted by offset
    std::string source;
    std::vector<SymbolEntry> symbols;
    std::shared_ptr<NameStore> symbolNames = std::make_shared<NameStore>();
    std::vector<BlockEntry> blocks;

    // A symbol, its name copied into symbolNames.
    void addSymbol(std::string_view name, uint32_t address, uint8_t type, uint32_t elements) {
        symbols.push_back({symbolNames->add(name), address, type, elements});
    }
    // A symbol named `prefix` + `name` (an instance's "_Ramp.1." and one of its variables).
    void addSymbol(std::string_view prefix, std::string_view name, uint32_t address, uint8_t type, uint32_t elements) {
        symbols.push_back({symbolNames->add(prefix, name), address, type, elements});
    }

    // The item of the line holding code offset `pc`; -1 when no line covers it.
    int itemAt(uint32_t pc) const;
};

uint32_t crc32(const uint8_t* data, std::size_t size, uint32_t crc = 0);

// Serialises the image and fills in its program identifier (also stored in image.programId).
Bytes writeImage(Image& image);

// The same bytes, written into the storage of image.code when its capacity holds the whole file
// (the code moves up behind the header and task table) instead of copying the code into a new
// buffer. image.code is left empty; the rest of the image is unchanged.
Bytes writeImageTakingCode(Image& image);

// True when the bytes start like an image (magic only).
bool looksLikeImage(const uint8_t* data, std::size_t size);

// Parses and checks the container: header, version, size, identifier, section bounds and section
// contents. The code itself is checked by the virtual machine's verifier. On failure `message`
// says what is wrong and the image is left empty.
bool readImage(const uint8_t* data, std::size_t size, Image& image, std::string& message);
bool readImageFile(const std::string& path, Image& image, std::string& message);

// The program identifier of a file: 0 when it cannot be read or is not a valid image.
uint32_t fileProgramId(const std::string& path);

} // namespace rux::image
