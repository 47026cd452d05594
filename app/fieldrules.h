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

// What a single-line box holds once `text` has been put into it with the
// caret left at `caret`: the box never holds a CR or an LF, so of what was
// just put in, what stands from its first line break on is dropped, as the
// desktop's own single-line boxes do with a pasted paragraph.
QString singleLine(const QString &text, int *caret);

} // namespace FieldRules

} // namespace zendry
