#include "control/zpm32.h"

#include <cstring>
#include <new>

#include "control/dispids.h"
#include "control/holder_registry.h"
#include "control/type_description.h"
#include "engine/dib_layout.h"
#include "engine/string_table.h"

namespace pm32::control {
namespace {

using automation::AutomationError;
using automation::InvokeKind;

constexpr const char* kSource = "Picbuf";

[[noreturn]] void throwGetNotSupported() {
    throw AutomationError(automation::ControlScode(automation::CTL_E_GETNOTSUPPORTED),
                          "Property is write-only.", kSource);
}

[[noreturn]] void throwSetNotSupported() {
    throw AutomationError(automation::ControlScode(automation::CTL_E_SETNOTSUPPORTED),
                          "Property is read-only.", kSource);
}

// Fills omitted optional arguments and checks the count against the parameters.
std::vector<Variant> completeArguments(const std::vector<ParamInfo>& params,
                                       std::span<Variant> args) {
    if (args.size() > params.size())
        throw AutomationError(automation::DISP_E_BADPARAMCOUNT, "Wrong number of arguments",
                              kSource);
    std::vector<Variant> complete;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const ParamInfo& param = params[i];
        bool given = i < args.size() && !args[i].isMissing();
        if (!given) {
            if (!param.optional)
                throw AutomationError(automation::DISP_E_PARAMNOTOPTIONAL,
                                      "Argument not optional: " + param.name, kSource);
            complete.push_back(Variant::Missing());
            continue;
        }
        // Arrays and by-reference arguments stay references for the handler to write.
        if (param.byRef || param.array || param.type == VarType::Variant)
            complete.push_back(args[i]);
        else
            complete.push_back(args[i].coerced(param.type));
    }
    return complete;
}

}  // namespace

ZPm32::ZPm32(ControlSite* site) : site_(site) {
    for (const MemberRow& member : MemberTable())
        if (member.stored) values_[member.id] = member.initial;
    host_ = site_ != nullptr ? site_->Host() : nullptr;
    if (host_ != nullptr) host_->SetClient(&window_);
    LookChanged();
}

ZPm32::~ZPm32() {
    if (host_ != nullptr) {
        if (tracker_ && tracker_->Captured()) host_->ReleaseCapture();
        host_->SetClient(nullptr);
    }
    setHolders(nullptr, nullptr);
}

void ZPm32::LookChanged() {
    if (host_ == nullptr) return;
    host_->SetFrame(
        {.singleLine = I2(dispid::BorderStyle) == 1, .sunkenEdge = I2(dispid::Appearance) == 1});
    if (InputEnabled()) return;
    // A rubber band ends as if its button went up; held buttons are forgotten.
    if (tracker_ && tracker_->Captured()) tracker_->OnLeftButtonUp();
    window_.DropInput();
}

bool ZPm32::InputEnabled() const { return Bool(dispid::Enabled); }

bool ZPm32::RunTime() const { return site_ != nullptr && site_->UserMode(); }

std::optional<DispId> ZPm32::GetIdOfName(std::string_view name) const {
    const MemberRow* member = FindMember(name);
    if (member == nullptr) return std::nullopt;
    return member->id;
}

const automation::TypeInfo& ZPm32::GetTypeInfo() const { return PicbufTypeInfo(); }

const Variant& ZPm32::Stored(DispId id) const { return values_.at(id); }

void ZPm32::Store(DispId id, Variant value) { values_[id] = std::move(value); }

int ZPm32::Contents() const {
    if (image_) return 1;
    return palette_ ? 2 : 0;
}

Variant ZPm32::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
    const MemberRow* member = FindMember(id);
    if (member == nullptr)
        throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Member not found", kSource);
    try {
        if (member->kind == MemberKind::Method) {
            if (kind == InvokeKind::PropertyPut) {
                // A measuring method read like a property refuses assignment by number.
                if (member->accessError != 0) Raise(member->accessError);
                throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Member not found",
                                      kSource);
            }
            return callMethod(*member, args);
        }
        if (kind == InvokeKind::PropertyPut) {
            putProperty(*member, args);
            return {};
        }
        return getProperty(*member, args);
    } catch (const RaisedError& raised) {
        errorNumber_ = raised.number;
        auto message = LoadResourceString(raised.number);
        throw AutomationError(automation::ControlScode(raised.number),
                              message ? std::string(*message) : std::string(), kSource);
    } catch (const std::bad_alloc&) {
        errorNumber_ = err::ControlOutOfMemory;
        throw AutomationError(automation::ControlScode(err::ControlOutOfMemory),
                              std::string(*LoadResourceString(err::ControlOutOfMemory)), kSource);
    }
}

Variant ZPm32::getProperty(const MemberRow& member, std::span<Variant> args) {
    switch (member.get) {
        case GetRule::Always:
            break;
        case GetRule::RunTimeOnly:
            if (!RunTime()) throwGetNotSupported();
            break;
        case GetRule::WriteOnly:
            if (!RunTime()) throwGetNotSupported();
            Raise(member.accessError);
        case GetRule::None:
            throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Member not found", kSource);
    }
    std::vector<Variant> index = completeArguments(member.params, args);
    if (member.getter != nullptr) return member.getter(*this, index);
    if (member.stored) return values_.at(member.id);
    automation::ThrowNotImplemented(std::string(member.name));
}

void ZPm32::putProperty(const MemberRow& member, std::span<Variant> args) {
    if (args.empty())
        throw AutomationError(automation::DISP_E_BADPARAMCOUNT, "Wrong number of arguments",
                              kSource);
    switch (member.set) {
        case SetRule::Always:
            break;
        case SetRule::RunTimeOnly:
            if (!RunTime()) throwGetNotSupported();
            break;
        case SetRule::ReadOnly:
            throwSetNotSupported();
        case SetRule::Refused:
            Raise(member.accessError);
        case SetRule::Ignored:
            return;
        case SetRule::DesignTimeOnly:
            if (RunTime()) Raise(member.accessError);
            break;
    }
    std::vector<Variant> index = completeArguments(member.params, args.first(args.size() - 1));
    Variant value =
        member.type == VarType::Unknown ? args.back().value() : args.back().coerced(member.type);
    if (member.range) {
        std::int32_t number = value.toI4();
        bool accepted = (number >= member.range->min && number <= member.range->max) ||
                        number == member.range->alsoAllowed;
        if (!accepted) Raise(member.range->error);
    }
    if (member.check != nullptr) member.check(*this, value);
    if (member.setter != nullptr) {
        member.setter(*this, index, value);
    } else if (member.stored) {
        values_[member.id] = value;
        if (member.notifies && site_ != nullptr) site_->OnPropertyChanged(member.id);
        modified_ = true;
    } else {
        automation::ThrowNotImplemented(std::string(member.name));
    }
    if (member.afterSet != nullptr) member.afterSet(*this, value);
}

Variant ZPm32::callMethod(const MemberRow& member, std::span<Variant> args) {
    std::vector<Variant> complete = completeArguments(member.params, args);
    if (member.method == nullptr) automation::ThrowNotImplemented(std::string(member.name));
    return member.method(*this, complete);
}

void ZPm32::setHolders(std::unique_ptr<ZDibHolder> image, std::unique_ptr<ZPal> palette) {
    if (imageId_ != 0) UnregisterHolder(imageId_);
    if (paletteId_ != 0) UnregisterHolder(paletteId_);
    image_ = std::move(image);
    palette_ = std::move(palette);
    imageId_ = image_ ? RegisterDibHolder(image_.get()) : 0;
    paletteId_ = palette_ ? RegisterPalHolder(palette_.get()) : 0;
}

void ZPm32::InstallImage(HGLOBAL handle, bool owns, HPALETTE source) {
    if (handle == 0) {
        setHolders(nullptr, nullptr);
        ImageChanged();
        Fire(eventid::Change, "Change");
        return;
    }
    std::unique_ptr<ZDibHolder> image;
    std::unique_ptr<ZPal> palette;
    try {
        image = std::make_unique<ZDibHolder>();
        palette = std::make_unique<ZPal>();
    } catch (const std::bad_alloc&) {
        Raise(err::ControlOutOfMemory);
    }
    // Re-installing the block already held keeps whichever ownership either side
    // had, and nothing may free it on the way.
    bool same = image_ && image_->handle == handle;
    bool keepOwns = same ? owns || image_->owns : owns;
    image->Attach(handle, same ? false : owns);
    if (source != 0)
        palette->FromPalette(source, false);
    else
        palette->FromImage(*image);
    if (palette->entryCount() == 0) palette.reset();
    if (same) {
        image_->owns = false;
        image->owns = keepOwns;
    }
    std::uint32_t depth = image->depth;
    setHolders(std::move(image), std::move(palette));
    ImageChanged();
    if (depth > 1 && depth < 24) Fire(eventid::Palette, "Palette");
    Fire(eventid::Change, "Change");
}

void ZPm32::InstallPaletteOnly(HGLOBAL paletteOnlyDib) {
    ZDibHolder table;
    table.Attach(paletteOnlyDib, false);
    auto palette = std::make_unique<ZPal>();
    palette->FromImage(table);
    if (palette->entryCount() == 0) Raise(err::BadFile);
    setHolders(nullptr, std::move(palette));
    ImageChanged();
    Fire(eventid::Palette, "Palette");
}

void ZPm32::AdoptPalette(HPALETTE source) {
    if (!image_) {
        auto palette = std::make_unique<ZPal>();
        palette->FromPalette(source, false);
        setHolders(nullptr, std::move(palette));
        return;
    }
    if (image_->depth == 24) Raise(err::BadDepth);
    unsigned count = platform::GetPaletteEntryCount(source);
    if (count == 0) Raise(err::InvalidPalette);
    if (count < 2 || count > (1u << image_->depth)) Raise(err::PaletteDepthMismatch);
    auto palette = std::make_unique<ZPal>();
    palette->FromPalette(source, false);
    std::vector<PALETTEENTRY> entries(count);
    platform::GetPaletteEntries(source, 0, entries);
    {
        platform::Locked block(image_->handle);
        if (!block) Raise(err::LockFailed);
        std::size_t room =
            block.size() > dib::kHeaderSize ? (block.size() - dib::kHeaderSize) / 4 : 0;
        std::uint8_t* table = block.data() + dib::kHeaderSize;
        for (std::size_t i = 0; i < count && i < room; ++i) {
            table[4 * i] = entries[i].peBlue;
            table[4 * i + 1] = entries[i].peGreen;
            table[4 * i + 2] = entries[i].peRed;
            table[4 * i + 3] = 0;
        }
    }
    setHolders(std::move(image_), std::move(palette));
    ImageChanged();
    if (image_->depth > 1) Fire(eventid::Palette, "Palette");
}

void ZPm32::fontChanged() {
    if (site_ != nullptr) site_->OnPropertyChanged(dispid::Font);
    modified_ = true;
    if (host_ != nullptr) host_->Invalidate();
}

void ZPm32::ImageChanged() {
    view_.ImageChanged();
    view_.Refresh();
}

void ZPm32::WindowDestroyed() {
    view_.OnDestroy();
    if (tracker_) tracker_->OnWindowDestroyed();
    host_ = nullptr;
}

void ZPm32::StartTracker(const RubberBandTracker::Settings& settings) {
    tracker_ = std::make_unique<RubberBandTracker>(settings, host_);
}

bool ZPm32::ReleaseImageOwnership() {
    if (!image_ || !image_->owns) return false;
    image_->owns = false;
    return true;
}

void ZPm32::Fire(DispId id, std::string_view name, std::span<Variant> args) {
    if (id == eventid::Change) binding_.ImageChanged();
    if (site_ == nullptr || site_->Events() == nullptr) return;
    site_->Events()->OnEvent(id, name, args);
}

bool ZPm32::FireCallback(int rows) {
    Variant lines = Variant::I2(static_cast<std::int16_t>(rows));
    Variant argument = Variant::Ref(&lines);
    Fire(eventid::Callback, "Callback", std::span(&argument, 1));
    return lines.toI4() != 0;
}

}  // namespace pm32::control
