#include "app/fieldrules.h"

#include "platform/trim.h"

#include <algorithm>

namespace zendry::FieldRules {

qsizetype charsRemaining(const QString &message, const QString &signature)
{
    const qsizetype breaks = message.count(QLatin1String("\r\n"));
    return 160 - (message.size() - breaks + 1 + signature.size());
}

QString tidyNumber(const QString &number)
{
    return QString(number).remove(u' ').remove(u'+');
}

QString refilledSignature(const QString &signature, const QString &zdid)
{
    return trimSpaces(signature).isEmpty() ? zdid : signature;
}

QString messageFromDocument(const QString &raw)
{
    QString text;
    text.reserve(raw.size());
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            text += QLatin1String("\r\n");
        else
            text += c;
    }
    return text;
}

QString singleLine(const QString &text, int *caret)
{
    const auto isBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
    const int cut = int(std::find_if(text.begin(), text.end(), isBreak) - text.begin());
    if (cut == text.size())
        return text;
    if (*caret <= cut)
        return text.left(cut);
    // The break was put in before the caret: what follows the caret was there before.
    int none = 0;
    const QString kept = text.left(cut) + singleLine(text.mid(*caret), &none);
    *caret = cut;
    return kept;
}

} // namespace zendry::FieldRules
