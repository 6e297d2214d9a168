#pragma once

// libpm32 for other programs: controls made by ProgID or class id and driven
// by late binding, as a form would drive them.

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control/module_exports.h"
#include "platform/automation/api_export.h"
#include "platform/automation/dispatch.h"

namespace pm32 {

using automation::AutomationError;
using automation::DispId;
using automation::InvokeKind;
using automation::TypeInfo;
using automation::Variant;
using automation::VarType;

enum class ControlMode { Run, Design };

// Receives every event the control fires: its dispatch id, its name and its
// arguments (by-reference ones may be written; the control reads them back).
using EventHandler = std::function<void(DispId id, std::string_view name, std::span<Variant> args)>;

// One control and the container it sits in. Failures of its members throw
// AutomationError; a control error n arrives as SCODE 0x800A0000 + n.
class PM32_API Control {
  public:
    // "Pixmill32.Picbuf.1" or "Pixmill32.DataSource.1", or either class id in
    // braces, in any case. An unknown name throws REGDB_E_CLASSNOTREG.
    explicit Control(std::string_view progIdOrClassId = "Pixmill32.Picbuf.1",
                     ControlMode mode = ControlMode::Run);
    ~Control();
    Control(Control&&) noexcept;
    Control& operator=(Control&&) noexcept;

    Variant get(std::string_view property, std::vector<Variant> index = {});
    void put(std::string_view property, Variant value, std::vector<Variant> index = {});
    Variant call(std::string_view method, std::vector<Variant> args = {});
    // By dispatch id, arguments in the published order (a put's value last).
    Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args);

    std::optional<DispId> idOf(std::string_view name) const;
    const TypeInfo& typeInfo() const;

    // Replaces the event handler; an empty one stops the events.
    void onEvent(EventHandler handler);

    // The control as an object value, for members that take another control.
    Variant object() const;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

// A printer for PrinterhDC: a PDF file (a name ending in ".pdf": A4 at 300
// dots per inch, no margins) or a CUPS queue ("cups:QUEUE": the whole paper
// at the printer's resolution); its context counts device pixels from the
// paper's corner. The document ends at end() or when the Printer goes, which
// writes the file or sends the job. A printer that cannot be opened throws
// AutomationError E_FAIL saying why.
class PM32_API Printer {
  public:
    explicit Printer(std::string_view target);
    ~Printer();
    Printer(Printer&&) noexcept;
    Printer& operator=(Printer&&) noexcept;

    // The value PrinterhDC takes; 0 once the document has ended.
    std::uint32_t context() const;
    void end();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The class object DllGetClassObject hands out for one class of the module. It
// counts references as a class object does: whoever received it calls
// Release once when done. While any reference or server lock remains,
// DllCanUnloadNow answers S_FALSE.
class PM32_API ClassFactory {
  public:
    // A new object of the class, with its own site.
    Control CreateInstance(ControlMode mode = ControlMode::Run) const;
    // A lock keeps the module in use with no object alive; each lock wants
    // its unlock.
    void LockServer(bool lock);
    std::uint32_t AddRef();
    // Frees the class object at the last reference; returns what remains.
    std::uint32_t Release();

  private:
    friend std::int32_t(::DllGetClassObject)(const char*, const char*, void**);
    explicit ClassFactory(std::string_view classId);
    ~ClassFactory();
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    struct State;
    std::unique_ptr<State> state_;
};

// The message of control error number n ("" for a number without one).
PM32_API std::string ErrorMessage(std::uint32_t n);

}  // namespace pm32
