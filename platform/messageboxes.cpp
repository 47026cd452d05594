#include "platform/messageboxes.h"

namespace zendry {

MessageBoxes::~MessageBoxes() = default;

} // namespace zendry
