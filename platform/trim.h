#pragma once

#include <QString>

namespace zendry {

// Removes leading and trailing spaces (code 32) only. Tabs and line breaks
// are part of the text: QString::trimmed() would take them too.
QString trimSpaces(const QString &text);

} // namespace zendry
