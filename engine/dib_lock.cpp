#include "engine/dib_lock.h"

#include "engine/dib_layout.h"

namespace pm32 {

ZDibLock::ZDibLock(HGLOBAL handle)
    : handle_(handle), header_(static_cast<std::uint8_t*>(platform::GlobalLock(handle))) {
    if (header_ == nullptr) return;
    size_ = platform::GlobalSize(handle);
    if (size_ < dib::kHeaderSize) return;
    std::uint32_t used = readLe32(header_ + dib::kClrUsed);
    if (used == 0) used = fullTableSize(readLe16(header_ + dib::kBitCount));
    std::uint64_t offset = dib::kHeaderSize + 4ull * used;
    if (offset <= size_) bits_ = header_ + offset;
}

ZDibLock::~ZDibLock() {
    if (header_ != nullptr) platform::GlobalUnlock(handle_);
}

}  // namespace pm32
