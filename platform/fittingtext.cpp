#include "platform/fittingtext.h"

namespace zendry {

namespace {

qsizetype atCharacter(const QString &text, qsizetype n)
{
    return n > 0 && n < text.size() && text.at(n).isLowSurrogate() ? n - 1 : n;
}

} // namespace

QString fittingStart(const QString &text, const std::function<bool(const QString &)> &fits)
{
    // Double a start that fits until one does not, then halve the gap.
    qsizetype good = 0;
    qsizetype bad = 0;
    for (qsizetype n = 256;; n *= 2) {
        const qsizetype length = qMin(n, text.size());
        if (!fits(text.left(atCharacter(text, length)))) {
            bad = length;
            break;
        }
        if (length == text.size())
            return text;
        good = length;
    }
    while (bad - good > 1) {
        const qsizetype mid = good + (bad - good) / 2;
        if (fits(text.left(atCharacter(text, mid))))
            good = mid;
        else
            bad = mid;
    }
    return text.left(atCharacter(text, good));
}

} // namespace zendry
