#include "formats/png_library.h"

namespace pm32 {
namespace {

[[noreturn]] void failSilently(png_structp png, png_const_charp /*message*/) {
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

}  // namespace

PngReadState::PngReadState()
    : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failSilently, ignoreWarning)),
      info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr) {}

PngReadState::~PngReadState() {
    png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
}

PngWriteState::PngWriteState()
    : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failSilently, ignoreWarning)),
      info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr) {}

PngWriteState::~PngWriteState() {
    png_destroy_write_struct(&png_, info_ != nullptr ? &info_ : nullptr);
}

}  // namespace pm32
