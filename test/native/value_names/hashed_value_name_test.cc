#include "value_names/hashed_value_name.h"

#include <gtest/gtest.h>

#include <string>

namespace registry_addon {
namespace {

struct HashCase {
  const char* label;
  std::string name;
  std::string expected;
};

class HashedValueNameTest : public testing::TestWithParam<HashCase> {};

TEST_P(HashedValueNameTest, BuildsNameHashAndSuffix) {
  EXPECT_EQ(hashedValueName(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HashedValueNameTest,
    testing::Values(
        HashCase{"Empty", "", "_h5381"}, HashCase{"OneLetter", "a", "a_h177604"},
        HashCase{"TwoLetters", "ab", "ab_h5860902"}, HashCase{"Abc", "abc", "abc_h193409669"},
        // Bytes above 0x7F are widened with their sign; unsigned widening gives 5857935.
        HashCase{"SignWidenedBytes", "\xc3\xa9", "\xc3\xa9_h5859471"},
        // A hash at or above 2^31 is written unsigned, not as -1240901670.
        HashCase{"HashAbove2To31", "Height", "Height_h3054065626"},
        // The hash stops at the first NUL, but the whole name is kept.
        HashCase{"NulInside", std::string("ab\0c", 4), std::string("ab\0c_h5860902", 13)},
        HashCase{"NulOnly", std::string("\0", 1), std::string("\0_h5381", 7)}),
    [](const testing::TestParamInfo<HashCase>& info) { return info.param.label; });

}  // namespace
}  // namespace registry_addon
