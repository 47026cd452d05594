#include "app/textboundaries.h"

#include <QList>

namespace zendry {

namespace {

// Where the pieces of the text begin, in order, and the text's end.
QList<int> boundaries(const QString &text, QAccessible::TextBoundaryType boundary)
{
    const int n = int(text.size());
    QList<int> out{ 0 };
    for (int i = 1; i < n; ++i) {
        if (boundary == QAccessible::CharBoundary) {
            if (!(text.at(i - 1).isHighSurrogate() && text.at(i).isLowSurrogate()))
                out << i;
        } else if (boundary == QAccessible::WordBoundary) {
            if (text.at(i - 1).isSpace() && !text.at(i).isSpace())
                out << i;
        }
    }
    if (n > 0)
        out << n;
    return out;
}

} // namespace

TextSpan textSpan(const QString &text, int offset, QAccessible::TextBoundaryType boundary, TextSide side)
{
    const int n = int(text.size());
    const QList<int> starts = boundaries(text, boundary);
    // The piece at the offset: the one it lies in; at the end of the text
    // the last one, or none for a character.
    int piece = 0;
    while (piece + 1 < starts.size() && starts.at(piece + 1) <= offset)
        ++piece;
    TextSpan at{ n, n };
    if (piece + 1 < starts.size())
        at = { starts.at(piece), starts.at(piece + 1) };
    else if (boundary != QAccessible::CharBoundary && piece > 0)
        at = { starts.at(piece - 1), n };
    switch (side) {
    case TextSide::At:
        return at;
    case TextSide::Before: {
        const int i = int(starts.indexOf(at.start));
        return i > 0 ? TextSpan{ starts.at(i - 1), at.start } : TextSpan{ 0, 0 };
    }
    case TextSide::After: {
        const int i = int(starts.indexOf(at.end));
        return i >= 0 && i + 1 < starts.size() ? TextSpan{ at.end, starts.at(i + 1) } : TextSpan{ n, n };
    }
    }
    return at;
}

} // namespace zendry
