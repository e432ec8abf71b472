#include "address/validity.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace zofrin {
namespace {

using test::Bytes;

struct ValidityCase {
  const char* name;
  std::string text;
  bool valid;
};

void PrintTo(const ValidityCase& c, std::ostream* out) { *out << c.name; }

class ValidityTest : public testing::TestWithParam<ValidityCase> {};

TEST_P(ValidityTest, Decides) {
  EXPECT_EQ(IsValidAddress(GetParam().text), GetParam().valid) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValidityTest,
    testing::Values(
        ValidityCase{"Plain", "user@example.com", true},
        ValidityCase{"Empty", "", false},
        ValidityCase{"AtFirst", "@example.com", false},
        ValidityCase{"FiveChars", "a@b.c", false},
        ValidityCase{"SixChars", "ab@c.d", true},
        ValidityCase{"NoAt", "userexample.com", false},
        ValidityCase{"AtLast", "userex@", false},
        ValidityCase{"SpaceInLocal", "first last@example.com", false},
        ValidityCase{"LeadingSpace", " user@example.com", false},
        ValidityCase{"TrailingSpace", "user@example.com ", false},
        ValidityCase{"SecondAt", "user@mail@example.com", false},
        ValidityCase{"Plus", "user+news@example.com", false},
        ValidityCase{"HighByteInLocal", "us\xE9r@example.com", false},
        ValidityCase{"HighByteInDomain", "user@ex\xE4mple.com", false},
        ValidityCase{"ZeroByte", Bytes("user@exa\0mple.com"), false},
        ValidityCase{"NoDotInDomain", "user@examplecom", false},
        ValidityCase{"LocalStartsWithDot", ".user@example.com", false},
        ValidityCase{"DomainStartsWithDot", "user@.example.com", false},
        ValidityCase{"LocalEndsWithItsOnlyDot", "user.@example.com", false},
        ValidityCase{"LocalEndsWithSecondDot", "us.er.@example.com", true},
        ValidityCase{"DomainEndsWithItsOnlyDot", "user@example.", false},
        ValidityCase{"DomainEndsWithSecondDot", "user@example.com.", true},
        ValidityCase{"DomainEndsWithTwoDots", "user@c..", true},
        ValidityCase{"FourCharsAfterLastDot", "user@example.test", false},
        ValidityCase{"FourCharsAfterLastOfTwoDots", "user@a.b.info", false},
        ValidityCase{"ThreeCharsAfterLastDot", "user@example.org", true},
        ValidityCase{"OneCharAfterLastDot", "ab@cd.e", true},
        ValidityCase{"ConsecutiveDots", "user@exa..mple.com", true},
        ValidityCase{"UpperCase", "USER@EXAMPLE.COM", true},
        ValidityCase{"MarksAndDigits", "-us_er-1@ex-ample_2.c0m", true},
        ValidityCase{"DigitsOnlyDomain", "user@1.2", true},
        ValidityCase{"LongLocalPart", std::string(100000, 'a') + "@b.cd", true}),
    [](const testing::TestParamInfo<ValidityCase>& info) { return info.param.name; });

}  // namespace
}  // namespace zofrin
