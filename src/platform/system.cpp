#include "system.h"

namespace platform {

System::~System() = default;

} // namespace platform
