#include "clipboard.h"

namespace kelvane {

Clipboard::~Clipboard() = default;

} // namespace kelvane
