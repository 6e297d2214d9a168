#pragma once

#include <QImage>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class QClipboard;

namespace pm32::platform {

// The flavour under which the packed DIB travels between our own controls:
// header, colour table and rows exactly as the control holds them.
inline constexpr std::string_view kPackedDibMimeType = "application/x-pixmill32-dib";

// The system clipboard for the span of one exchange. Opening makes the GUI
// application when there is none yet, on the offscreen platform without a
// display.
class ClipboardSession {
  public:
    ClipboardSession();
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;

    // False when the process has no clipboard to open.
    bool IsOpen() const { return clipboard_ != nullptr; }

    void Empty();

    // Publishes the packed DIB, and the picture as the standard image flavour
    // other programs read. False when either is empty.
    bool SetDib(std::span<const std::uint8_t> packedDib, const QImage& picture);

    // The packed DIB on the clipboard: our own flavour as it was published,
    // else a standard image put there by another program, converted. Nothing
    // when the clipboard holds no image.
    std::optional<std::vector<std::uint8_t>> GetDib() const;

  private:
    QClipboard* clipboard_;
};

}  // namespace pm32::platform
