#include "tools/picbuf/form_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/automation/property_bag.h"

namespace pm32::tools {
namespace {

automation::PersistPropertyBag& bagOf(const automation::DispatchPtr& control,
                                      std::string_view name) {
    auto* bag = dynamic_cast<automation::PersistPropertyBag*>(control.get());
    if (bag == nullptr) throw FormError(std::string(name) + " keeps no properties");
    return *bag;
}

std::string systemReason() { return std::strerror(errno); }

}  // namespace

std::string FormText(const ControlSet& controls) {
    std::string text;
    for (const auto& [name, control] : controls.all())
        text += '[' + name + "]\n" + bagOf(control, name).SaveProperties();
    return text;
}

void LoadForm(std::string_view text, const ControlSet& controls) {
    std::string section;
    std::string bag;
    auto flush = [&] {
        if (section.empty()) return;
        automation::DispatchPtr control = controls.find(section);
        if (!control) throw FormError("the form names " + section + ", which is no control here");
        bagOf(control, section).LoadProperties(bag);
        bag.clear();
    };
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            flush();
            section = std::string(line.substr(1, line.size() - 2));
        } else if (section.empty()) {
            throw FormError("line " + std::to_string(lineNumber) + " stands before any [control]");
        } else {
            bag.append(line).push_back('\n');
        }
    }
    flush();
}

void LoadFormFile(const std::string& path, const ControlSet& controls) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw FormError("cannot read the form " + path + ": " + systemReason());
    std::ostringstream text;
    text << file.rdbuf();
    LoadForm(text.str(), controls);
}

void SaveFormFile(const std::string& path, const ControlSet& controls) {
    const std::string text = FormText(controls);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file || !(file << text) || !file.flush())
        throw FormError("cannot write the form " + path + ": " + systemReason());
}

}  // namespace pm32::tools
