// Gridloom's own icon, at the sizes a desktop asks for. The program sets it as the
// application's window icon at start-up, so that every window and the About box show it.
#pragma once

#include <QIcon>

namespace gridloom {

QIcon GridloomIcon();

}  // namespace gridloom
