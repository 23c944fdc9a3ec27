// Windows-1252, the 8-bit code page all of Gridloom's text is in: bytes 0x80-0x9F are the
// typographic marks of that code page, the others their Latin-1 characters. Also its way to
// and from Unicode, for the libraries and files that speak only that.
#pragma once

#include <string>
#include <string_view>

namespace gridloom {

// The Unicode character of a byte. The five bytes the code page leaves unassigned map to the
// control characters of the same number, as Windows maps them.
char32_t Windows1252ToUnicode(unsigned char byte);

// The byte of a Unicode character, or -1 when the code page has no byte for it.
int UnicodeToWindows1252(char32_t character);

// Appends a Unicode character (up to U+FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t character);

std::string Windows1252ToUtf8(std::string_view text);

// UTF-8 as Windows-1252, appended to `out`. A character the code page has no byte for is
// written "?"; a byte that does not start a valid sequence is kept as it is. False when
// either happened, so that the caller knows the text did not convert whole.
bool Utf8ToWindows1252(std::string_view bytes, std::string& out);
std::string Utf8ToWindows1252(std::string_view utf8);

}  // namespace gridloom
