#include "tools/picbuf/executor.h"

#include <gtest/gtest.h>

#include <sstream>

#include "control/factory.h"
#include "control/type_description.h"
#include "platform/window_registry.h"
#include "tools/picbuf/event_printer.h"
#include "control/headless_site.h"

namespace pm32::tools {
namespace {

using automation::AutomationError;
using automation::DispId;
using automation::InvokeKind;
using automation::MemberKind;
using automation::ParamInfo;
using automation::Variant;
using automation::VarType;
using control::HeadlessSite;

ParamInfo arrayOf(std::string name, VarType type) {
    return {std::move(name), type, true, false, true};
}

automation::MemberInfo member(DispId id, std::string name, MemberKind kind, VarType type,
                              std::vector<ParamInfo> params = {}) {
    automation::MemberInfo info;
    info.id = id;
    info.name = std::move(name);
    info.kind = kind;
    info.type = type;
    info.params = std::move(params);
    info.readable = info.writable = kind == MemberKind::Property;
    return info;
}

// An automation object that records what it is asked and answers in kind.
class FakeObject : public automation::Dispatch {
  public:
    struct Call {
        DispId id;
        InvokeKind kind;
        std::vector<Variant> args;  // the values, references looked through
    };

    FakeObject() {
        info_.name = "Fake";
        info_.members = {
            member(1, "Level", MemberKind::Property, VarType::I2),
            member(2, "Item", MemberKind::Property, VarType::String, {{"nIndex", VarType::I2}}),
            member(3, "Answer", MemberKind::Method, VarType::I4),
            member(4, "Ping", MemberKind::Method, VarType::Empty),
            member(5, "Fill", MemberKind::Method, VarType::Empty,
                   {{"nStart", VarType::I2}, arrayOf("pValues", VarType::I4)}),
            member(6, "Sum", MemberKind::Method, VarType::I4, {arrayOf("pValues", VarType::I2)}),
            member(7, "Crash", MemberKind::Method, VarType::Empty),
            member(8, "Refuse", MemberKind::Method, VarType::Empty),
        };
    }

    std::optional<DispId> GetIdOfName(std::string_view name) const override {
        const automation::MemberInfo* member = info_.find(name);
        return member ? std::optional(member->id) : std::nullopt;
    }

    const automation::TypeInfo& GetTypeInfo() const override { return info_; }

    Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override {
        Call call{id, kind, {}};
        for (const Variant& arg : args) call.args.push_back(arg.value());
        calls.push_back(call);
        switch (id) {
            case 1:
                if (kind == InvokeKind::PropertyPut) level = args[0].toI2();
                return Variant::I2(level);
            case 2:
                return Variant::String("item " + args[0].toString());
            case 3:
                return Variant::I4(42);
            case 5: {
                auto array = args[1].toArray();
                for (std::size_t i = 0; i < array->elements.size(); ++i)
                    array->elements[i] = Variant::I4(args[0].toI2() + static_cast<int>(i));
                return {};
            }
            case 6: {
                std::int32_t sum = 0;
                for (const Variant& element : args[0].toArray()->elements) sum += element.toI4();
                return Variant::I4(sum);
            }
            case 7:
                throw std::runtime_error("boom");
            case 8:
                throw AutomationError(automation::ControlScode(20306),
                                      "Control does not contain a Dib");
            default:
                return {};
        }
    }

    std::vector<Call> calls;
    std::int16_t level = 3;

  private:
    automation::TypeInfo info_;
};

class ExecutorTest : public ::testing::Test {
  protected:
    ExecutorTest() {
        controls.add("Picbuf1", picbuf);
        controls.add("Fake", fake);
    }

    // Runs the statements; the exit status.
    int run(std::vector<std::string> statements, bool keepGoing = false) {
        return Executor(controls, out, err).runAll(statements, keepGoing);
    }

    HeadlessSite site{true, nullptr};
    std::shared_ptr<control::ZPm32> picbuf = control::CreatePicbuf(&site);
    std::shared_ptr<FakeObject> fake = std::make_shared<FakeObject>();
    ControlSet controls;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ExecutorTest, PropertiesAreReadAndMethodsCalledByTheirPublishedKind) {
    EXPECT_EQ(run({"Fake.Level", "Fake.Answer", "Fake.Ping", "Fake.Item(3)"}), 0);
    EXPECT_EQ(out.str(), "Level=3\nAnswer=42\nItem=item 3\n");
    ASSERT_EQ(fake->calls.size(), 4u);
    EXPECT_EQ(fake->calls[0].kind, InvokeKind::PropertyGet);
    EXPECT_EQ(fake->calls[1].kind, InvokeKind::Method);
    EXPECT_EQ(fake->calls[2].kind, InvokeKind::Method);
    EXPECT_EQ(fake->calls[3].kind, InvokeKind::PropertyGet);
    ASSERT_EQ(fake->calls[3].args.size(), 1u);
    EXPECT_EQ(fake->calls[3].args[0].toI2(), 3);
}

TEST_F(ExecutorTest, AssignmentsPutTheValueAfterTheIndexes) {
    EXPECT_EQ(run({"Fake.Level=9", "Fake.Item(2)=\"x y\"", "fake.level"}), 0);
    ASSERT_EQ(fake->calls.size(), 3u);
    EXPECT_EQ(fake->calls[0].kind, InvokeKind::PropertyPut);
    EXPECT_EQ(fake->level, 9);
    EXPECT_EQ(fake->calls[1].kind, InvokeKind::PropertyPut);
    ASSERT_EQ(fake->calls[1].args.size(), 2u);
    EXPECT_EQ(fake->calls[1].args[0].toI2(), 2);
    EXPECT_EQ(fake->calls[1].args[1].toString(), "x y");
    // Names resolve without case and print as published.
    EXPECT_EQ(out.str(), "Level=9\n");
}

TEST_F(ExecutorTest, ArrayArgumentsArePrintedBackAfterTheResult) {
    EXPECT_EQ(run({"Fake.Fill(5,@3)", "Fake.Sum([1,2,3])", "Fake.Fill(-1,[])"}), 0);
    EXPECT_EQ(out.str(), "Fill.arg2=[5,6,7]\nSum=6\nSum.arg1=[1,2,3]\nFill.arg2=[]\n");
    // Shaped to the published element type on the way in.
    EXPECT_EQ(fake->calls[1].args[0].toArray()->elementType, VarType::I2);
}

TEST_F(ExecutorTest, AStatementWithoutAControlNameGoesToTheFirst) {
    EXPECT_EQ(run({"Version", "Answer"}, true), 1);
    EXPECT_EQ(out.str(), "Version=1.0.1.13\n");
    EXPECT_EQ(err.str(), "error 0x80020006: Unknown name: Answer\n  in statement 2: Answer\n");
    EXPECT_TRUE(fake->calls.empty());
}

TEST_F(ExecutorTest, ObjectArgumentsAreTheNamedControls) {
    // The fake has no hWnd, so the control cannot use it to pump messages.
    EXPECT_EQ(run({"FileName=x.bmp", "LoadCallback(Fake)"}), 1);
    EXPECT_EQ(err.str(),
              "error 20326: The window for the control that handles the callback "
              "message does not exist\n"
              "  in statement 2: LoadCallback(Fake)\n");
}

TEST_F(ExecutorTest, FailuresAreReportedAndTheRunStops) {
    EXPECT_EQ(run({"Fake.Refuse", "Fake.Ping"}), 1);
    EXPECT_EQ(err.str(),
              "error 20306: Control does not contain a Dib\n  in statement 1: Fake.Refuse\n");
    EXPECT_EQ(fake->calls.size(), 1u);
}

TEST_F(ExecutorTest, AnyOtherExceptionIsAFailureNotACrash) {
    EXPECT_EQ(run({"Fake.Crash", "Fake.Ping"}, true), 1);
    EXPECT_EQ(err.str(), "picbuf: \"Fake.Crash\": boom\n");
    EXPECT_EQ(fake->calls.size(), 2u);
}

TEST_F(ExecutorTest, TypeErrorsInArraysComeFromTheContainer) {
    EXPECT_EQ(run({"Fake.Sum([1,big])"}), 1);
    EXPECT_EQ(err.str(),
              "error 0x80020005: Type mismatch in array element 1 (Integer)\n"
              "  in statement 1: Fake.Sum([1,big])\n");
    EXPECT_TRUE(fake->calls.empty());
}

TEST(HeadlessSites, OwnALiveWindowForTheirLifetime) {
    automation::EventSink* sink = nullptr;
    platform::HWND window = 0;
    {
        HeadlessSite site(false, sink);
        window = site.Window();
        EXPECT_NE(window, 0u);
        EXPECT_TRUE(platform::IsWindow(window));
        EXPECT_FALSE(site.UserMode());
        EXPECT_EQ(site.Events(), nullptr);
        HeadlessSite other(true, nullptr);
        EXPECT_NE(other.Window(), window);
        EXPECT_TRUE(other.UserMode());
    }
    EXPECT_FALSE(platform::IsWindow(window));
}

TEST(EventPrinting, ArgumentsFollowUnderTheirPublishedNames) {
    std::ostringstream out;
    ControlSet controls;
    EventPrinter printer(out, control::PicbufTypeInfo(), controls);
    printer.OnEvent(1, "Change", {});
    Variant lines = Variant::I2(16);
    Variant byReference = Variant::Ref(&lines);
    printer.OnEvent(4, "Callback", std::span(&byReference, 1));
    Variant extra[] = {Variant::I4(5), Variant::String("x")};
    printer.OnEvent(99, "Unpublished", extra);
    EXPECT_EQ(out.str(),
              "event Change\nevent Callback Lines=16\nevent Unpublished arg1=5 arg2=x\n");
    // A printer only watches; the control reads Lines back unchanged.
    EXPECT_EQ(lines.toI2(), 16);
}

}  // namespace
}  // namespace pm32::tools
