#include "control/whole_image_transfer.h"

#include "control/dispids.h"
#include "engine/dib_layout.h"

namespace pm32::control {
namespace {

// Frees an owned incoming block unless it was handed on.
class IncomingBlock {
  public:
    IncomingBlock(HGLOBAL handle, bool owns) : handle_(handle), owns_(owns) {}
    ~IncomingBlock() {
        if (owns_ && handle_ != 0) FreeDib(handle_);
    }
    IncomingBlock(const IncomingBlock&) = delete;
    IncomingBlock& operator=(const IncomingBlock&) = delete;

    HGLOBAL handOn() {
        owns_ = false;
        return handle_;
    }

  private:
    HGLOBAL handle_;
    bool owns_;
};

std::uint32_t depthOf(HGLOBAL handle) {
    platform::Locked block(handle);
    return block && block.size() >= dib::kHeaderSize ? readLe16(block.data() + dib::kBitCount) : 0;
}

}  // namespace

void TransferWholeImage(ZPm32& control, HGLOBAL incoming, bool owns) {
    IncomingBlock block(incoming, owns);
    if (control.Image() == nullptr || control.I2(dispid::AssignMode) == 0) {
        control.InstallImage(block.handOn(), owns);
        return;
    }
    if (depthOf(incoming) != control.Image()->depth) Raise(20120);
    automation::ThrowNotImplemented("AssignMode union, intersection and resize");
}

void AcceptCallerDib(HGLOBAL handle) {
    if (ErrorNumber n = VerifyDib(handle); n != 0) Raise(n);
    platform::Locked block(handle);
    std::uint8_t* header = block.data();
    std::uint32_t depth = readLe16(header + dib::kBitCount);
    if (depth == 24 || readLe32(header + dib::kClrUsed) != 0) return;
    std::uint32_t full = fullTableSize(depth);
    auto needed = dibBlockSize(full, rowBytesFor(readLe32(header + dib::kWidth), depth),
                               readLe32(header + dib::kHeight));
    if (!needed || *needed > block.size()) Raise(err::InvalidPicture);
    writeLe32(header + dib::kClrUsed, full);
}

}  // namespace pm32::control
