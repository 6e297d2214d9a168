#include "tools/picbuf/statement.h"

#include <cctype>
#include <charconv>

namespace pm32::tools {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// 0x followed by hex digits only; anything else there is a plain word.
std::optional<Scalar> hexNumber(std::string_view text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    std::string_view digits = text.substr(2);
    const char* last = digits.data() + digits.size();
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), last, value, 16);
    if (end != last) return std::nullopt;
    if (error != std::errc() || value > 0xFFFFFFFFu)
        throw StatementError(std::string(text) + " does not fit in 32 bits");
    // Colours and handles are written as unsigned hex but travel as signed Longs.
    return Scalar(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

// Whether text is a decimal number (sign, digits, fraction, exponent), and
// whether it is a whole one.
struct DecimalShape {
    bool valid = false;
    bool integral = true;
};

DecimalShape decimalShape(std::string_view text) {
    std::size_t i = 0;
    auto digitsFrom = [&] {
        std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) ++i;
        return i - start;
    };
    DecimalShape shape;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = digitsFrom();
    if (i < text.size() && text[i] == '.') {
        shape.integral = false;
        ++i;
        mantissa += digitsFrom();
    }
    if (mantissa == 0) return shape;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        shape.integral = false;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digitsFrom() == 0) return shape;
    }
    shape.valid = i == text.size();
    return shape;
}

std::optional<Scalar> decimalNumber(std::string_view text) {
    DecimalShape shape = decimalShape(text);
    if (!shape.valid) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    const char* first = text.data();
    const char* last = first + text.size();
    if (shape.integral) {
        std::int32_t value = 0;
        auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc() && end == last) return Scalar(value);
        // Beyond a Long it is a Double, as a Basic literal would be.
    }
    double value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        throw StatementError(std::string(text) + " is out of range");
    return Scalar(value);
}

Scalar scalarOf(std::string_view token) {
    if (sameWord(token, "True")) return true;
    if (sameWord(token, "False")) return false;
    if (sameWord(token, "Nothing")) return Nothing{};
    if (auto number = hexNumber(token)) return *number;
    if (auto number = decimalNumber(token)) return *number;
    return Word{std::string(token)};
}

Zeros zerosOf(std::string_view digits) {
    const char* last = digits.data() + digits.size();
    std::size_t count = 0;
    auto [end, error] = std::from_chars(digits.data(), last, count);
    if (digits.empty() || end != last) throw StatementError("@ needs a count of zeros, as in @256");
    if (error != std::errc() || count > kMaxZeros)
        throw StatementError("@" + std::string(digits) + " asks for more than " +
                             std::to_string(kMaxZeros) + " zeros");
    return Zeros{count};
}

// A bare token: @N or a scalar.
Literal literalOf(std::string_view token) {
    if (token.front() == '@') return zerosOf(token.substr(1));
    return scalarOf(token);
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    Statement statement() {
        Statement result;
        skipBlanks();
        if (atEnd()) throw StatementError("empty statement");
        std::string first = name("a member name");
        if (peek() == '.') {
            ++pos_;
            result.control = std::move(first);
            result.member = name("a member name after '" + result.control + ".'");
        } else {
            result.member = std::move(first);
        }
        skipBlanks();
        if (peek() == '(') {
            ++pos_;
            result.arguments = arguments();
            skipBlanks();
        }
        if (peek() == '=') {
            ++pos_;
            result.value = value();
        } else if (!atEnd()) {
            throw StatementError("unexpected " + found() + " after " + result.member);
        }
        return result;
    }

  private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void skipBlanks() {
        while (!atEnd() && isBlank(text_[pos_])) ++pos_;
    }
    std::string found() const {
        return atEnd() ? std::string("end of statement") : "'" + std::string(1, peek()) + "'";
    }

    std::string name(const std::string& what) {
        if (!isNameStart(peek())) throw StatementError("expected " + what + ", found " + found());
        std::size_t start = pos_;
        while (!atEnd() && isNameChar(text_[pos_])) ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    std::vector<Literal> arguments() {
        std::vector<Literal> result;
        skipBlanks();
        if (peek() == ')') {
            ++pos_;
            return result;
        }
        for (;;) {
            result.push_back(argument());
            skipBlanks();
            if (atEnd()) throw StatementError("missing ')' after the arguments");
            char next = text_[pos_++];
            if (next == ')') return result;
            if (next != ',') {
                --pos_;
                throw StatementError("expected ',' or ')', found " + found());
            }
        }
    }

    Literal argument() {
        skipBlanks();
        switch (peek()) {
            case ',':
            case ')':
                return Omitted{};
            case '"':
                return Scalar(quoted());
            case '[':
                return array();
            case '\0':
                throw StatementError("missing ')' after the arguments");
            default:
                return literalOf(token(",)", "([]\""));
        }
    }

    ArrayLiteral array() {
        ++pos_;
        ArrayLiteral result;
        skipBlanks();
        if (peek() == ']') {
            ++pos_;
            return result;
        }
        for (;;) {
            skipBlanks();
            if (peek() == '"') {
                result.emplace_back(quoted());
            } else if (peek() == ',' || peek() == ']') {
                throw StatementError("empty element in an array");
            } else if (peek() == '[' || peek() == '@') {
                throw StatementError("an array element must be a single value");
            } else if (atEnd()) {
                throw StatementError("missing ']' after the array elements");
            } else {
                result.push_back(scalarOf(token(",])", "([\"")));
            }
            skipBlanks();
            if (atEnd()) throw StatementError("missing ']' after the array elements");
            char next = text_[pos_++];
            if (next == ']') return result;
            if (next != ',') {
                --pos_;
                throw StatementError("expected ',' or ']', found " + found());
            }
        }
    }

    // Text in double quotes; a doubled quote stands for one.
    std::string quoted() {
        ++pos_;
        std::string text;
        for (;;) {
            if (atEnd()) throw StatementError("missing closing '\"'");
            char c = text_[pos_++];
            if (c == '"') {
                if (peek() != '"') return text;
                ++pos_;
            }
            text += c;
        }
    }

    // A bare token up to one of stops (blanks around it dropped); the
    // forbidden characters would make the statement ambiguous unquoted.
    std::string_view token(std::string_view stops, std::string_view forbidden) {
        std::size_t start = pos_;
        while (!atEnd() && stops.find(peek()) == std::string_view::npos) {
            if (forbidden.find(peek()) != std::string_view::npos)
                throw StatementError("unexpected " + found() +
                                     "; put text that holds it in quotes");
            ++pos_;
        }
        return trimmed(text_.substr(start, pos_ - start));
    }

    // The rest of the statement is the value; only quoted text and arrays
    // have an end of their own.
    Literal value() {
        skipBlanks();
        if (atEnd()) throw StatementError("missing value after '='; write \"\" for empty text");
        Literal result;
        if (peek() == '"') {
            result = Scalar(quoted());
        } else if (peek() == '[') {
            result = array();
        } else {
            result = literalOf(trimmed(text_.substr(pos_)));
            pos_ = text_.size();
        }
        skipBlanks();
        if (!atEnd()) throw StatementError("unexpected " + found() + " after the value");
        return result;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

Statement ParseStatement(std::string_view text) { return Parser(text).statement(); }

}  // namespace pm32::tools
