// The Win32 backend's text rules: what config.inf's bytes show as, what typed text comes back
// as, and the file dialog's filter in the system's form.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/win32/FileFilter.h"
#include "platform/win32/WideText.h"

namespace {

using platform::win32::Narrow;
using platform::win32::ToFilterPairs;
using platform::win32::Widen;

struct Decoding {
  const char* name;
  std::string_view bytes;
  std::wstring_view shown;
};

// Valid UTF-8 reads as UTF-8; anything else, the whole text, as Windows-1252.
const Decoding kDecodings[] = {
    {"empty", "", L""},
    {"ascii", "Speed (0 to 255)", L"Speed (0 to 255)"},
    {"utf8", "Vitesse (0 \xC3\xA0 255)", L"Vitesse (0 \u00E0 255)"},
    {"utf8Euro", "\xE2\x82\xAC", L"\u20AC"},
    {"windows1252", "Vitesse (0 \xE0 255)", L"Vitesse (0 \u00E0 255)"},
    {"windows1252Euro", "\x80", L"\u20AC"},
    {"windows1252Quotes", "\x93ok\x94", L"\u201Cok\u201D"},
    {"mixedIsWholly1252", "\xC3\xA9\xE9", L"\u00C3\u00A9\u00E9"},
    {"overlongIsNotUtf8", "\xC0\xAF", L"\u00C0\u00AF"},
    {"truncatedUtf8", "caf\xC3", L"caf\u00C3"},
    {"embeddedNul", std::string_view("a\0b", 3), std::wstring_view(L"a\0b", 3)},
};

TEST(WideText, DecodesConfigBytes) {
  for (const auto& c : kDecodings) {
    EXPECT_EQ(Widen(c.bytes), std::wstring(c.shown)) << c.name;
  }
}

TEST(WideText, TypedTextComesBackAsUtf8) {
  const struct {
    std::wstring_view typed;
    std::string_view bytes;
  } cases[] = {
      {L"", ""},
      {L"123", "123"},
      {L"\u00E9t\u00E9 \u20AC", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"},
      {L"\U0001F600", "\xF0\x9F\x98\x80"},  // beyond the basic plane: a surrogate pair
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Narrow(c.typed), std::string(c.bytes));
    EXPECT_EQ(Widen(Narrow(c.typed)), std::wstring(c.typed));
  }
}

TEST(FileFilter, BecomesNulSeparatedPairs) {
  const struct {
    const char* filter;
    std::wstring_view pairs;
  } cases[] = {
      {"Tervio Saved Settings (*.tss)|*.tss|All Files(*.*)|*.*||",
       std::wstring_view(L"Tervio Saved Settings (*.tss)\0*.tss\0All Files(*.*)\0*.*\0\0", 56)},
      {"Text|*.txt;*.log", std::wstring_view(L"Text\0*.txt;*.log\0\0", 18)},
      {"A||B|*.b||", std::wstring_view(L"\0", 1)},       // "||" ends the list
      {"A|*.a|B", std::wstring_view(L"A\0*.a\0\0", 7)},  // a description without patterns
      {"", std::wstring_view(L"\0", 1)},                 // no filter at all
      {"Caf\xC3\xA9|*.c||", std::wstring_view(L"Caf\u00E9\0*.c\0\0", 10)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToFilterPairs(c.filter), std::wstring(c.pairs)) << c.filter;
  }
}

}  // namespace
