#include "app/fieldrules.h"

#include "platform/trim.h"

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

} // namespace zendry::FieldRules
