#include "tools/picbuf/printer_value.h"

#include <string_view>

namespace pm32::tools {

std::string WithPrinter(const std::string& statement, std::uint32_t context) {
    constexpr std::string_view kPrinterValue = "$printer";
    std::string text = statement;
    const std::string number = std::to_string(context);
    for (std::size_t at = text.find(kPrinterValue); at != std::string::npos;
         at = text.find(kPrinterValue, at + number.size()))
        text.replace(at, kPrinterValue.size(), number);
    return text;
}

}  // namespace pm32::tools
