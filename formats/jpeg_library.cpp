#include "formats/jpeg_library.h"

namespace pm32 {
namespace {

[[noreturn]] void jumpBack(j_common_ptr info) {
    // The manager is the first member of JpegErrors, so the two share an address.
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void discardMessage(j_common_ptr /*info*/) {}

}  // namespace

JpegErrors::JpegErrors() : manager{}, jump{} {
    jpeg_std_error(&manager);
    manager.error_exit = jumpBack;
    manager.output_message = discardMessage;
}

JpegDecompressor::JpegDecompressor(JpegErrors& errors) { info_.err = &errors.manager; }

// Harmless on an object whose creation never ran or failed: libjpeg frees
// only what its memory manager holds.
JpegDecompressor::~JpegDecompressor() { jpeg_destroy_decompress(&info_); }

JpegCompressor::JpegCompressor(JpegErrors& errors) { info_.err = &errors.manager; }

JpegCompressor::~JpegCompressor() { jpeg_destroy_compress(&info_); }

}  // namespace pm32
