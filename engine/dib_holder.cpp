#include "engine/dib_holder.h"

#include "engine/dib_layout.h"

namespace pm32 {

ZDibHolder::~ZDibHolder() {
    if (owns && handle != 0) FreeDib(handle);
}

void ZDibHolder::Attach(HGLOBAL newHandle, bool newOwns) {
    if (owns && handle != 0) platform::GlobalFree(handle);
    handle = newHandle;
    owns = newOwns;
    if (handle == 0) throw RaisedError{err::Unrecoverable};
    ZDibLock lock(handle);
    if (lock.header() == nullptr) throw RaisedError{err::LockFailed};
    if (lock.bits() == nullptr) throw RaisedError{err::Unrecoverable};
    depth = readLe16(lock.header() + dib::kBitCount);
    height = static_cast<std::int32_t>(readLe32(lock.header() + dib::kHeight));
    width = static_cast<std::int32_t>(readLe32(lock.header() + dib::kWidth));
}

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
