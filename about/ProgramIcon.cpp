#include "about/ProgramIcon.h"

// Resources compiled into a static library are registered only when asked for by name.
static void RegisterIcons() { Q_INIT_RESOURCE(icons); }

namespace gridloom {

QIcon GridloomIcon() {
    RegisterIcons();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/gridloom/icons/gridloom-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace gridloom
