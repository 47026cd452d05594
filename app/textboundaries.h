#pragma once

#include <QAccessible>
#include <QString>

namespace zendry {

// A piece of a one-line box's text, from `start` up to `end`.
struct TextSpan
{
    int start = 0;
    int end = 0;
    bool operator==(const TextSpan &other) const { return start == other.start && end == other.end; }
};

enum class TextSide { Before, At, After };

// The piece of `text` at, before or after `offset` (0 to the text's length)
// as a screen reader asks for it, the way the desktop's one-line edit boxes
// answer: a character is one character (a pair of surrogates counts as one);
// a word runs from its start to the next word's start, its white space
// after it included, words being what lies between white space; a
// sentence, a line, a paragraph and no boundary at all are the whole text,
// which has no line breaks. At the end of the text there is no character,
// but the word and the line are the last ones. Where no piece lies, before
// the first or after the last, the span is empty at that end.
TextSpan textSpan(const QString &text, int offset, QAccessible::TextBoundaryType boundary, TextSide side);

} // namespace zendry
