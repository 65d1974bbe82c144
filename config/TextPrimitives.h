// The two ways both text formats are read, and their decimal conversion. A read is at most 99
// characters; what lies beyond is skipped, so that the reader stays in step with the file.
#pragma once

#include <istream>

namespace config {

constexpr int kTextLimit = 99;
using TextBuffer = char[kTextLimit + 1];

// Skips whitespace, then takes the characters up to the next whitespace or the end of the file.
// A longer word keeps its first 99 characters. False when the end of the file comes before a word.
bool ReadWord(std::istream& in, TextBuffer& word);

// Takes everything up to the next double quote, which it consumes; at most the first 99
// characters are kept. False when the end of the file comes before the quote.
bool ReadUpToQuote(std::istream& in, TextBuffer& text);

// A quoted value: passes over everything up to and including the next double quote, then takes
// the text up to the closing quote. False when the end of the file cuts it off.
bool ReadQuotedValue(std::istream& in, TextBuffer& value);

// Decimal text to a number as atoi does it: leading whitespace skipped, an optional sign, digits
// up to the first non-digit, 0 when there are none. Beyond the integer range it stays at the
// nearest bound instead of overflowing.
int ToInteger(const char* text);

// Copies text into a 100-character buffer, cut to its first 99 characters.
void CopyText(TextBuffer& destination, const char* source);

}  // namespace config
