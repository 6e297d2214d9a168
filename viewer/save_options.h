#pragma once

#include <QString>
#include <array>
#include <optional>

namespace pm32::viewer {

// One of the seven formats the viewer writes: its extension (lower case,
// with the dot) and the control's format code for it.
struct SaveFormat {
    const char* extension;
    int formatCode;
};

// In the order of the file dialog's format buttons.
const std::array<SaveFormat, 7>& SaveFormats();

// The position of an extension (".JPG", "jpg", ".jpg") among SaveFormats.
std::optional<std::size_t> SaveFormatIndex(const QString& extension);

// The JPEG quality the dialog's quality box stands for: the control writes
// JPEG at qualities 5 (smallest) to 100 (best), so a typed number is clamped
// into that range, and anything that is not a number gives 75.
inline constexpr int kDefaultJpegQuality = 75;
int JpegQualityOfText(const QString& typed);

// How an image is to be stored: the format by extension, the JPEG quality
// and whether JPEG and PNG files are written progressive (interlaced).
struct SaveOptions {
    QString extension = ".gif";
    int jpegQuality = kDefaultJpegQuality;
    bool progressive = false;
};

// The control's ImageFormat, ImageCompression and WriteOption for the
// options: JPEG takes the quality as its compression, every other format
// its plain one (0); the progressive bit reaches JPEG and PNG only.
int FormatCodeOf(const SaveOptions& options);
int ImageCompressionOf(const SaveOptions& options);
int WriteOptionOf(const SaveOptions& options);

}  // namespace pm32::viewer
