#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "control/headless_site.h"
#include "tools/picbuf/command_line.h"
#include "tools/picbuf/control_set.h"
#include "tools/picbuf/event_printer.h"

namespace pm32::tools {

// The controls of one session, named Picbuf1 to PicbufN, each on a headless site.
class Container {
  public:
    // Events are printed on eventOutput when it is given. With a client size
    // every control shows in a headless window of that size.
    Container(int count, bool runMode, std::ostream* eventOutput,
              std::optional<ClientSize> client = std::nullopt);
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    const ControlSet& controls() const { return controls_; }
    // Makes a data source statements can name; false when the name is taken.
    bool addDataSource(const std::string& name, const std::string& database);
    // Writes back what bound controls changed on their current rows; the
    // first failure's text, or empty.
    std::string updateRecords();
    // The first control's headless window; null without one.
    platform::HeadlessWindowHost* firstWindow() const { return sites_.front()->window(); }

  private:
    // Declared so that the controls go first, then their sites, then the
    // printer the sites send events to.
    std::unique_ptr<EventPrinter> printer_;
    std::vector<std::unique_ptr<control::HeadlessSite>> sites_;
    ControlSet controls_;
    std::vector<std::pair<std::string, automation::DispatchPtr>> dataSources_;
};

}  // namespace pm32::tools
