// What the About box says, apart from the widgets that say it: its captions, the version
// line, the developer's notice and the rule for the link's address. Each toolkit's box
// shows these texts, filled from the values of the program's version block
// (VersionValues.h); where they sit is in AboutLayout.h.
//
// Texts are 8-bit: UTF-8 here, the system's code page on Windows, as the block holds them.
#pragma once

#include <string>

namespace gridloom {

// The captions the forms carry before their first show, which replaces them.
inline constexpr const char* PlainAboutCaption = "About";
inline constexpr const char* VersionAboutCaption = "AboutBoxMOX";
inline constexpr const char* HelpAboutCaption = "AboutBoxMOX1";

// The labels' texts before the version block fills them; "Comments" is never filled.
inline constexpr const char* ProductNameDesignText = "Product Name";
inline constexpr const char* VersionDesignText = "Version";
inline constexpr const char* CopyrightDesignText = "Copyright";
inline constexpr const char* CommentsText = "Comments";
inline constexpr const char* WebSiteDesignText = "WebSite";
inline constexpr const char* OKButtonText = "OK";

// The block's key of the developer's web-site address.
inline constexpr const char* WebSiteKey = "Web site";

// "About Veskar's " and the product name.
std::string AboutBoxCaption(const std::string& productName);

// "<program file>, V<file version>, <comments>": the program's file name (extension
// included), its version and its release date. Empty values leave their separators.
std::string AboutVersionLine(const std::string& programFile, const std::string& fileVersion,
                             const std::string& comments);

// The address the link opens for its text: "http://" in front unless the text holds it
// exactly (letter case counts, so "HTTP://" and "https://" get it too); empty for an empty
// text, which opens nothing.
std::string WebSiteAddress(const std::string& linkText);

// "Software developed by <developer>, <town>, e-mail: <address>.  Support is from your
// software supplier or via:"; the support address follows below it.
std::string DeveloperNotice();

// The address for subscribing to the support mailing list.
std::string SupportAddress();

}  // namespace gridloom
