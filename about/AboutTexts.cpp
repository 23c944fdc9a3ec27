#include "about/AboutTexts.h"

#include "GridloomIdentity.h"

namespace gridloom {

std::string AboutBoxCaption(const std::string& productName) { return "About Veskar's " + productName; }

std::string AboutVersionLine(const std::string& programFile, const std::string& fileVersion,
                             const std::string& comments) {
    return programFile + ", V" + fileVersion + ", " + comments;
}

std::string WebSiteAddress(const std::string& linkText) {
    if (linkText.empty()) return {};
    if (linkText.find("http://") != std::string::npos) return linkText;
    return "http://" + linkText;
}

std::string DeveloperNotice() {
    return std::string("Software developed by ") + identity::Developer + ", " + identity::Town +
           ", e-mail: " + identity::Email + ".  Support is from your software supplier or via:";
}

std::string SupportAddress() { return identity::SupportAddress; }

}  // namespace gridloom
