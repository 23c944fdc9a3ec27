#include "tools/make/ConsoleHost.h"

namespace gridloom {

namespace {
constexpr int BarWidth = 40;
}

std::string ConsoleText(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        if (c == '\r') c = '\n';
    return result;
}

TConsoleHost::TConsoleHost(const TMakeOptions& options, std::FILE* err, bool terminal)
    : FOptions(options), FErr(err), FTerminal(terminal) {
    // The window's new canvas: size, style and name set, colour left as it comes.
    TFont& font = FBitmap.Canvas().Font;
    font.Size = options.FontSize;
    font.Style = options.FontStyle;
    font.Name = options.FontName;
}

void TConsoleHost::Print(const std::string& text) {
    EraseBar();
    std::fputs(ConsoleText(text).c_str(), FErr);
    std::fputc('\n', FErr);
    std::fflush(FErr);
}

void TConsoleHost::Error(const std::string& text) { Print(text); }

void TConsoleHost::EraseBar() {
    if (FBarShown == 0) return;
    std::fprintf(FErr, "\r%*s\r", BarWidth + 8, "");
    FBarShown = 0;
}

void TConsoleHost::ShowStatus(const std::string& text) {
    if (!FOptions.Quiet) Print(text);
}

bool TConsoleHost::AskYesNo(const std::string& caption, const std::string& text) {
    Print(caption + "\r" + text);
    return false;
}

bool TConsoleHost::WarnOkCancel(const std::string& text) {
    if (!FOptions.Quiet) Print("Warning: " + text + "\r(carrying on)");
    return true;
}

bool TConsoleHost::ConfirmYesNo(const std::string& text) {
    if (FOptions.OverwriteReadOnly) {
        if (!FOptions.Quiet) Print(text + " Yes (--overwrite-readonly).");
        return true;
    }
    Print(text + " No: give --overwrite-readonly to overwrite it.");
    return false;
}

void TConsoleHost::Inform(const std::string& text) { Print(text); }

void TConsoleHost::SetProgress(int position) {
    if (!FTerminal || FOptions.Quiet) return;
    if (position <= 0) {  // the run resets the bar when it ends
        EraseBar();
        return;
    }
    if (position > 100) position = 100;
    if (position == FBarShown) return;
    const int filled = position * BarWidth / 100;
    std::string bar = "\r[" + std::string(std::size_t(filled), '#') + std::string(std::size_t(BarWidth - filled), ' ') +
                      "] " + std::to_string(position) + "%";
    std::fputs(bar.c_str(), FErr);
    std::fflush(FErr);
    FBarShown = position;
}

}  // namespace gridloom
