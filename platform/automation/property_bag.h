#pragma once

#include <string>
#include <string_view>

namespace pm32::automation {

// What a container asks of an object to keep its properties in a form and to
// bring them back: the text property bag, one "Name=value" line a property.
class PersistPropertyBag {
  public:
    virtual ~PersistPropertyBag() = default;
    virtual std::string SaveProperties() const = 0;
    // A value that is missing or refused takes its default.
    virtual void LoadProperties(std::string_view bag) = 0;
};

}  // namespace pm32::automation
