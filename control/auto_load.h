#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/zdib.h"

namespace pm32::control {

class ZPm32;

// The image a control shows while it is designed, loaded from FileName when
// AutoLoad asks for it, with the name it came from; a saved form carries it
// inside when AutoLoad is 2.
class DesignImageCache {
  public:
    DesignImageCache() = default;
    ~DesignImageCache();
    DesignImageCache(const DesignImageCache&) = delete;
    DesignImageCache& operator=(const DesignImageCache&) = delete;

    HGLOBAL Image() const { return image_; }
    const std::string& Name() const { return name_; }
    void Replace(HGLOBAL image, std::string name);
    void Clear() { Replace(0, {}); }

  private:
    HGLOBAL image_ = 0;
    std::string name_;
};

// After FileName or AutoLoad changed at design time, and after properties
// were loaded at design time: with AutoLoad 1 or 2 and a FileName other than
// the cached one the file is read as Load reads it and becomes the cache;
// otherwise the cache is emptied. A failed read raises its error number and
// keeps the cache and its name.
void RefreshDesignImage(ZPm32& control);

// At design time with AutoSize, AutoLoad 1 and a cached image, the control's
// window takes the image's size.
void SizeToDesignImage(ZPm32& control);

// The name of the saved property that carries the image inside a form.
inline constexpr std::string_view kEmbeddedImageKey = "AutoLoadEmbed";

// The packed DIB as the saved property holds it: base64 of a 32-bit
// little-endian byte count and the bytes. Empty for no image.
std::string EmbeddedImageText(HGLOBAL dib);

// A new DIB from the saved property's text; 0 when the text does not hold a
// whole, valid packed DIB.
HGLOBAL DibOfEmbeddedText(std::string_view text);

// At run time, after the properties were loaded: AutoLoad 1 loads FileName,
// AutoLoad 2 takes the embedded image in as a whole-image transfer; failures
// go to ErrorNumber, since no caller waits for them.
void AutoLoadAtRunTime(ZPm32& control, std::string_view embeddedText);

}  // namespace pm32::control
