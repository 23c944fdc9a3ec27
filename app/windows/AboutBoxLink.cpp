#include "app/windows/AboutBoxLink.h"

#include <memory>

#include "about/windows/AboutBoxWindow.h"

namespace gridloom {

std::function<void(HWND)> MakeAboutBox(HINSTANCE instance) {
    // Shared by every copy of the function, and so alive as long as the window holds one.
    auto box = std::make_shared<TAboutBoxWindow>(instance);
    return [box](HWND owner) { box->ShowModal(owner); };
}

}  // namespace gridloom
