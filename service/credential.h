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

// What the password box shows while a stored digest stands in for the password.
inline const QString passwordMask = QStringLiteral("**********");

// The digest once the password box is left: none for an empty box, the one
// already held while the box shows the mask, else the digest of the text as
// typed, spaces and all.
QString storedPasswordHash(const QString &typed, const QString &held);

} // namespace zendry
