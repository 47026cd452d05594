// WireEncode undoes itself, and CSHA256 agrees with Qt's SHA-256 on the same
// bytes, one character a byte.
#include "digest/csha256.h"
#include "service/credential.h"

#include <QCryptographicHash>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = QString::fromLatin1(bytes);
    if (zendry::WireEncode(zendry::WireEncode(text)) != text)
        std::abort();

    // Pairs of bytes as wide characters: only the low byte is hashed.
    QString wide(qsizetype(size / 2), Qt::Uninitialized);
    QByteArray low(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2) {
        wide[qsizetype(i / 2)] = QChar(char16_t(data[i] << 8 | data[i + 1]));
        low[qsizetype(i / 2)] = char(data[i + 1]);
    }
    const CSHA256 sha;
    const QByteArray expected = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    if (sha.SHA256(text) != QString::fromLatin1(expected))
        std::abort();
    if (sha.SHA256(wide)
        != QString::fromLatin1(QCryptographicHash::hash(low, QCryptographicHash::Sha256).toHex()))
        std::abort();
    if (zendry::PasswordDigest(text.left(64)).size() != 64)
        std::abort();
    return 0;
}
