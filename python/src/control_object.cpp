#include "control_object.h"

#include <strings.h>

#include <algorithm>
#include <utility>

#include "errors.h"
#include "values.h"

namespace pixmill {
namespace py = pybind11;
namespace {

using pm32::automation::MemberInfo;

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

[[noreturn]] void ThrowUnknownName(std::string_view name) {
    throw pm32::AutomationError(pm32::automation::DISP_E_UNKNOWNNAME,
                                "Unknown name: " + std::string(name));
}

}  // namespace

ControlObject::ControlObject(std::string_view progId, bool design)
    : control_(std::in_place, progId, design ? pm32::ControlMode::Design : pm32::ControlMode::Run),
      object_(control_->object().toDispatch()) {}

ControlObject::ControlObject(pm32::automation::DispatchPtr object) : object_(std::move(object)) {}

// The control may outlive this wrapper (another control can hold its object
// value), so its events must stop reaching it first.
ControlObject::~ControlObject() {
    if (control_) control_->onEvent({});
}

const MemberInfo* ControlObject::Member(std::string_view name) const {
    const std::optional<pm32::DispId> id = object_->GetIdOfName(name);
    return id ? TypeInfo().find(*id) : nullptr;
}

const MemberInfo& ControlObject::RequireMember(std::string_view name) const {
    const MemberInfo* member = Member(name);
    if (member == nullptr) ThrowUnknownName(name);
    return *member;
}

std::vector<pm32::Variant> ControlObject::Arguments(const MemberInfo& member,
                                                    const py::sequence& args) const {
    if (args.size() > member.params.size())
        throw pm32::AutomationError(
            pm32::automation::DISP_E_BADPARAMCOUNT,
            member.name + " takes " + std::to_string(member.params.size()) + " arguments");
    std::vector<pm32::Variant> values;
    values.reserve(member.params.size());
    for (std::size_t i = 0; i < member.params.size(); ++i) {
        const pm32::automation::ParamInfo& param = member.params[i];
        if (i >= args.size())
            values.push_back(pm32::Variant::Missing());
        else if (param.array && !py::isinstance<Missing>(args[i]) && !args[i].is_none())
            values.push_back(pm32::Variant::Array(ToArray(args[i], param.type)));
        else
            values.push_back(ToVariant(args[i], param.type));
    }
    return values;
}

py::object ControlObject::Get(std::string_view name, const py::sequence& index) {
    const MemberInfo& member = RequireMember(name);
    std::vector<pm32::Variant> args = Arguments(member, index);
    return FromVariant(Invoke(member.id, pm32::InvokeKind::PropertyGet, args));
}

void ControlObject::Put(std::string_view name, py::handle value, const py::sequence& index) {
    const MemberInfo& member = RequireMember(name);
    std::vector<pm32::Variant> args = Arguments(member, index);
    args.push_back(ToVariant(value, member.type));
    Invoke(member.id, pm32::InvokeKind::PropertyPut, args);
}

py::object ControlObject::Call(std::string_view name, const py::sequence& args) {
    const MemberInfo& member = RequireMember(name);
    std::vector<pm32::Variant> values = Arguments(member, args);
    py::object result = FromVariant(Invoke(member.id, pm32::InvokeKind::Method, values));
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (member.params[i].array && py::isinstance<py::list>(args[i]) && values[i].isArray())
            if (PySequence_SetSlice(args[i].ptr(), 0, PY_SSIZE_T_MAX,
                                    FromVariant(values[i]).ptr()) != 0)
                throw py::error_already_set();
    }
    return result;
}

pm32::Variant ControlObject::Invoke(pm32::DispId id, pm32::InvokeKind kind,
                                    std::span<pm32::Variant> args) {
    std::optional<pm32::Variant> result;
    // A handler's failure is what went wrong first, whatever the member made of it.
    try {
        result = object_->Invoke(id, kind, args);
    } catch (...) {
        if (!handlerError_) throw;
    }
    if (handlerError_) {
        py::error_already_set error = std::move(*handlerError_);
        handlerError_.reset();
        throw error;
    }
    return std::move(*result);
}

void ControlObject::On(std::string_view event, py::object handler) {
    if (!control_) throw py::type_error(TypeInfo().name + " objects fire no events");
    const std::vector<MemberInfo>& events = TypeInfo().events;
    auto found = std::find_if(events.begin(), events.end(),
                              [&](const MemberInfo& row) { return SameName(row.name, event); });
    if (found == events.end())
        throw py::value_error(TypeInfo().name + " has no event " + std::string(event));
    if (handler.is_none())
        handlers_.erase(found->name);
    else
        handlers_.insert_or_assign(found->name, std::move(handler));
    if (handlers_.empty()) {
        control_->onEvent({});
        return;
    }
    control_->onEvent([this](pm32::DispId, std::string_view name, std::span<pm32::Variant> args) {
        Deliver(name, args);
    });
}

void ControlObject::Deliver(std::string_view event, std::span<pm32::Variant> args) {
    auto handler = handlers_.find(event);
    const auto& events = TypeInfo().events;
    auto row = std::find_if(events.begin(), events.end(),
                            [&](const MemberInfo& info) { return info.name == event; });
    if (handler == handlers_.end() || row == events.end() || handlerError_) return;
    py::gil_scoped_acquire gil;
    // The control goes on after its event; what went wrong in Python waits for
    // the member's call to end.
    try {
        RunHandler(handler->second, *row, args);
    } catch (py::error_already_set& error) {
        handlerError_.emplace(std::move(error));
    } catch (py::builtin_exception& error) {
        error.set_error();
        KeepFirstError();
    } catch (const pm32::AutomationError& error) {
        SetPythonError(error);
        KeepFirstError();
    } catch (const std::exception& error) {
        PyErr_SetString(PyExc_RuntimeError, error.what());
        KeepFirstError();
    }
}

// A handler's result is written to the event's by-reference arguments: the
// value itself for one, a sequence in their order for several.
void ControlObject::RunHandler(const py::object& handler, const MemberInfo& event,
                               std::span<pm32::Variant> args) {
    py::tuple values(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) values[i] = FromVariant(args[i].value());
    py::object result = handler(*values);
    if (result.is_none()) return;
    std::vector<std::size_t> byRef;
    for (std::size_t i = 0; i < event.params.size() && i < args.size(); ++i)
        if (event.params[i].byRef) byRef.push_back(i);
    if (byRef.empty()) return;
    if (byRef.size() == 1) {
        args[byRef[0]].assign(ToVariant(result, event.params[byRef[0]].type));
        return;
    }
    py::sequence written = result.cast<py::sequence>();
    if (written.size() != byRef.size())
        throw py::value_error(event.name + " handlers return " + std::to_string(byRef.size()) +
                              " values");
    for (std::size_t i = 0; i < byRef.size(); ++i)
        args[byRef[i]].assign(ToVariant(written[i], event.params[byRef[i]].type));
}

int ControlObject::VisitHandlers(visitproc visit, void* arg) const {
    for (const auto& [event, handler] : handlers_) Py_VISIT(handler.ptr());
    return 0;
}

void ControlObject::DropHandlers() {
    if (control_) control_->onEvent({});
    handlers_.clear();
}

void ControlObject::KeepFirstError() { handlerError_.emplace(); }

}  // namespace pixmill
