#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pm32::tools {

inline constexpr int kMaxControls = 64;
inline constexpr int kMaxClientExtent = 8192;

// The size of a control's window before scroll bars take their share.
struct ClientSize {
    int width = 0;
    int height = 0;
};

struct Options {
    int controls = 2;
    bool designMode = false;
    bool pages = false;  // show Picbuf1's property pages after the statements
    bool events = false;
    bool keepGoing = false;
    bool members = false;
    bool modern = false;  // every control reads files by their content too
    bool help = false;
    std::string helpTopic;             // a member name, "members", or empty for the usage
    std::optional<ClientSize> client;  // every control gets a headless window
    std::string snapshot;              // PNG file for Picbuf1's picture; needs client
    std::string pagesSnapshot;         // folder for PNG files of Picbuf1's pages
    std::string loadForm;              // a form file read before the first statement
    std::string saveForm;              // a form file written after the last statement
    std::string printer;               // a ".pdf" file or "cups:QUEUE" the statements print to
    // Data sources by name and database address, made before the first statement.
    std::vector<std::pair<std::string, std::string>> dataSources;
    std::vector<std::string> statements;  // in the order given
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The command line without the program name. Options may stand anywhere
// (statements never start with '-'); throws UsageError.
Options ParseCommandLine(std::span<const std::string> args);

std::string_view HelpText();

}  // namespace pm32::tools
