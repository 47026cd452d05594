#pragma once

#include <QString>

namespace zendry {

// The reversible scrambling every request body goes through: ASCII letters,
// digits and four swapped pairs are mapped, and the text is reversed.
// Applying it twice gives the text back.
QString WireEncode(QStringView text);

// The credential digest that stands in for a password: each character's
// Windows-1252 code as three rotated digits, last character first, then the
// salt, hashed with SHA-256. 64 lower-case hex digits.
QString PasswordDigest(const QString &password);

} // namespace zendry
