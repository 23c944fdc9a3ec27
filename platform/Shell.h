// Handing a web address to the desktop's browser.
#pragma once

#include <string>

namespace gridloom {

// Opens url with the desktop's "open" action (xdg-open on Linux). The opener is started
// detached, in its own session, with no shell in between, and is never waited for; the
// call returns at once. True when the opener was started; whether it then succeeds is
// not known and nothing is ever reported. Addresses that are empty, begin with '-' (the
// opener would take them for an option) or hold control characters are refused.
bool ShellOpen(const std::string& url);

// Whether ShellOpen would hand url on: not empty, not beginning with '-', no control characters.
bool IsAcceptableUrl(const std::string& url);

// The full path of program found along PATH (or program itself when it contains a '/'
// and is executable); empty when there is none.
std::string FindProgram(const std::string& program);

}  // namespace gridloom
