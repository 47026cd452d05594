#include "platform/fittingtext.h"

namespace zendry {

namespace {

const QString ellipsis = QStringLiteral("\u2026");

qsizetype atCharacter(const QString &text, qsizetype n)
{
    return n > 0 && n < text.size() && text.at(n).isLowSurrogate() ? n - 1 : n;
}

} // namespace

QString fittingText(const QString &text, const std::function<bool(const QString &)> &fits)
{
    // A start of n characters is measured as it would be shown.
    const auto shown = [&text](qsizetype n) {
        const qsizetype length = atCharacter(text, n);
        return length == text.size() ? text : text.left(length) + ellipsis;
    };
    // Double a start that fits until one does not, then halve the gap.
    qsizetype good = 0;
    qsizetype bad = 0;
    for (qsizetype n = 256;; n *= 2) {
        const qsizetype length = qMin(n, text.size());
        if (!fits(shown(length))) {
            bad = length;
            break;
        }
        if (length == text.size())
            return text;
        good = length;
    }
    while (bad - good > 1) {
        const qsizetype mid = good + (bad - good) / 2;
        if (fits(shown(mid)))
            good = mid;
        else
            bad = mid;
    }
    return shown(good);
}

} // namespace zendry
