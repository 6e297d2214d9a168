#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pm32::platform {

// The per-user INI profile. Sections and keys compare case-insensitively.
class Profile {
  public:
    static Profile parse(std::string_view text);
    static Profile readFile(const std::string& path);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Leading optional sign and decimal digits of the value; fallback when the
    // key is absent.
    int intValue(std::string_view section, std::string_view key, int fallback) const;

  private:
    std::map<std::string, std::string> values_;  // "section\nkey" in lower case
};

// Where the user's profile lives: $PIXMILL_PROFILE when set, else
// $XDG_CONFIG_HOME/pixmill32/pixmill.ini, else ~/.config/pixmill32/pixmill.ini.
std::string ProfilePath();

// The process's profile, read from ProfilePath() on first use and kept.
const Profile& UserProfile();

// GetProfileInt over the process's profile.
int GetProfileInt(std::string_view section, std::string_view key, int fallback);

}  // namespace pm32::platform
