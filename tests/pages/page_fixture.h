#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "control/control_site.h"
#include "control/pages/property_page.h"
#include "control/zpm32.h"

namespace pm32::test {

// A form at design time holding one control; it records the property changes
// the control reports.
class DesignSite : public control::ControlSite {
  public:
    explicit DesignSite(bool userMode = false) : userMode_(userMode) {}
    bool UserMode() const override { return userMode_; }
    platform::HWND Window() const override { return 0; }
    platform::WindowHost* Host() override { return nullptr; }
    automation::EventSink* Events() override { return nullptr; }
    void OnPropertyChanged(automation::DispId id) override { changed.push_back(id); }

    std::vector<automation::DispId> changed;

  private:
    bool userMode_;
};

// Records every message box instead of showing it, and takes its default answer.
struct BoxRecorder {
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
    std::vector<std::string> texts;
};

// A page of the ProgID showing a control of its own.
struct OpenPage {
    explicit OpenPage(std::string_view progId, bool userMode = false);

    automation::Variant get(std::string_view name) const;
    void put(std::string_view name, automation::Variant value);
    // Reads the control again, as the page does when it opens.
    void reopen();
    QWidget* widget(std::string_view property) const;

    DesignSite site;
    std::shared_ptr<control::ZPm32> control;
    std::unique_ptr<control::pages::PropertyPage> page;
};

// What a bound widget shows: a combo box its index, a check box 1 or 0, an
// edit its text.
std::string Shown(const QWidget* widget);
// Enters that into the widget as a user would.
void Enter(QWidget* widget, const std::string& text);

}  // namespace pm32::test
