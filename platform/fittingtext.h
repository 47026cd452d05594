#pragma once

#include <QString>

#include <functional>

namespace zendry {

// `text` itself when it `fits`; otherwise its longest start that, followed
// by "…", still fits, with the "…" that tells the reader something is
// missing. `fits` must hold for every start shorter than one it holds for (a
// text that grows never gets smaller). Measures starts near the answer
// only, so a huge text costs little more than the part of it that fits;
// never splits a surrogate pair.
QString fittingText(const QString &text, const std::function<bool(const QString &)> &fits);

// `text` with every word that `fitsOnLine` refuses broken into pieces that
// fit, each piece on a line of its own: a box wraps its text between words
// only, and would cut off the rest of a word longer than its width.
QString brokenLongWords(const QString &text, const std::function<bool(QStringView)> &fitsOnLine);

} // namespace zendry
