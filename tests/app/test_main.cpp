// The program's units that start before WinMain start here before the tests.
#include "RUKDynShlWAPI.h"

namespace {
ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;
}
