// The clock tests stand in for the real one: it moves only when told, so nothing waits.
#pragma once

#include "platform/Services.hpp"

namespace tk::testing {

using ManualClock = VirtualClock;

} // namespace tk::testing
