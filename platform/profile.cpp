#include "platform/profile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pm32::platform {
namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string keyOf(std::string_view section, std::string_view key) {
    return lowered(section) + '\n' + lowered(key);
}

}  // namespace

Profile Profile::parse(std::string_view text) {
    Profile profile;
    std::string section;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            auto close = line.find(']');
            if (close != std::string_view::npos) section = trimmed(line.substr(1, close - 1));
            continue;
        }
        auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        // The first occurrence of a key wins, as with the profile reads it stands in for.
        profile.values_.emplace(keyOf(section, trimmed(line.substr(0, equals))),
                                std::string(trimmed(line.substr(equals + 1))));
    }
    return profile;
}

Profile Profile::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Profile{};
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

std::optional<std::string> Profile::value(std::string_view section, std::string_view key) const {
    auto it = values_.find(keyOf(section, key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

int Profile::intValue(std::string_view section, std::string_view key, int fallback) const {
    auto text = value(section, key);
    if (!text) return fallback;
    const char* p = text->c_str();
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    long long number = 0;
    while (std::isdigit(static_cast<unsigned char>(*p)) && number <= 0x7FFFFFFF)
        number = number * 10 + (*p++ - '0');
    number = std::min<long long>(number, 0x7FFFFFFF);
    return static_cast<int>(negative ? -number : number);
}

std::string ProfilePath() {
    if (const char* explicitPath = std::getenv("PIXMILL_PROFILE"); explicitPath && *explicitPath)
        return explicitPath;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/pixmill32/pixmill.ini";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/pixmill32/pixmill.ini";
}

const Profile& UserProfile() {
    static const Profile profile = Profile::readFile(ProfilePath());
    return profile;
}

int GetProfileInt(std::string_view section, std::string_view key, int fallback) {
    return UserProfile().intValue(section, key, fallback);
}

}  // namespace pm32::platform
