#include "platform/global_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace pm32::platform {
namespace {

// A block's memory comes from the heap, or for a large block straight from
// the kernel; mapped is the length of such a mapping, 0 for heap memory.
struct BlockMemoryRelease {
    std::size_t mapped = 0;
    void operator()(std::uint8_t* p) const {
        if (mapped != 0)
            ::munmap(p, mapped);
        else
            std::free(p);
    }
};
using BlockMemory = std::unique_ptr<std::uint8_t, BlockMemoryRelease>;

#if defined(__SANITIZE_ADDRESS__)
#define PM32_HEAP_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PM32_HEAP_ONLY 1
#endif
#endif

// Pictures fill large blocks row by row right after allocating them, and
// with 4 KiB pages the first touch of each page is a fault: about a third of
// decoding a simple 36 MB picture. Large blocks are mapped on transparent
// huge pages, one fault per 2 MiB. Under AddressSanitizer every block stays
// on the heap, where each byte past its end is caught.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMappedFrom = 2 * kHugePage;

BlockMemory allocateBlockMemory(std::size_t bytes, bool zeroed) {
#ifndef PM32_HEAP_ONLY
    if (bytes >= kMappedFrom) {
        const std::size_t mapped = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* memory =
            ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) return BlockMemory(nullptr, BlockMemoryRelease{});
        ::madvise(memory, mapped, MADV_HUGEPAGE);  // fresh anonymous memory is zero
        return BlockMemory(static_cast<std::uint8_t*>(memory), BlockMemoryRelease{mapped});
    }
#endif
    // calloc keeps large zeroed blocks lazily mapped instead of touching every page.
    void* memory = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
    return BlockMemory(static_cast<std::uint8_t*>(memory), BlockMemoryRelease{});
}

struct Block {
    BlockMemory bytes;
    std::size_t size = 0;
    std::uint32_t flags = 0;
    std::uint32_t locks = 0;
};

HandleRegistry<Block>& blocks() {
    static HandleRegistry<Block> registry;
    return registry;
}

std::size_t& blockSizeLimit() {
    static std::size_t limit = 0xFFFFFFFFu;
    return limit;
}

}  // namespace

HGLOBAL GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    if (bytes == 0 || bytes > blockSizeLimit()) return 0;
    Block block;
    block.bytes = allocateBlockMemory(bytes, (flags & GMEM_ZEROINIT) != 0);
    if (!block.bytes) return 0;
    block.size = bytes;
    block.flags = flags;
    return blocks().add(std::move(block));
}

void* GlobalLock(HGLOBAL handle) {
    Block* block = blocks().find(handle);
    if (block == nullptr) return nullptr;
    ++block->locks;
    return block->bytes.get();
}

bool GlobalUnlock(HGLOBAL handle) {
    Block* block = blocks().find(handle);
    if (block == nullptr || block->locks == 0) return false;
    --block->locks;
    return block->locks != 0;
}

std::uint32_t GlobalFlags(HGLOBAL handle) {
    Block* block = blocks().find(handle);
    if (block == nullptr) return GMEM_INVALID_HANDLE;
    std::uint32_t locks = block->locks > GMEM_LOCKCOUNT ? GMEM_LOCKCOUNT : block->locks;
    return (block->flags & GMEM_DDESHARE) | locks;
}

std::size_t GlobalSize(HGLOBAL handle) {
    Block* block = blocks().find(handle);
    return block == nullptr ? 0 : block->size;
}

HGLOBAL GlobalFree(HGLOBAL handle) { return blocks().remove(handle) ? 0 : handle; }

void SetBlockSizeLimit(std::size_t bytes) { blockSizeLimit() = bytes; }

std::size_t BlockSizeLimit() { return blockSizeLimit(); }

std::size_t LiveBlockCount() { return blocks().size(); }

Locked::Locked(HGLOBAL handle)
    : handle_(handle), data_(static_cast<std::uint8_t*>(GlobalLock(handle))), size_(0) {
    if (data_ != nullptr) size_ = GlobalSize(handle);
}

Locked::~Locked() {
    if (data_ != nullptr) GlobalUnlock(handle_);
}

}  // namespace pm32::platform
