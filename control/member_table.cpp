#include <algorithm>

#include "control/entries.h"
#include "control/member_row.h"
#include "platform/text_compare.h"

namespace pm32::control {
namespace {

using automation::MemberKind;
namespace e = entries;

ParamInfo in(std::string name, VarType type) {
    return {std::move(name), type, false, false, false};
}
ParamInfo optional(std::string name) {
    return {std::move(name), VarType::Variant, false, true, false};
}
ParamInfo arrayRef(std::string name, VarType type) {
    return {std::move(name), type, true, false, true};
}

constexpr VarType I2 = VarType::I2;
constexpr VarType I4 = VarType::I4;
constexpr VarType R8 = VarType::R8;
constexpr VarType Bool = VarType::Bool;
constexpr VarType Str = VarType::String;
constexpr VarType Obj = VarType::Dispatch;
constexpr VarType None = VarType::Empty;
constexpr std::int32_t kShortMax = 32767;

Variant i2(std::int16_t v) { return Variant::I2(v); }
Variant i4(std::int32_t v) { return Variant::I4(v); }
Variant no() { return Variant::Bool(false); }
Variant text() { return Variant::String({}); }

MemberRow row(DispId id, std::string_view name, MemberGroup group, std::string_view description,
              MemberRow fields) {
    fields.id = id;
    fields.name = name;
    fields.group = group;
    fields.description = description;
    return fields;
}

std::vector<MemberRow> buildTable() {
    return {
#define PICBUF_MEMBER(name, id, group, description, ...) \
    row(id, #name, MemberGroup::group, description, MemberRow(__VA_ARGS__)),
#include "control/member_rows.def"
    };
}

std::vector<DispId> persistedInOrder(bool stock) {
    std::vector<const MemberRow*> rows;
    for (const MemberRow& m : MemberTable())
        if (m.persisted() && m.stock() == stock) rows.push_back(&m);
    std::ranges::sort(rows, {}, &MemberRow::persistAt);
    std::vector<DispId> order;
    for (const MemberRow* m : rows) order.push_back(m->id);
    return order;
}

}  // namespace

const std::vector<MemberRow>& MemberTable() {
    static const std::vector<MemberRow> table = buildTable();
    return table;
}

const MemberRow* FindMember(DispId id) {
    for (const MemberRow& m : MemberTable())
        if (m.id == id) return &m;
    return nullptr;
}

const MemberRow* FindMember(std::string_view name) {
    for (const MemberRow& m : MemberTable())
        if (platform::EqualsIgnoringCase(m.name, name)) return &m;
    return nullptr;
}

const std::vector<EventRow>& EventTable() {
    static const std::vector<EventRow> events = {
#define PICBUF_EVENT(name, id, ...) {id, #name, __VA_ARGS__},
#include "control/member_rows.def"
    };
    return events;
}

const std::vector<DispId>& StockPersistenceOrder() {
    static const std::vector<DispId> order = persistedInOrder(true);
    return order;
}

const std::vector<DispId>& PersistenceOrder() {
    static const std::vector<DispId> order = persistedInOrder(false);
    return order;
}

std::string_view GroupName(MemberGroup group) {
    static constexpr std::string_view names[] = {
        "file", "colour", "filters", "geometry", "drawing", "view", "regions", "exchange", "state"};
    return names[static_cast<int>(group)];
}

}  // namespace pm32::control
