#pragma once

#include <QString>

namespace zendry {

// The small rules of the input fields.
namespace FieldRules {

// The characters still free of the 160 that the message, one separator and
// the signature share; a CR LF line break counts as one. Negative when too long.
qsizetype charsRemaining(const QString &message, const QString &signature);

// The recipient without spaces and plus signs; tabs and hyphens stay.
QString tidyNumber(const QString &number);

// A blank signature (nothing but spaces) takes the ZDID as it stands; any
// other stays exactly as typed.
QString refilledSignature(const QString &signature, const QString &zdid);

// The message as the user typed it, from the text document's own characters:
// its paragraph and line separators become CR LF, and everything else, a
// no-break space included, stays what it is.
QString messageFromDocument(const QString &raw);

} // namespace FieldRules

} // namespace zendry
