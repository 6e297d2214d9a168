#include "control/data_source.h"

#include <algorithm>

#include "control/identity.h"
#include "control/module_exports.h"
#include "platform/automation/automation_error.h"

namespace pm32::control {
namespace {

using automation::AutomationError;
using automation::InvokeKind;
using automation::MemberInfo;
using automation::MemberKind;
using automation::Variant;
using automation::VarType;

constexpr const char* kSource = "Pixmill32.DataSource";

enum Member : automation::DispId {
    kDatabaseName = 1,
    kRecordSource,
    kRefresh,
    kMoveFirst,
    kMoveNext,
    kMovePrevious,
    kMoveLast,
    kRecordCount,
    kAbsolutePosition,
    kEof,
    kBof,
    kUpdateRecord,
};

[[noreturn]] void fail(const std::string& text) { throw AutomationError(E_FAIL, text, kSource); }

MemberInfo property(Member id, const char* name, VarType type, bool writable, const char* help) {
    MemberInfo info;
    info.id = id;
    info.name = name;
    info.kind = MemberKind::Property;
    info.type = type;
    info.readable = true;
    info.writable = writable;
    info.help = help;
    return info;
}

MemberInfo method(Member id, const char* name, const char* help) {
    MemberInfo info;
    info.id = id;
    info.name = name;
    info.help = help;
    return info;
}

automation::TypeInfo describe() {
    automation::TypeInfo info;
    info.name = "DataSource";
    info.progId = std::string(kDataSourceProgId);
    info.classId = std::string(kDataSourceClassId);
    info.members = {
        property(kDatabaseName, "DatabaseName", VarType::String, true,
                 "sqlite:PATH or postgresql://user@host:port/database?host=SOCKET_FOLDER"),
        property(kRecordSource, "RecordSource", VarType::String, true,
                 "A table name or a SELECT statement; setting it opens the rows"),
        method(kRefresh, "Refresh", "Opens the database and the record source afresh"),
        method(kMoveFirst, "MoveFirst", "Makes the first row current"),
        method(kMoveNext, "MoveNext", "Makes the next row current; past the last: EOF"),
        method(kMovePrevious, "MovePrevious", "Makes the row before current; past the first: BOF"),
        method(kMoveLast, "MoveLast", "Makes the last row current"),
        property(kRecordCount, "RecordCount", VarType::I4, false, "The number of rows"),
        property(kAbsolutePosition, "AbsolutePosition", VarType::I4, true,
                 "The current row from 0; -1 when there is none"),
        property(kEof, "EOF", VarType::Bool, false, "TRUE past the last row"),
        property(kBof, "BOF", VarType::Bool, false, "TRUE before the first row"),
        method(kUpdateRecord, "UpdateRecord",
               "Writes back the images bound controls changed on the current row"),
    };
    return info;
}

const automation::TypeInfo& typeInfo() {
    static const automation::TypeInfo info = describe();
    return info;
}

}  // namespace

DataSource::~DataSource() = default;

std::optional<automation::DispId> DataSource::GetIdOfName(std::string_view name) const {
    return automation::IdOfMember(typeInfo(), name);
}

const automation::TypeInfo& DataSource::GetTypeInfo() const { return typeInfo(); }

Variant DataSource::Invoke(automation::DispId id, InvokeKind kind, std::span<Variant> args) {
    const MemberInfo* member = typeInfo().find(id);
    if (member == nullptr)
        throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Member not found", kSource);
    const bool isMethod = member->kind == MemberKind::Method;
    if (isMethod != (kind == InvokeKind::Method) ||
        (kind == InvokeKind::PropertyPut && !member->writable))
        throw AutomationError(automation::DISP_E_MEMBERNOTFOUND, "Member not found", kSource);
    if (kind == InvokeKind::PropertyPut && args.size() != 1)
        throw AutomationError(automation::DISP_E_BADPARAMCOUNT, "Wrong number of arguments",
                              kSource);
    const bool put = kind == InvokeKind::PropertyPut;
    switch (id) {
        case kDatabaseName:
            if (!put) return Variant::String(databaseName_);
            setDatabaseName(args[0].coerced(VarType::String).toString());
            return {};
        case kRecordSource:
            if (!put) return Variant::String(recordSource_);
            recordSource_ = args[0].coerced(VarType::String).toString();
            Refresh();
            return {};
        case kRefresh:
            Refresh();
            return {};
        case kMoveFirst:
        case kMoveLast:
            if (count() == 0) fail("there is no current row: the record source has no rows");
            MoveTo(id == kMoveFirst ? 0 : count() - 1);
            return {};
        case kMoveNext:
            if (!records_ || position_ >= count()) fail("there is no next row: EOF is TRUE");
            MoveTo(position_ + 1);
            return {};
        case kMovePrevious:
            if (!records_ || position_ < 0) fail("there is no previous row: BOF is TRUE");
            MoveTo(position_ - 1);
            return {};
        case kUpdateRecord:
            syncBefore();
            return {};
        case kRecordCount:
            return Variant::I4(count());
        case kAbsolutePosition: {
            if (!put) return Variant::I4(OnRow() ? position_ : -1);
            const std::int32_t row = args[0].coerced(VarType::I4).toI4();
            if (row < 0 || row >= count())
                fail("there is no row " + std::to_string(row) + " (rows 0 to " +
                     std::to_string(count() - 1) + ")");
            MoveTo(row);
            return {};
        }
        case kEof:
            return Variant::Bool(count() == 0 || position_ >= count());
        default:
            return Variant::Bool(count() == 0 || position_ < 0);
    }
}

// A listener may bind elsewhere while it hears the news: the list is copied first.
void DataSource::syncBefore() {
    for (RowListener* listener : std::vector(listeners_)) listener->SyncBefore();
}

void DataSource::syncAfter() {
    for (RowListener* listener : std::vector(listeners_)) listener->SyncAfter();
}

void DataSource::Attach(RowListener* listener) { listeners_.push_back(listener); }

void DataSource::Detach(RowListener* listener) { std::erase(listeners_, listener); }

std::vector<std::string> DataSource::BlobColumns() const {
    return records_ ? records_->BlobColumns() : std::vector<std::string>{};
}

std::optional<QByteArray> DataSource::Value(const std::string& column) const {
    std::string problem;
    std::optional<QByteArray> value = records_->Value(position_, column, problem);
    if (!problem.empty()) fail(problem);
    return value;
}

void DataSource::Write(const std::string& column, const QByteArray& bytes) const {
    std::string problem;
    if (!OnRow() || !records_->Write(position_, column, bytes, problem)) fail(problem);
}

void DataSource::setDatabaseName(std::string name) {
    syncBefore();
    records_.reset();
    connection_.reset();
    position_ = -1;
    databaseName_ = std::move(name);
    syncAfter();
}

void DataSource::Refresh() {
    syncBefore();
    records_.reset();
    position_ = -1;
    std::string problem;
    if (!connection_) connection_ = SqlConnection::Open(databaseName_, problem);
    if (connection_ && !recordSource_.empty())
        records_ = RecordSet::Open(*connection_, recordSource_, problem);
    if (records_ && records_->Count() > 0) position_ = 0;
    syncAfter();
    if (!problem.empty()) fail(problem);
}

void DataSource::MoveTo(int position) {
    syncBefore();
    position_ = position;
    syncAfter();
}

}  // namespace pm32::control
