#include "platform/fittingtext.h"

namespace zendry {

namespace {

const QString ellipsis = QStringLiteral("\u2026");

qsizetype atCharacter(QStringView text, qsizetype n)
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

QString brokenLongWords(const QString &text, const std::function<bool(QStringView)> &fitsOnLine)
{
    QString out;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u' ' && text.at(end) != u'\n')
            ++end;
        QStringView word = QStringView(text).sliced(start, end - start);
        while (!word.isEmpty() && !fitsOnLine(word)) {
            // The longest start of the word that fits, one character at least.
            qsizetype good = 1;
            qsizetype bad = word.size();
            while (bad - good > 1) {
                const qsizetype mid = good + (bad - good) / 2;
                (fitsOnLine(word.first(mid)) ? good : bad) = mid;
            }
            good = qMax<qsizetype>(1, atCharacter(word, good));
            out += word.first(good);
            out += u'\n';
            word = word.sliced(good);
        }
        out += word;
        if (end < text.size())
            out += text.at(end);
        start = end + 1;
    }
    return out;
}

} // namespace zendry
