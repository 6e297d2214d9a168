#include "engine/string_table.h"

#include <algorithm>

#include "engine/error_table.h"

namespace pm32 {
namespace {

struct StringResource {
    unsigned id;
    const char* text;
};

constexpr StringResource kStrings[] = {
#define PM32_ERROR_STRING(name, number, message) {number, message},
    PM32_ERROR_TABLE(PM32_ERROR_STRING)
#undef PM32_ERROR_STRING
};

// The lookup below halves the table, and one number has one name and one text.
static_assert(std::adjacent_find(std::begin(kStrings), std::end(kStrings),
                                 [](const StringResource& a, const StringResource& b) {
                                     return a.id >= b.id;
                                 }) == std::end(kStrings),
              "error numbers must ascend without repeats");

}  // namespace

std::optional<std::string_view> LoadResourceString(unsigned id) {
    auto it =
        std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                         [](const StringResource& s, unsigned wanted) { return s.id < wanted; });
    if (it == std::end(kStrings) || it->id != id || it->text == nullptr) return std::nullopt;
    return it->text;
}

}  // namespace pm32
