#include "tools/picbuf/statement.h"

#include <gtest/gtest.h>

namespace pm32::tools {
namespace {

Statement parsed(std::string_view text) { return ParseStatement(text); }

// The one argument of Name(text), or the value of Name=text.
Literal argumentOf(const std::string& text) {
    Statement statement = ParseStatement("Name(" + text + ")");
    EXPECT_EQ(statement.arguments.size(), 1u) << text;
    return statement.arguments.empty() ? Literal{} : statement.arguments.front();
}
Literal valueOf(const std::string& text) { return *ParseStatement("Name=" + text).value; }

std::string failureOf(std::string_view text) {
    try {
        ParseStatement(text);
    } catch (const StatementError& error) {
        return error.what();
    }
    return "parsed";
}

TEST(StatementForms, GetsCallsAndPuts) {
    EXPECT_EQ(parsed("ColorDepth"), (Statement{"", "ColorDepth", {}, std::nullopt}));
    EXPECT_EQ(parsed("Init(8,4,4,255)"),
              (Statement{"",
                         "Init",
                         {Scalar(std::int32_t{8}), Scalar(std::int32_t{4}), Scalar(std::int32_t{4}),
                          Scalar(std::int32_t{255})},
                         std::nullopt}));
    EXPECT_EQ(parsed("FileName=in.bmp"),
              (Statement{"", "FileName", {}, Literal(Scalar(Word{"in.bmp"}))}));
    EXPECT_EQ(
        parsed("RegionFillStyle(2)=7"),
        (Statement{
            "", "RegionFillStyle", {Scalar(std::int32_t{2})}, Literal(Scalar(std::int32_t{7}))}));
    EXPECT_EQ(parsed("Load()"), (Statement{"", "Load", {}, std::nullopt}));
}

TEST(StatementForms, AControlNamePrefixesTheMember) {
    EXPECT_EQ(parsed("Picbuf2.Load"), (Statement{"Picbuf2", "Load", {}, std::nullopt}));
    EXPECT_EQ(parsed("Picbuf2.FileName=x.bmp").control, "Picbuf2");
    EXPECT_EQ(parsed("Picbuf2.FileName=x.bmp").member, "FileName");
}

TEST(StatementForms, BlanksAroundThePartsAreIgnored) {
    EXPECT_EQ(parsed("  Init ( 8 , 4,4 ,  255 ) "), parsed("Init(8,4,4,255)"));
    EXPECT_EQ(parsed("FileName = out.bmp "), parsed("FileName=out.bmp"));
}

TEST(StatementForms, EmptyArgumentsAreOmitted) {
    Statement statement = parsed("Arc(1,,3, )");
    ASSERT_EQ(statement.arguments.size(), 4u);
    EXPECT_EQ(statement.arguments[1], Literal(Omitted{}));
    EXPECT_EQ(statement.arguments[3], Literal(Omitted{}));
    EXPECT_EQ(parsed("F(,)").arguments, (std::vector<Literal>{Omitted{}, Omitted{}}));
}

TEST(StatementLiterals, Integers) {
    EXPECT_EQ(argumentOf("-7"), Literal(Scalar(std::int32_t{-7})));
    EXPECT_EQ(argumentOf("+12"), Literal(Scalar(std::int32_t{12})));
    EXPECT_EQ(argumentOf("0xFF8000"), Literal(Scalar(std::int32_t{0xFF8000})));
    EXPECT_EQ(argumentOf("0x7fffffff"), Literal(Scalar(std::int32_t{0x7FFFFFFF})));
    // Hex keeps its 32 bits, the way colour and handle values travel as Longs.
    EXPECT_EQ(argumentOf("0xFFFFFFFF"), Literal(Scalar(std::int32_t{-1})));
    EXPECT_EQ(argumentOf("0x80000012"), Literal(Scalar(std::int32_t{-2147483630})));
    // Beyond a Long a decimal number becomes a Double.
    EXPECT_EQ(argumentOf("4294967296"), Literal(Scalar(4294967296.0)));
}

TEST(StatementLiterals, Reals) {
    EXPECT_EQ(argumentOf("1.5"), Literal(Scalar(1.5)));
    EXPECT_EQ(argumentOf("-2e3"), Literal(Scalar(-2000.0)));
    EXPECT_EQ(argumentOf(".25"), Literal(Scalar(0.25)));
    EXPECT_EQ(argumentOf("3."), Literal(Scalar(3.0)));
}

TEST(StatementLiterals, KeywordsInAnyCase) {
    EXPECT_EQ(argumentOf("True"), Literal(Scalar(true)));
    EXPECT_EQ(argumentOf("false"), Literal(Scalar(false)));
    EXPECT_EQ(argumentOf("NOTHING"), Literal(Scalar(Nothing{})));
}

TEST(StatementLiterals, QuotedText) {
    EXPECT_EQ(argumentOf("\"a, b (c)\""), Literal(Scalar(std::string("a, b (c)"))));
    EXPECT_EQ(argumentOf("\"say \"\"hi\"\"\""), Literal(Scalar(std::string("say \"hi\""))));
    EXPECT_EQ(argumentOf("\"\""), Literal(Scalar(std::string())));
    // Quoted, a keyword or number is text.
    EXPECT_EQ(valueOf("\"True\""), Literal(Scalar(std::string("True"))));
    EXPECT_EQ(valueOf("\"12\""), Literal(Scalar(std::string("12"))));
}

TEST(StatementLiterals, AnythingElseIsABareWord) {
    EXPECT_EQ(argumentOf("Picbuf2"), Literal(Scalar(Word{"Picbuf2"})));
    EXPECT_EQ(argumentOf("/tmp/out.bmp"), Literal(Scalar(Word{"/tmp/out.bmp"})));
    EXPECT_EQ(argumentOf("0xZZ"), Literal(Scalar(Word{"0xZZ"})));
    EXPECT_EQ(argumentOf("12abc"), Literal(Scalar(Word{"12abc"})));
    EXPECT_EQ(argumentOf("1e"), Literal(Scalar(Word{"1e"})));
    EXPECT_EQ(argumentOf("inf"), Literal(Scalar(Word{"inf"})));
    EXPECT_EQ(argumentOf("my file.txt"), Literal(Scalar(Word{"my file.txt"})));
}

TEST(StatementLiterals, AnAssignedValueRunsToTheEnd) {
    EXPECT_EQ(valueOf("a,b(1).bmp"), Literal(Scalar(Word{"a,b(1).bmp"})));
    EXPECT_EQ(valueOf(" 42 "), Literal(Scalar(std::int32_t{42})));
}

TEST(StatementLiterals, Arrays) {
    EXPECT_EQ(argumentOf("[1, -2,0x10]"),
              Literal(ArrayLiteral{std::int32_t{1}, std::int32_t{-2}, std::int32_t{16}}));
    EXPECT_EQ(argumentOf("[]"), Literal(ArrayLiteral{}));
    EXPECT_EQ(argumentOf("[\"a]\",Picbuf1,True]"),
              Literal(ArrayLiteral{std::string("a]"), Word{"Picbuf1"}, true}));
    EXPECT_EQ(valueOf("[1,2]"), Literal(ArrayLiteral{std::int32_t{1}, std::int32_t{2}}));
    EXPECT_EQ(argumentOf("@256"), Literal(Zeros{256}));
    EXPECT_EQ(argumentOf("@0"), Literal(Zeros{0}));
    Statement statement = parsed("PutScanLine(0,[1,2],)");
    ASSERT_EQ(statement.arguments.size(), 3u);
    EXPECT_EQ(statement.arguments[1], Literal(ArrayLiteral{std::int32_t{1}, std::int32_t{2}}));
    EXPECT_EQ(statement.arguments[2], Literal(Omitted{}));
}

TEST(StatementSyntaxErrors, NameWhatIsWrong) {
    EXPECT_EQ(failureOf(""), "empty statement");
    EXPECT_EQ(failureOf("   "), "empty statement");
    EXPECT_EQ(failureOf("1Load"), "expected a member name, found '1'");
    EXPECT_EQ(failureOf("=5"), "expected a member name, found '='");
    EXPECT_EQ(failureOf("Picbuf2."),
              "expected a member name after 'Picbuf2.', found end of statement");
    EXPECT_EQ(failureOf("Init(8,4"), "missing ')' after the arguments");
    EXPECT_EQ(failureOf("Init(8,"), "missing ')' after the arguments");
    EXPECT_EQ(failureOf("Init(\"a\" 4)"), "expected ',' or ')', found '4'");
    EXPECT_EQ(failureOf("Init(8)x"), "unexpected 'x' after Init");
    EXPECT_EQ(failureOf("Load Store"), "unexpected 'S' after Load");
    EXPECT_EQ(failureOf("F(a(b))"), "unexpected '('; put text that holds it in quotes");
    EXPECT_EQ(failureOf("F(\"abc)"), "missing closing '\"'");
    EXPECT_EQ(failureOf("F(\"a\"b)"), "expected ',' or ')', found 'b'");
    EXPECT_EQ(failureOf("FileName="), "missing value after '='; write \"\" for empty text");
    EXPECT_EQ(failureOf("FileName=\"a\" b"), "unexpected 'b' after the value");
}

TEST(StatementSyntaxErrors, BadNumbersAndArrays) {
    EXPECT_EQ(failureOf("F(0x100000000)"), "0x100000000 does not fit in 32 bits");
    EXPECT_EQ(failureOf("F(1e999)"), "1e999 is out of range");
    EXPECT_EQ(failureOf("F(@)"), "@ needs a count of zeros, as in @256");
    EXPECT_EQ(failureOf("F(@-1)"), "@ needs a count of zeros, as in @256");
    EXPECT_EQ(failureOf("F(@65537)"), "@65537 asks for more than 65536 zeros");
    EXPECT_EQ(failureOf("F(@99999999999999999999999)"),
              "@99999999999999999999999 asks for more than 65536 zeros");
    EXPECT_EQ(failureOf("F([1,2)"), "expected ',' or ']', found ')'");
    EXPECT_EQ(failureOf("F([1,2"), "missing ']' after the array elements");
    EXPECT_EQ(failureOf("F([1,,2])"), "empty element in an array");
    EXPECT_EQ(failureOf("F([[1]])"), "an array element must be a single value");
    EXPECT_EQ(failureOf("F([@3])"), "an array element must be a single value");
}

}  // namespace
}  // namespace pm32::tools
