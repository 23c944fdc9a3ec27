#include "app/windows/MessageLoop.h"

namespace gridloom {

namespace {

void Deliver(HWND mainWindow, MSG& message) {
    if (mainWindow && IsWindow(mainWindow) && IsDialogMessageA(mainWindow, &message)) {
        if (message.message == WM_KEYDOWN) PostMessageA(mainWindow, FocusMayHaveMoved, 0, 0);
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

}  // namespace

int RunMessageLoop(HWND mainWindow) {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) Deliver(mainWindow, message);
    return int(message.wParam);
}

void ProcessWaitingMessages(HWND mainWindow) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return;
        }
        Deliver(mainWindow, message);
    }
}

}  // namespace gridloom
