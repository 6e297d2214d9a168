#include "control/factory.h"
#include "control/headless_site.h"
#include "control/module_lifetime.h"
#include "control/pm32.h"
#include "engine/string_table.h"

namespace pm32 {
namespace {

// Hands the control's events to whatever handler the program set last.
class HandlerSink : public automation::EventSink {
  public:
    void OnEvent(DispId id, std::string_view name, std::span<Variant> args) override {
        if (handler) handler(id, name, args);
    }
    EventHandler handler;
};

Variant invokeByName(automation::Dispatch& object, std::string_view name, InvokeKind kind,
                     std::vector<Variant> args) {
    const std::optional<DispId> id = object.GetIdOfName(name);
    if (!id)
        throw AutomationError(automation::DISP_E_UNKNOWNNAME, "Unknown name: " + std::string(name));
    return object.Invoke(*id, kind, args);
}

}  // namespace

// The site goes after the object it hosts: members are destroyed in reverse.
struct Control::State {
    control::ModuleReference lifetime;
    HandlerSink events;
    control::HeadlessSite site;
    automation::DispatchPtr object;

    explicit State(ControlMode mode) : site(mode == ControlMode::Run, &events) {}
};

Control::Control(std::string_view progIdOrClassId, ControlMode mode)
    : state_(std::make_shared<State>(mode)) {
    state_->object = control::CreateControl(progIdOrClassId, &state_->site);
    if (!state_->object)
        throw AutomationError(automation::REGDB_E_CLASSNOTREG,
                              "Class not registered: " + std::string(progIdOrClassId));
}

Control::~Control() = default;
Control::Control(Control&&) noexcept = default;
Control& Control::operator=(Control&&) noexcept = default;

Variant Control::get(std::string_view property, std::vector<Variant> index) {
    return invokeByName(*state_->object, property, InvokeKind::PropertyGet, std::move(index));
}

void Control::put(std::string_view property, Variant value, std::vector<Variant> index) {
    index.push_back(std::move(value));
    invokeByName(*state_->object, property, InvokeKind::PropertyPut, std::move(index));
}

Variant Control::call(std::string_view method, std::vector<Variant> args) {
    return invokeByName(*state_->object, method, InvokeKind::Method, std::move(args));
}

Variant Control::invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
    return state_->object->Invoke(id, kind, args);
}

std::optional<DispId> Control::idOf(std::string_view name) const {
    return state_->object->GetIdOfName(name);
}

const TypeInfo& Control::typeInfo() const { return state_->object->GetTypeInfo(); }

void Control::onEvent(EventHandler handler) { state_->events.handler = std::move(handler); }

// The value shares the whole state, so the control keeps its site for as long
// as anyone holds it.
Variant Control::object() const {
    return Variant::Object(automation::DispatchPtr(state_, state_->object.get()));
}

std::string ErrorMessage(std::uint32_t n) {
    return std::string(LoadResourceString(n).value_or(""));
}

}  // namespace pm32
