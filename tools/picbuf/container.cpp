#include "tools/picbuf/container.h"

#include "control/data_source.h"
#include "control/factory.h"
#include "control/type_description.h"
#include "platform/automation/automation_error.h"

namespace pm32::tools {

Container::Container(int count, bool runMode, std::ostream* eventOutput,
                     std::optional<ClientSize> client) {
    if (eventOutput != nullptr)
        printer_ =
            std::make_unique<EventPrinter>(*eventOutput, control::PicbufTypeInfo(), controls_);
    std::optional<QSize> windowSize;
    if (client) windowSize = QSize(client->width, client->height);
    for (int i = 1; i <= count; ++i) {
        sites_.push_back(
            std::make_unique<control::HeadlessSite>(runMode, printer_.get(), windowSize));
        controls_.add("Picbuf" + std::to_string(i), control::CreatePicbuf(sites_.back().get()));
        // A container shows its controls once they are placed.
        if (platform::HeadlessWindowHost* window = sites_.back()->window()) window->Show(true);
    }
}

bool Container::addDataSource(const std::string& name, const std::string& database) {
    if (controls_.find(name)) return false;
    auto source = std::make_shared<control::DataSource>();
    automation::PutProperty(*source, "DatabaseName", automation::Variant::String(database));
    controls_.addObject(name, source);
    dataSources_.emplace_back(name, source);
    return true;
}

std::string Container::updateRecords() {
    for (const auto& [name, source] : dataSources_) {
        try {
            automation::CallMethod(*source, "UpdateRecord");
        } catch (const automation::AutomationError& error) {
            return name + ".UpdateRecord: " + error.description();
        }
    }
    return {};
}

}  // namespace pm32::tools
