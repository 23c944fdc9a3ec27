// Built into a shared library with the component: reports which file a component living
// in this library chooses to read.
#include <cstring>

#include "about/VersInfo.h"

extern "C" __attribute__((visibility("default"))) void ProbeResourceFilename(bool forceExe, char* out, unsigned size) {
    gridloom::TVersionInfoResource resource;
    resource.SetForceEXE(forceExe);
    QByteArray name = resource.GetResourceFilename().toUtf8();
    std::strncpy(out, name.constData(), size - 1);
    out[size - 1] = 0;
}
