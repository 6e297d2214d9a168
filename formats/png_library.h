#pragma once

#include <png.h>

namespace pm32 {

// libpng's state for one load: the read and info structures, destroyed with
// the guard. The library's errors long-jump silently and its warnings are
// dropped, so none of its text is ever shown or kept.
class PngReadState {
  public:
    PngReadState();
    ~PngReadState();
    PngReadState(const PngReadState&) = delete;
    PngReadState& operator=(const PngReadState&) = delete;

    // False when either structure could not be allocated.
    explicit operator bool() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

  private:
    png_structp png_;
    png_infop info_;
};

// The same for one store.
class PngWriteState {
  public:
    PngWriteState();
    ~PngWriteState();
    PngWriteState(const PngWriteState&) = delete;
    PngWriteState& operator=(const PngWriteState&) = delete;

    explicit operator bool() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

  private:
    png_structp png_;
    png_infop info_;
};

// Runs step with libpng's error return point set; false when the library
// failed inside it. A failure long-jumps back here past step's frames without
// unwinding them, so those frames may hold only trivially destructible
// objects: every owner lives with the caller, and step works on state.
template <typename State>
bool runPngStep(png_structp png, void (*step)(State&), State& state) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    step(state);
    return true;
}

}  // namespace pm32
