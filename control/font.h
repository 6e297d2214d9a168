#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "control/font_description.h"
#include "platform/automation/dispatch.h"
#include "platform/toolkit_export.h"

namespace pm32::control {

// The framework's "Invalid property value" error.
inline constexpr std::uint32_t kInvalidPropertyValue = 380;

// The standard font object: Name, Size (points), Bold, Italic, Underline,
// Strikethrough, Weight and Charset, reached by late binding. Bold and Weight
// are one setting: Bold is Weight 700 or more, and setting it gives 700 or 400.
// A value out of range is refused with "Invalid property value" (380) and
// leaves the font as it was.
class PM32_TOOLKIT_API Font : public automation::Dispatch {
  public:
    explicit Font(FontDescription description = SystemFontDescription());

    const FontDescription& Description() const { return description_; }
    // Replaces the description and tells the change handler.
    void SetDescription(const FontDescription& description);
    // Replaces the description without telling anyone, as loading does.
    void LoadDescription(const FontDescription& description) { description_ = description; }

    // Called after every change made through the object; the holder of the
    // font sets it and clears it before it goes.
    void SetChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

    std::optional<automation::DispId> GetIdOfName(std::string_view name) const override;
    automation::Variant Invoke(automation::DispId id, automation::InvokeKind kind,
                               std::span<automation::Variant> args) override;
    const automation::TypeInfo& GetTypeInfo() const override;

  private:
    automation::Variant get(automation::DispId id) const;
    void put(automation::DispId id, const automation::Variant& value);

    FontDescription description_;
    std::function<void()> changed_;
};

// Keeps a control's font object and hears of its changes while it holds it.
// The object itself may outlive the holder in a caller's hands; it is then
// cut off from the control.
class FontHolder {
  public:
    explicit FontHolder(std::function<void()> onChanged);
    ~FontHolder();
    FontHolder(const FontHolder&) = delete;
    FontHolder& operator=(const FontHolder&) = delete;

    const std::shared_ptr<Font>& Object() const { return font_; }

  private:
    std::shared_ptr<Font> font_;
};

}  // namespace pm32::control
