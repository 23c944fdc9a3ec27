// One application for all the tests of this program; see TQtEnvironment.
#include "AboutTestSupport.h"

namespace {
[[maybe_unused]] const auto* const QtEnvironment =
    ::testing::AddGlobalTestEnvironment(new gridloom::test::TQtEnvironment);
}
