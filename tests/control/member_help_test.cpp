#include "control/member_help.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "control/member_row.h"

namespace pm32::test {
namespace {

using control::MemberRow;

// The help is made from the same rows the checks run on, so what it says of
// a range is what the control enforces; these tie every row's text to them.
// The range a help text states, read back: min, max, the one extra value
// (or none) and the error.
std::optional<control::Range> statedRange(const std::string& help) {
    const std::size_t at = help.find("  range: ");
    if (at == std::string::npos) return std::nullopt;
    const std::string line = help.substr(at, help.find('\n', at) - at);
    int min = 0, max = 0, extra = 0;
    unsigned error = 0;
    if (std::sscanf(line.c_str(), "  range: %d to %d or %d, else error %u", &min, &max, &extra,
                    &error) == 4)
        return control::Range{min, max, static_cast<ErrorNumber>(error), extra};
    if (std::sscanf(line.c_str(), "  range: %d to %d, else error %u", &min, &max, &error) == 3)
        return control::Range{min, max, static_cast<ErrorNumber>(error)};
    ADD_FAILURE() << "unreadable: " << line;
    return std::nullopt;
}

// The help is made from the same rows the checks run on, so what it says of
// a range is what the control enforces; these tie every row's text to them.
TEST(MemberHelp, EveryRowSaysWhatItsChecksEnforce) {
    int ranged = 0;
    for (const MemberRow& row : control::MemberTable()) {
        SCOPED_TRACE(std::string(row.name));
        const std::string help = control::MemberHelp(row);
        EXPECT_FALSE(row.description.empty());
        EXPECT_EQ(row.description.find('\n'), std::string_view::npos);
        const std::optional<control::Range> stated = statedRange(help);
        ASSERT_EQ(stated.has_value(), row.range.has_value()) << help;
        if (row.range) {
            ++ranged;
            EXPECT_EQ(stated->min, row.range->min);
            EXPECT_EQ(stated->max, row.range->max);
            EXPECT_EQ(stated->alsoAllowed, row.range->alsoAllowed);
            EXPECT_EQ(stated->error, row.range->error);
        }
        // Every failure the row itself raises is among the errors it lists.
        std::vector<ErrorNumber> own;
        if (row.range) own.push_back(row.range->error);
        if (row.accessError != 0 && row.kind == automation::MemberKind::Property)
            own.push_back(row.accessError);
        for (ErrorNumber number : own) {
            EXPECT_NE(std::ranges::find(row.raises, number), row.raises.end()) << number;
            EXPECT_NE(help.find("    " + std::to_string(number) + "  "), std::string::npos);
        }
        if (row.enumeration) {
            for (const control::EnumValue& value : row.enumeration->values)
                EXPECT_NE(help.find(std::string(value.name) + "=" + std::to_string(value.value)),
                          std::string::npos);
        }
    }
    EXPECT_GE(ranged, 21);
}

TEST(MemberHelp, TheIndexNamesEveryMemberOnceUnderItsGroup) {
    const std::string index = control::MemberIndex();
    for (const MemberRow& row : control::MemberTable()) {
        const std::string group = std::string(control::GroupName(row.group)) + ":\n";
        const std::size_t groupAt = index.find(group);
        ASSERT_NE(groupAt, std::string::npos) << group;
        const std::size_t paragraphEnd = index.find("\n\n", groupAt);
        std::istringstream paragraph(index.substr(groupAt, paragraphEnd - groupAt));
        const std::vector<std::string> words{std::istream_iterator<std::string>(paragraph), {}};
        EXPECT_EQ(std::ranges::count(words, std::string(row.name)), 1)
            << row.name << " not once under " << group;
    }
}

}  // namespace
}  // namespace pm32::test
