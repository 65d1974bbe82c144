#include "platform/TextEncoding.h"

namespace platform {

namespace {

// The length of the sequence that `lead` starts and the least value of its second byte; 0 when
// `lead` starts none (a continuation byte, C0, C1, or F5 and above).
struct Lead {
  int length;
  unsigned char secondLow;   // excludes overlong forms (E0, F0) ...
  unsigned char secondHigh;  // ... surrogates (ED) and code points beyond U+10FFFF (F4)
};

Lead LeadOf(unsigned char byte) {
  if (byte < 0x80) return {1, 0, 0};
  if (byte < 0xC2) return {0, 0, 0};
  if (byte < 0xE0) return {2, 0x80, 0xBF};
  if (byte == 0xE0) return {3, 0xA0, 0xBF};
  if (byte == 0xED) return {3, 0x80, 0x9F};
  if (byte < 0xF0) return {3, 0x80, 0xBF};
  if (byte == 0xF0) return {4, 0x90, 0xBF};
  if (byte < 0xF4) return {4, 0x80, 0xBF};
  if (byte == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

TextEncoding TextEncodingOf(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const Lead lead = LeadOf(static_cast<unsigned char>(bytes[i]));
    if (lead.length == 0 || bytes.size() - i < static_cast<std::size_t>(lead.length)) {
      return TextEncoding::Windows1252;
    }
    for (int k = 1; k < lead.length; ++k) {
      const auto byte = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      const unsigned char low = k == 1 ? lead.secondLow : 0x80;
      const unsigned char high = k == 1 ? lead.secondHigh : 0xBF;
      if (byte < low || byte > high) return TextEncoding::Windows1252;
    }
    i += static_cast<std::size_t>(lead.length);
  }
  return TextEncoding::Utf8;
}

}  // namespace platform
