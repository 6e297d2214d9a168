#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control/auto_load.h"
#include "control/control_site.h"
#include "control/control_window.h"
#include "control/data_binding.h"
#include "control/dib_holder.h"
#include "control/font.h"
#include "control/member_row.h"
#include "control/picture.h"
#include "control/region_record.h"
#include "control/rubber_band.h"
#include "control/zpal.h"
#include "control/zview.h"
#include "platform/automation/dispatch.h"
#include "platform/automation/property_bag.h"

namespace pm32::control {

// The Picbuf control: one image and palette behind a table-driven automation
// interface. Every entry runs in one error scope: a raised error number is
// stored in ErrorNumber and thrown to the caller as an AutomationError.
class ZPm32 : public automation::Dispatch,
              public automation::PersistPropertyBag,
              public std::enable_shared_from_this<ZPm32> {
  public:
    // The site must outlive the control; it may be null for a control that
    // is not placed anywhere (design time, no window, no events).
    explicit ZPm32(ControlSite* site);
    ~ZPm32() override;
    ZPm32(const ZPm32&) = delete;
    ZPm32& operator=(const ZPm32&) = delete;

    std::optional<DispId> GetIdOfName(std::string_view name) const override;
    Variant Invoke(DispId id, automation::InvokeKind kind, std::span<Variant> args) override;
    const automation::TypeInfo& GetTypeInfo() const override;

    bool RunTime() const;
    ControlSite* Site() const { return site_; }

    // Values of stored properties.
    const Variant& Stored(DispId id) const;
    void Store(DispId id, Variant value);
    std::int16_t I2(DispId id) const { return Stored(id).toI2(); }
    std::int32_t I4(DispId id) const { return Stored(id).toI4(); }
    bool Bool(DispId id) const { return Stored(id).toBool(); }
    std::string String(DispId id) const { return Stored(id).toString(); }

    const ZDibHolder* Image() const { return image_.get(); }
    const ZPal* Palette() const { return palette_.get(); }
    // 0 empty, 1 image, 2 palette only.
    int Contents() const;
    std::uint32_t ImageId() const { return imageId_; }
    std::uint32_t PaletteId() const { return paletteId_; }

    // Replaces the image (0 clears it) and fires Palette and Change; the old
    // image stays when anything fails. With owns set the control frees the
    // block later; without, it stays the caller's. The palette is built from
    // the image's colour table, or is a copy of the given palette (whose
    // entry flags it keeps).
    void InstallImage(HGLOBAL handle, bool owns, HPALETTE palette = 0);

    // Replaces whatever the control holds by the colour table of a
    // palette-only DIB, as a palette alone; the block stays the caller's.
    void InstallPaletteOnly(HGLOBAL paletteOnlyDib);

    // Gives the control a copy of the palette: alone, or as the colour table
    // of its image.
    void AdoptPalette(HPALETTE palette);

    // Gives up ownership of the image block; false when the control does not own it.
    bool ReleaseImageOwnership();

    void Fire(DispId id, std::string_view name, std::span<Variant> args = {});
    // Fires Callback with Lines = rows; false when the handler set Lines to 0.
    bool FireCallback(int rows);

    // Whether WinG has given the control an identity palette.
    bool SystemColorsAdded() const { return systemColorsAdded_; }
    void MarkSystemColorsAdded() { systemColorsAdded_ = true; }

    std::int32_t ErrorNumber() const { return errorNumber_; }
    void SetErrorNumber(std::int32_t value) { errorNumber_ = value; }
    // Records a failure that has no automation caller to raise it to, such as
    // a paint.
    void ReportError(pm32::ErrorNumber n) { errorNumber_ = n; }

    // The window the control shows in: null when the site gives it none, and
    // after the window told the control it is going.
    platform::WindowHost* Host() const { return host_; }
    ZView& View() { return view_; }
    // The image's pixels or colour table changed in place; the view shows
    // them afresh.
    void ImageChanged();
    void WindowDestroyed();
    // BorderStyle, Appearance or Enabled changed: the window takes the frame
    // they ask for, and a disabled control lets go of the mouse.
    void LookChanged();
    bool InputEnabled() const;

    // The font object text is drawn with: always the same object, so a change
    // made through it is the control's; changes notify as a property put does.
    const std::shared_ptr<Font>& FontObject() const { return font_.Object(); }

    // Never null: an empty picture when the control has no mouse icon.
    const std::shared_ptr<Picture>& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(std::shared_ptr<Picture> icon) { mouseIcon_ = std::move(icon); }

    // The region list; region number n is entry n - 1.
    std::vector<RegionRecord>& Regions() { return regions_; }
    RubberBandTracker* Tracker() { return tracker_.get(); }
    // Replaces the rubber-band tracker with a new one on the control's window.
    void StartTracker(const RubberBandTracker::Settings& settings);

    // The image shown while the control is designed (AutoLoad).
    DesignImageCache& DesignImage() { return designImage_; }
    const DesignImageCache& DesignImage() const { return designImage_; }

    // The binding to a data source's column (DataSource, DataField).
    DataBinding& Binding() { return binding_; }

    bool Modified() const { return modified_; }
    void SetModified() { modified_ = true; }

    // The persisted properties as "Name=value" lines, and back; a value that
    // is missing or refused takes its default. With AutoLoad 2 the image the
    // form carries follows them; loading ends with the auto-load.
    std::string SaveProperties() const override;
    void LoadProperties(std::string_view bag) override;

  private:
    Variant getProperty(const MemberRow& member, std::span<Variant> args);
    void putProperty(const MemberRow& member, std::span<Variant> args);
    Variant callMethod(const MemberRow& member, std::span<Variant> args);
    void setHolders(std::unique_ptr<ZDibHolder> image, std::unique_ptr<ZPal> palette);
    void fontChanged();

    ControlSite* site_;
    std::map<DispId, Variant> values_;
    std::unique_ptr<ZDibHolder> image_;
    std::unique_ptr<ZPal> palette_;
    std::uint32_t imageId_ = 0;
    std::uint32_t paletteId_ = 0;
    std::int32_t errorNumber_ = 0;
    bool modified_ = false;
    platform::WindowHost* host_ = nullptr;
    ZView view_{*this};
    ControlWindow window_{*this};
    std::shared_ptr<Picture> mouseIcon_ = std::make_shared<Picture>();
    FontHolder font_{[this] { fontChanged(); }};
    std::vector<RegionRecord> regions_;
    DesignImageCache designImage_;
    // The image a loaded form carried (AutoLoad 2), kept so that saving the
    // form again keeps it even when its file is gone.
    std::string embeddedText_;
    // Last, so that it goes first: it may still write the image back.
    DataBinding binding_{*this};
    std::unique_ptr<RubberBandTracker> tracker_;
    bool systemColorsAdded_ = false;
};

// Raises n for the control's entry to report.
[[noreturn]] inline void Raise(pm32::ErrorNumber n) { throw RaisedError{n}; }

}  // namespace pm32::control
