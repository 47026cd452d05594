#include "service/credential.h"

#include "digest/csha256.h"
#include "platform/ansicodec.h"

namespace zendry {

namespace {

char16_t wireCode(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
        return 187 - c;
    if (c >= u'0' && c <= u'9')
        return 105 - c;
    switch (c) {
    case u' ':
        return u',';
    case u',':
        return u' ';
    case u'\r':
        return u':';
    case u':':
        return u'\r';
    case u'\n':
        return u';';
    case u';':
        return u'\n';
    default:
        return c;
    }
}

} // namespace

QString WireEncode(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = text.size(); i-- > 0;)
        *d++ = QChar(wireCode(text.at(i).unicode()));
    return out;
}

QString PasswordDigest(const QString &password)
{
    const CSHA256 sha;
    // Three digits a character, written from the back so the last character
    // comes first; the salt "Þ" closes the text.
    const qsizetype n = password.size();
    QString digits(3 * n + 1, Qt::Uninitialized);
    QChar *d = digits.data();
    for (qsizetype i = n; i-- > 0;) {
        const int code = AnsiCodec::code(password.at(i));
        const char piece[3] = { char('0' + code / 10 % 10), char('0' + code % 10), char('0' + code / 100) };
        *d++ = QLatin1Char(piece[0]);
        *d++ = QLatin1Char(piece[1]);
        *d++ = QLatin1Char(piece[2]);
    }
    *d = QChar(0x00DE);
    return sha.SHA256(digits);
}

QString storedPasswordHash(const QString &typed, const QString &held)
{
    if (typed.isEmpty())
        return {};
    if (typed == passwordMask)
        return held;
    try {
        return PasswordDigest(typed);
    } catch (const std::exception &) {
        // A password too long to digest is no password the service could know.
        return {};
    }
}

} // namespace zendry
