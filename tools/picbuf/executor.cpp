#include "tools/picbuf/executor.h"

#include <cstdio>

#include "tools/picbuf/call_arguments.h"
#include "tools/picbuf/failure_place.h"
#include "tools/picbuf/value_builder.h"
#include "tools/picbuf/value_format.h"

namespace pm32::tools {
namespace {

using automation::AutomationError;
using automation::InvokeKind;
using automation::MemberKind;
using automation::VarType;

// Control errors by their number, anything else by its SCODE.
std::string errorLine(const AutomationError& error) {
    if (automation::IsControlScode(error.scode()))
        return "error " + std::to_string(automation::ControlErrorNumber(error.scode())) + ": " +
               error.description();
    char scode[16];
    std::snprintf(scode, sizeof scode, "0x%08X", static_cast<std::uint32_t>(error.scode()));
    return "error " + std::string(scode) + ": " + error.description();
}

ErrorNumber controlErrorOf(const AutomationError& error) {
    return automation::IsControlScode(error.scode())
               ? static_cast<ErrorNumber>(automation::ControlErrorNumber(error.scode()))
               : ErrorNumber{0};
}

}  // namespace

Executor::Executor(const ControlSet& controls, std::ostream& out, std::ostream& err)
    : controls_(controls), out_(out), err_(err) {}

bool Executor::run(std::string_view statement, int number) {
    try {
        const Statement parsed = ParseStatement(statement);
        automation::Dispatch& control = target(parsed);
        try {
            execute(parsed, control);
            return true;
        } catch (const AutomationError& error) {
            out_.flush();
            err_ << errorLine(error) << '\n'
                 << FailurePlace(number, statement, parsed, controlErrorOf(error), control) << '\n';
        }
    } catch (const std::exception& error) {
        out_.flush();
        err_ << "picbuf: \"" << statement << "\": " << error.what() << '\n';
    }
    return false;
}

int Executor::runAll(std::span<const std::string> statements, bool keepGoing) {
    int status = 0;
    for (std::size_t i = 0; i < statements.size(); ++i) {
        if (run(statements[i], static_cast<int>(i + 1))) continue;
        status = 1;
        if (!keepGoing) break;
    }
    out_.flush();
    return status;
}

automation::Dispatch& Executor::target(const Statement& statement) const {
    if (statement.control.empty()) return controls_.first();
    automation::DispatchPtr control = controls_.find(statement.control);
    if (!control)
        throw StatementError("there is no control named " + statement.control +
                             " (the controls are " + controls_.firstName() + " to " +
                             controls_.lastName() + ")");
    return *control;
}

void Executor::execute(const Statement& statement, automation::Dispatch& control) {
    std::optional<automation::DispId> id = control.GetIdOfName(statement.member);
    const automation::MemberInfo* member = id ? control.GetTypeInfo().find(*id) : nullptr;
    if (member == nullptr)
        throw AutomationError(automation::DISP_E_UNKNOWNNAME, "Unknown name: " + statement.member);

    CallArguments call;
    for (std::size_t i = 0; i < statement.arguments.size(); ++i)
        AddArgument(call, statement.arguments[i],
                    i < member->params.size() ? &member->params[i] : nullptr, controls_);

    if (statement.value) {
        automation::ParamInfo valueShape{.name = member->name, .type = member->type};
        if (member->type == VarType::Dispatch)
            AddObjectValue(call, *statement.value, *id, controls_);
        else
            AddArgument(call, *statement.value, &valueShape, controls_);
        control.Invoke(*id, InvokeKind::PropertyPut, call.values());
        return;
    }

    bool property = member->kind == MemberKind::Property;
    automation::Variant result =
        control.Invoke(*id, property ? InvokeKind::PropertyGet : InvokeKind::Method, call.values());
    if (property || !result.isEmpty())
        out_ << member->name << '=' << FormatValue(result, controls_) << '\n';
    for (const auto& [position, array] : call.arrays())
        out_ << member->name << ".arg" << position << '=' << FormatValue(*array, controls_) << '\n';
}

}  // namespace pm32::tools
