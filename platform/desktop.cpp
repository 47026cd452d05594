#include "platform/desktop.h"

namespace zendry {

Desktop::~Desktop() = default;

} // namespace zendry
