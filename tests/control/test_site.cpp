#include "tests/control/test_site.h"

#include "platform/window_registry.h"

namespace pm32::test {

TestSite::TestSite(bool mode) : userMode(mode), window_(platform::RegisterWindow([] {})) {}

TestSite::TestSite(bool mode, QSize window)
    : userMode(mode), host_(std::make_unique<platform::HeadlessWindowHost>(window)) {}

TestSite::~TestSite() { closeWindow(); }

void TestSite::closeWindow() {
    if (host_) host_->Destroy();
    if (window_ != 0) platform::UnregisterWindow(window_);
}

void TestSite::OnEvent(DispId, std::string_view name, std::span<Variant> args) {
    std::string line(name);
    if (name == "Callback" && !args.empty()) {
        line += " Lines=" + args[0].toString();
        if (onCallback) {
            Variant lines = args[0].value();
            onCallback(lines);
            args[0].assign(lines);
        }
    }
    events.push_back(line);
    std::vector<Variant>& values = arguments.emplace_back();
    for (const Variant& arg : args) values.push_back(arg.value());
}

std::int32_t scodeOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const automation::AutomationError& error) {
        return error.scode();
    }
    return 0;
}

std::uint32_t errorOf(const std::function<void()>& call) {
    std::int32_t scode = scodeOf(call);
    return automation::IsControlScode(scode) ? automation::ControlErrorNumber(scode) : 0;
}

void StoreOneColorImage(const std::string& path, int depth, int width, int height,
                        std::int32_t color) {
    PlacedControl maker;
    maker.call("Init", {i2(depth), i2(width), i2(height), i4(color)});
    maker.put("FileName", Variant::String(path));
    maker.put("ImageCompression", i2(path.ends_with(".jpg") ? 95 : 0));
    maker.call("Store");
}

}  // namespace pm32::test
