// Turns the tool's single-byte text into what the toolkit shows, and back.
#pragma once

#include <QString>
#include <string_view>

#include "platform/CString.h"

namespace platform {

// Files come from other systems: text that is valid UTF-8 is read as UTF-8, anything else as
// Windows-1252, so "Vitesse (0 à 255)" shows right from either kind of file.
QString DecodeText(std::string_view bytes);

// What the user typed, as bytes (UTF-8).
CString EncodeText(const QString& text);

}  // namespace platform
