// The allocator behind CItem's operator new: free lists by size, refilled from large blocks.
//
// Items are small (one size per item class) and made and dropped by the million when a program
// is loaded or closed. A freed item's memory goes back to its size's free list and serves the next
// item of that size; the blocks themselves stay with the process. The core runs on one thread only,
// so the lists need no lock.
//
// A size class that has grown past a few small blocks takes huge-page sized ones, aligned and
// marked for transparent huge pages: a million-line program then costs a few dozen page faults
// for its items instead of sixteen thousand, which was a third of the time a load spent in the
// kernel. Small programs never reach that step and keep their footprint.
#include "document/item.h"

#include <array>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace rux {
namespace {

constexpr size_t kGrain = 16;
constexpr size_t kLargest = 256; // bigger objects (none today) go to the general heap
constexpr size_t kBlockBytes = 256 * 1024;
constexpr size_t kHugeBlockBytes = 2 * 1024 * 1024;
constexpr int kSmallBlocks = 4; // per size class, before huge blocks

char* NewBlock(int blocksSoFar, size_t& bytes) {
    if (blocksSoFar < kSmallBlocks) {
        bytes = kBlockBytes;
        return static_cast<char*>(::operator new(kBlockBytes));
    }
    void* block = std::aligned_alloc(kHugeBlockBytes, kHugeBlockBytes);
    if (!block) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(block, kHugeBlockBytes, MADV_HUGEPAGE); // advice only: without it the block still works
#endif
    bytes = kHugeBlockBytes;
    return static_cast<char*>(block);
}

struct CFreeBlock {
    CFreeBlock* next;
};

class CItemPool {
public:
    void* Allocate(size_t size) {
        CSizeClass& sc = m_classes[Index(size)];
        if (sc.free) {
            CFreeBlock* b = sc.free;
            sc.free = b->next;
            return b;
        }
        const size_t rounded = (Index(size) + 1) * kGrain;
        if (sc.left < rounded) {
            sc.next = NewBlock(sc.blocks++, sc.left);
        }
        void* p = sc.next;
        sc.next += rounded;
        sc.left -= rounded;
        return p;
    }

    void Release(void* block, size_t size) noexcept {
        CSizeClass& sc = m_classes[Index(size)];
        auto* b = static_cast<CFreeBlock*>(block);
        b->next = sc.free;
        sc.free = b;
    }

private:
    struct CSizeClass {
        CFreeBlock* free = nullptr;
        char* next = nullptr;
        size_t left = 0;
        int blocks = 0;
    };
    static size_t Index(size_t size) { return (size + kGrain - 1) / kGrain - 1; }

    std::array<CSizeClass, kLargest / kGrain> m_classes{};
};

// Never destroyed: items may outlive every static object (a test's global program, for instance).
CItemPool& Pool() {
    static CItemPool* pool = new CItemPool;
    return *pool;
}

} // namespace

#ifdef RUX_ITEM_POOL_OFF
constexpr bool kPoolOn = false;
#else
constexpr bool kPoolOn = true;
#endif

void* CItem::operator new(size_t size) {
    if (!kPoolOn || size == 0 || size > kLargest) return ::operator new(size);
    return Pool().Allocate(size);
}

void CItem::operator delete(void* block, size_t size) noexcept {
    if (!block) return;
    if (!kPoolOn || size == 0 || size > kLargest) {
        ::operator delete(block);
        return;
    }
    Pool().Release(block, size);
}

} // namespace rux
