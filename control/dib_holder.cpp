#include "control/dib_holder.h"

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

}  // namespace pm32
