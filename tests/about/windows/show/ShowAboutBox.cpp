// Shows the native About box alone, as the program's "About" shows it, until it is closed:
// for looking at it, and for taking its picture (about/windows/about-box-wine.sh).
//   gridloom.exe [file]   with a file: writes the box's place on the screen into it once
//                         the box is shown ("left top width height"), for cropping a picture
#include <cstdio>
#include <string>

#include "about/windows/AboutBoxWindow.h"

namespace {

gridloom::TAboutBoxWindow* Box = nullptr;
std::string PlaceFile;

void CALLBACK WritePlace(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    RECT r;
    if (!GetWindowRect(Box->Handle(), &r)) return;
    if (std::FILE* f = std::fopen(PlaceFile.c_str(), "w")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(f);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    gridloom::TAboutBoxWindow box(instance);
    Box = &box;
    PlaceFile = commandLine != nullptr ? commandLine : "";
    // Written once the box has been placed and painted.
    if (!PlaceFile.empty()) SetTimer(nullptr, 0, 500, &WritePlace);
    box.ShowModal(nullptr);
    return 0;
}
