#pragma once

#include <QString>

#include <functional>

namespace zendry {

// The longest start of `text` that `fits`, as long as `fits` holds for every
// start shorter than one it holds for (a text that grows never gets smaller).
// Measures starts near the answer only, so a huge text costs little more
// than the part of it that fits; never splits a surrogate pair.
QString fittingStart(const QString &text, const std::function<bool(const QString &)> &fits);

} // namespace zendry
