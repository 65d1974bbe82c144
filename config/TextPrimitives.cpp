#include "config/TextPrimitives.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace config {

namespace {

// The classic locale's whitespace, which word extraction skips.
bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ReadWord(std::istream& in, TextBuffer& word) {
  word[0] = '\0';
  int c = in.get();
  while (c != std::char_traits<char>::eof() && IsSpace(c)) c = in.get();
  if (c == std::char_traits<char>::eof()) return false;
  int length = 0;
  while (c != std::char_traits<char>::eof() && !IsSpace(c)) {
    if (length < kTextLimit) word[length++] = static_cast<char>(c);
    c = in.get();
  }
  word[length] = '\0';
  if (c != std::char_traits<char>::eof()) in.unget();  // the whitespace stays in the stream
  in.clear(in.rdstate() & ~std::ios::failbit);
  return true;
}

bool ReadUpToQuote(std::istream& in, TextBuffer& text) {
  int length = 0;
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    if (c == '"') {
      text[length] = '\0';
      return true;
    }
    if (length < kTextLimit) text[length++] = static_cast<char>(c);
  }
  text[length] = '\0';
  return false;
}

bool ReadQuotedValue(std::istream& in, TextBuffer& value) {
  TextBuffer passedOver;
  value[0] = '\0';
  return ReadUpToQuote(in, passedOver) && ReadUpToQuote(in, value);
}

int ToInteger(const char* text) {
  while (IsSpace(static_cast<unsigned char>(*text))) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  std::int64_t magnitude = 0;
  for (; IsDigit(static_cast<unsigned char>(*text)); ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > static_cast<std::int64_t>(INT_MAX) + 1) break;  // held at the bound below
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void CopyText(TextBuffer& destination, const char* source) {
  const std::size_t length = source ? strnlen(source, kTextLimit) : 0;
  if (length > 0) std::memcpy(destination, source, length);
  destination[length] = '\0';
}

}  // namespace config
