#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pm32::tools {

// A bare word: a control when it names one, else text.
struct Word {
    std::string text;
    bool operator==(const Word&) const = default;
};

// The null object.
struct Nothing {
    bool operator==(const Nothing&) const = default;
};

// One value as written: an integer (hexadecimal ones keep their 32 bits, so
// 0xFFFFFFFF is -1), a real, a Boolean, quoted text, a bare word or Nothing.
using Scalar = std::variant<std::int32_t, double, bool, std::string, Word, Nothing>;

// An argument left empty: an omitted optional parameter.
struct Omitted {
    bool operator==(const Omitted&) const = default;
};

// An array of this many zeros (written @N).
struct Zeros {
    std::size_t count = 0;
    bool operator==(const Zeros&) const = default;
};

// An array written out element by element ([1,2,3]).
using ArrayLiteral = std::vector<Scalar>;

using Literal = std::variant<Omitted, Scalar, ArrayLiteral, Zeros>;

// The longest array @N may ask for: room for any scan line, colour count or
// palette, while a slip of the keyboard cannot exhaust memory.
inline constexpr std::size_t kMaxZeros = 65536;

// One automation statement: [Control.]Member[(arguments)][=value].
struct Statement {
    std::string control;  // empty: the first control
    std::string member;
    std::vector<Literal> arguments;  // method arguments or property indexes
    std::optional<Literal> value;    // the new value of an assignment
    bool operator==(const Statement&) const = default;
};

// A statement that cannot be parsed, or that names no control of the session.
class StatementError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws StatementError with the reason.
Statement ParseStatement(std::string_view text);

}  // namespace pm32::tools
