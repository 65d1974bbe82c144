// Which encoding the layer shows the tool's bytes in: UTF-8 when the whole text is valid UTF-8,
// else Windows-1252. One row per way a text can break (or keep) the encoding.
#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

#include "platform/TextEncoding.h"
#include "tests/neutral/support/CaseName.h"

namespace {

using platform::TextEncoding;

struct EncodingCase {
  const char* name;
  std::string_view bytes;
  TextEncoding encoding;
};

void PrintTo(const EncodingCase& row, std::ostream* out) { *out << row.name; }

constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto k1252 = TextEncoding::Windows1252;

const EncodingCase kCases[] = {
    {"empty", "", kUtf8},
    {"ascii", "Speed (0 to 255)", kUtf8},
    {"embedded NUL", std::string_view("a\0b", 3), kUtf8},
    {"two bytes", "Vitesse (0 \xC3\xA0 255)", kUtf8},
    {"three bytes", "\xE2\x82\xAC", kUtf8},
    {"four bytes", "\xF0\x9F\x98\x80", kUtf8},
    {"last code point", "\xF4\x8F\xBF\xBF", kUtf8},
    {"last before surrogates", "\xED\x9F\xBF", kUtf8},
    {"Windows-1252 letter", "Vitesse (0 \xE0 255)", k1252},
    {"Windows-1252 euro", "\x80", k1252},
    {"Windows-1252 quotes", "\x93ok\x94", k1252},
    {"valid then invalid", "\xC3\xA9\xE9", k1252},
    {"overlong two bytes", "\xC0\xAF", k1252},
    {"overlong three bytes", "\xE0\x80\xAF", k1252},
    {"overlong four bytes", "\xF0\x80\x80\x80", k1252},
    {"surrogate", "\xED\xA0\x80", k1252},
    {"beyond the last code point", "\xF4\x90\x80\x80", k1252},
    {"no lead byte above F4", "\xF5\x80\x80\x80", k1252},
    {"truncated at the end", "caf\xC3", k1252},
    {"third byte no continuation", "\xE2\x82\x41", k1252},
    {"fourth byte no continuation", "\xF0\x9F\x98\x41", k1252},
};

class TextEncodingOf : public testing::TestWithParam<EncodingCase> {};

TEST_P(TextEncodingOf, ChoosesUtf8OnlyForValidText) {
  EXPECT_EQ(platform::TextEncodingOf(GetParam().bytes), GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(Rows, TextEncodingOf, testing::ValuesIn(kCases), neutral::ByCaseName{});

}  // namespace
