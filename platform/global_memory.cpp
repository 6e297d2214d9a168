#include "platform/global_memory.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace pm32::platform {
namespace {

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};

struct Block {
    std::unique_ptr<std::uint8_t, FreeDeleter> bytes;
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
    // calloc keeps large zeroed blocks lazily mapped instead of touching every page.
    void* memory = (flags & GMEM_ZEROINIT) ? std::calloc(bytes, 1) : std::malloc(bytes);
    if (memory == nullptr) return 0;
    Block block;
    block.bytes.reset(static_cast<std::uint8_t*>(memory));
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
