#pragma once

#include <csetjmp>

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace pm32 {

// libjpeg's standard error manager with the jump point that its fatal-error
// hook long-jumps to. Message output does nothing, so no library text is ever
// shown, printed or kept; warnings are not errors.
struct JpegErrors {
    JpegErrors();
    JpegErrors(const JpegErrors&) = delete;
    JpegErrors& operator=(const JpegErrors&) = delete;

    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// A decompression object reporting to errors (which must outlive it),
// destroyed with the guard whatever state a failure left it in. It is created
// inside a guarded step, since creation itself can fail.
class JpegDecompressor {
  public:
    explicit JpegDecompressor(JpegErrors& errors);
    ~JpegDecompressor();
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;

    jpeg_decompress_struct* get() { return &info_; }

  private:
    jpeg_decompress_struct info_{};
};

// The same for compression.
class JpegCompressor {
  public:
    explicit JpegCompressor(JpegErrors& errors);
    ~JpegCompressor();
    JpegCompressor(const JpegCompressor&) = delete;
    JpegCompressor& operator=(const JpegCompressor&) = delete;

    jpeg_compress_struct* get() { return &info_; }

  private:
    jpeg_compress_struct info_{};
};

// Runs step with the jump point set; false when the library failed inside it.
// A failure long-jumps back here past step's frames without unwinding them,
// so those frames may hold only trivially destructible objects: every owner
// lives with the caller, and step works on state.
template <typename State>
bool runJpegStep(JpegErrors& errors, void (*step)(State&), State& state) {
    if (setjmp(errors.jump) != 0) return false;
    step(state);
    return true;
}

}  // namespace pm32
