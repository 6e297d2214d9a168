#pragma once

#include <pm32.h>
#include <pybind11/pybind11.h>

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pixmill {

// One control, or an object a control handed out (its Font, Picture), driven
// by name through its dispatch interface. Python errors raised by event
// handlers while a member runs come out of that member's call.
class ControlObject {
  public:
    // Makes the control a ProgID names, at run time or design time.
    ControlObject(std::string_view progId, bool design);
    // Wraps an object a member returned; it has no events.
    explicit ControlObject(pm32::automation::DispatchPtr object);
    ~ControlObject();
    ControlObject(const ControlObject&) = delete;
    ControlObject& operator=(const ControlObject&) = delete;

    const pm32::TypeInfo& TypeInfo() const { return object_->GetTypeInfo(); }
    // The member a name means, in any case; null for none.
    const pm32::automation::MemberInfo* Member(std::string_view name) const;
    // Same, but an unknown name throws DISP_E_UNKNOWNNAME.
    const pm32::automation::MemberInfo& RequireMember(std::string_view name) const;

    // Calls by name with Python values. Arguments left off the end of a call
    // go as omitted; lists given for by-reference arrays receive the elements
    // the control wrote.
    pybind11::object Get(std::string_view name, const pybind11::sequence& index);
    void Put(std::string_view name, pybind11::handle value, const pybind11::sequence& index);
    pybind11::object Call(std::string_view name, const pybind11::sequence& args);

    pm32::Variant Invoke(pm32::DispId id, pm32::InvokeKind kind, std::span<pm32::Variant> args);

    // Sets the handler of one event by name; None removes it.
    void On(std::string_view event, pybind11::object handler);

    pm32::Variant ObjectValue() const { return pm32::Variant::Object(object_); }

    // The garbage collector's view of the handlers, which may hold this very
    // object (a handler that reads its control).
    int VisitHandlers(visitproc visit, void* arg) const;
    void DropHandlers();

  private:
    std::vector<pm32::Variant> Arguments(const pm32::automation::MemberInfo& member,
                                         const pybind11::sequence& args) const;
    void Deliver(std::string_view event, std::span<pm32::Variant> args);
    void RunHandler(const pybind11::object& handler, const pm32::automation::MemberInfo& event,
                    std::span<pm32::Variant> args);
    void KeepFirstError();

    std::optional<pm32::Control> control_;
    pm32::automation::DispatchPtr object_;
    std::map<std::string, pybind11::object, std::less<>> handlers_;
    std::optional<pybind11::error_already_set> handlerError_;
};

}  // namespace pixmill
