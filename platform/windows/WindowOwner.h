// A window whose messages the C++ object that made it answers. AttachOwner keeps the object
// in the window's GWLP_USERDATA and makes ForwardToOwner<T> the window's procedure, which
// hands every message to owner->HandleMessage; a window whose owner has let go (user data
// set to 0) gets the system's default answers.
#pragma once

#include "platform/windows/WinApi.h"

namespace gridloom {

template <class T>
LRESULT CALLBACK ForwardToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<T*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (owner == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    return owner->HandleMessage(message, wParam, lParam);
}

template <class T>
void AttachOwner(HWND window, T* owner) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForwardToOwner<T>));
}

}  // namespace gridloom
