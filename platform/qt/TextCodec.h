// Turns the tool's single-byte text into what the toolkit shows, and back.
#pragma once

#include <QString>
#include <string_view>

#include "platform/CString.h"

namespace platform::qt {

// By the layer's rule (platform/TextEncoding.h): UTF-8 when valid, else Windows-1252.
QString DecodeText(std::string_view bytes);

// What the user typed, as bytes (UTF-8).
CString EncodeText(const QString& text);

}  // namespace platform::qt
