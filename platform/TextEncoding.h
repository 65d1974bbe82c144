// Which encoding the tool's single-byte text is shown in. Files come from other systems: text
// that is valid UTF-8 is read as UTF-8, anything else (the whole text) as Windows-1252, so
// "Vitesse (0 à 255)" shows right from either kind of file. Every backend decodes by this rule
// with its system's own converter; what the user types comes back as UTF-8.
#pragma once

#include <string_view>

namespace platform {

enum class TextEncoding { Utf8, Windows1252 };

// UTF-8 unless some byte breaks the encoding: an overlong form, a surrogate, a code point beyond
// U+10FFFF, a stray or missing continuation byte.
TextEncoding TextEncodingOf(std::string_view bytes);

}  // namespace platform
