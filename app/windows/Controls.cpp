#include "app/windows/Controls.h"

namespace gridloom {

HWND MakeControl(HWND parent, const char* className, const char* text, DWORD style, int id, DWORD exStyle) {
    auto* instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void Place(HWND control, const TRect& rect) {
    SetWindowPos(control, nullptr, rect.Left, rect.Top, rect.Width, rect.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AddHint(HWND tooltip, HWND owner, HWND control, const char* text) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool IsPushButton(HWND control) {
    char name[16] = {};
    if (!control || !GetClassNameA(control, name, sizeof name) || lstrcmpiA(name, "Button") != 0) return false;
    const LONG_PTR type = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void SetDefaultLook(HWND button, bool isDefault) {
    // The other style bits (BS_NOTIFY) stay as they are.
    const auto style = DWORD(GetWindowLongPtrA(button, GWL_STYLE));
    const DWORD type = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((style & BS_TYPEMASK) != type) SendMessageA(button, BM_SETSTYLE, (style & ~DWORD(BS_TYPEMASK)) | type, TRUE);
}

std::string MessageBoxText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

}  // namespace gridloom
