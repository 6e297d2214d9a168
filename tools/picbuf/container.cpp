#include "tools/picbuf/container.h"

#include "control/factory.h"
#include "control/type_description.h"

namespace pm32::tools {

Container::Container(int count, bool runMode, std::ostream* eventOutput) {
    if (eventOutput != nullptr)
        printer_ =
            std::make_unique<EventPrinter>(*eventOutput, control::PicbufTypeInfo(), controls_);
    for (int i = 1; i <= count; ++i) {
        sites_.push_back(std::make_unique<HeadlessSite>(runMode, printer_.get()));
        controls_.add("Picbuf" + std::to_string(i), control::CreatePicbuf(sites_.back().get()));
    }
}

}  // namespace pm32::tools
