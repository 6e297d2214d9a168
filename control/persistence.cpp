#include <cstdio>
#include <map>
#include <optional>

#include "control/auto_load.h"
#include "control/dispids.h"
#include "control/identity.h"
#include "control/zpm32.h"

namespace pm32::control {
namespace {

constexpr std::string_view kVersionKey = "_Version";

bool isColor(DispId id) {
    return id == dispid::FillColor || id == dispid::BackColor || id == dispid::ForeColor;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::string formatted(DispId id, const Variant& value) {
    if (isColor(id)) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value.toI4()));
        return text;
    }
    if (value.type() == VarType::String) return escaped(value.toString());
    return value.toString();
}

Variant parsed(const MemberRow& member, const std::string& text) {
    if (member.type == VarType::String) return Variant::String(unescaped(text));
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) {
        auto number = static_cast<std::int32_t>(std::stoul(text.substr(2), nullptr, 16));
        return Variant::I4(number).coerced(member.type);
    }
    return Variant::String(text).coerced(member.type);
}

std::map<std::string, std::string> readBag(std::string_view bag) {
    std::map<std::string, std::string> values;
    while (!bag.empty()) {
        auto end = bag.find('\n');
        std::string_view line = bag.substr(0, end);
        bag = end == std::string_view::npos ? std::string_view{} : bag.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        values.emplace(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
    }
    return values;
}

// A value from storage that its property would refuse falls back to the default.
bool acceptable(const MemberRow& member, const Variant& value) {
    if (!member.range) return true;
    std::int32_t number = value.toI4();
    return (number >= member.range->min && number <= member.range->max) ||
           number == member.range->alsoAllowed;
}

}  // namespace

std::string ZPm32::SaveProperties() const {
    std::string bag;
    auto write = [&](DispId id) {
        const MemberRow* member = FindMember(id);
        if (member == nullptr) return;
        if (member->save != nullptr)
            bag += std::string(member->name) + "=" + escaped(member->save(*this)) + "\n";
        else if (member->stored)
            bag += std::string(member->name) + "=" + formatted(id, values_.at(id)) + "\n";
    };
    for (DispId id : StockPersistenceOrder()) write(id);
    bag += std::string(kVersionKey) + "=" + std::to_string(kPropertySetVersion) + "\n";
    for (DispId id : PersistenceOrder()) write(id);
    if (I2(dispid::AutoLoad) == 2) {
        std::string embedded = EmbeddedImageText(designImage_.Image());
        if (embedded.empty()) embedded = embeddedText_;
        if (!embedded.empty()) bag += std::string(kEmbeddedImageKey) + "=" + embedded + "\n";
    }
    return bag;
}

void ZPm32::LoadProperties(std::string_view bag) {
    std::map<std::string, std::string> values = readBag(bag);
    auto read = [&](DispId id) {
        const MemberRow* member = FindMember(id);
        if (member == nullptr) return;
        auto it = values.find(std::string(member->name));
        if (member->load != nullptr) {
            std::optional<std::string> text;
            if (it != values.end()) text = unescaped(it->second);
            member->load(*this, text);
            return;
        }
        if (!member->stored) return;
        Variant value = member->initial;
        if (it != values.end()) {
            try {
                Variant candidate = parsed(*member, it->second);
                if (acceptable(*member, candidate)) value = candidate;
            } catch (const std::exception&) {
                // An unreadable value keeps the default.
            }
        }
        values_[id] = value;
    };
    for (DispId id : StockPersistenceOrder()) read(id);
    for (DispId id : PersistenceOrder()) read(id);
    LookChanged();
    modified_ = false;
    const auto embedded = values.find(std::string(kEmbeddedImageKey));
    embeddedText_ =
        embedded == values.end() || I2(dispid::AutoLoad) != 2 ? std::string() : embedded->second;
    if (RunTime()) {
        AutoLoadAtRunTime(*this, embeddedText_);
        return;
    }
    try {
        RefreshDesignImage(*this);
    } catch (const RaisedError& error) {
        ReportError(error.number);
    }
    SizeToDesignImage(*this);
    if (host_ != nullptr) host_->Invalidate();
}

}  // namespace pm32::control
