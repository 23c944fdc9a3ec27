// Text between Qt and the engine. The engine's text (file names, messages, font names) is
// Windows-1252 (platform/Windows1252.h); Qt's is Unicode. Every crossing goes through here,
// never through Qt's local 8-bit conversion, which is UTF-8 on this platform.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/Windows1252.h"

namespace gridloom {

inline QString FromEngineText(std::string_view text) { return QString::fromStdString(Windows1252ToUtf8(text)); }

// A character Windows-1252 has no byte for becomes "?".
inline std::string ToEngineText(const QString& text) { return Utf8ToWindows1252(text.toStdString()); }

}  // namespace gridloom
