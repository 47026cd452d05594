#include "app/lineeditaccessible.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QValidator>

namespace zendry {

namespace {

QAccessibleInterface *forLineEdit(const QString &, QObject *object)
{
    auto *box = qobject_cast<QLineEdit *>(object);
    return box ? new LineEditAccessible(box) : nullptr;
}

} // namespace

LineEditAccessible::LineEditAccessible(QLineEdit *box) : QAccessibleWidget(box, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

void LineEditAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(forLineEdit);
        return true;
    }();
    Q_UNUSED(installed);
}

QLineEdit *LineEditAccessible::box() const
{
    return static_cast<QLineEdit *>(widget());
}

QString LineEditAccessible::shown() const
{
    switch (box()->echoMode()) {
    case QLineEdit::Normal:
        return box()->text();
    case QLineEdit::NoEcho:
        return QString();
    default:
        return QString(box()->text().size(), u'*');
    }
}

QString LineEditAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value && !shown().isEmpty())
        return shown();
    return QAccessibleWidget::text(t);
}

void LineEditAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    QString newText = text;
    int pos = 0;
    if (box()->validator() && box()->validator()->validate(newText, pos) != QValidator::Acceptable)
        return;
    box()->setText(newText);
}

QAccessible::State LineEditAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = box()->isReadOnly();
    s.editable = !box()->isReadOnly();
    s.passwordEdit = box()->echoMode() != QLineEdit::Normal;
    s.selectableText = true;
    return s;
}

void *LineEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void LineEditAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !box()->hasSelectedText())
        return;
    *startOffset = box()->selectionStart();
    *endOffset = box()->selectionEnd();
}

int LineEditAccessible::selectionCount() const
{
    return box()->hasSelectedText() ? 1 : 0;
}

void LineEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LineEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        box()->deselect();
}

void LineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        box()->setSelection(startOffset, endOffset - startOffset);
}

int LineEditAccessible::cursorPosition() const
{
    return box()->cursorPosition();
}

void LineEditAccessible::setCursorPosition(int position)
{
    box()->setCursorPosition(position);
}

QString LineEditAccessible::text(int startOffset, int endOffset) const
{
    const QString all = shown();
    startOffset = qBound(0, startOffset, int(all.size()));
    endOffset = qBound(0, endOffset, int(all.size()));
    return startOffset < endOffset ? all.mid(startOffset, endOffset - startOffset) : QString();
}

int LineEditAccessible::place(int offset) const
{
    if (offset == -2)
        return cursorPosition();
    const int n = characterCount();
    if (offset == -1)
        return n;
    return offset >= 0 && offset <= n ? offset : -1;
}

QString LineEditAccessible::piece(int offset, QAccessible::TextBoundaryType boundaryType, TextSide side,
                                  int *startOffset, int *endOffset) const
{
    const int at = place(offset);
    if (at < 0) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    const TextSpan span = textSpan(shown(), at, boundaryType, side);
    *startOffset = span.start;
    *endOffset = span.end;
    return text(span.start, span.end);
}

QString LineEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int *startOffset, int *endOffset) const
{
    return piece(offset, boundaryType, TextSide::Before, startOffset, endOffset);
}

QString LineEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int *startOffset, int *endOffset) const
{
    return piece(offset, boundaryType, TextSide::After, startOffset, endOffset);
}

QString LineEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int *startOffset, int *endOffset) const
{
    return piece(offset, boundaryType, TextSide::At, startOffset, endOffset);
}

int LineEditAccessible::characterCount() const
{
    return int(shown().size());
}

// The box tells where its caret is; the other characters lie at their
// advance from it.
QRect LineEditAccessible::characterRect(int offset) const
{
    const QString all = shown();
    if (offset < 0 || offset >= all.size())
        return QRect();
    const QFontMetrics metrics(box()->font());
    // Qt reports the caret's place as a rectangle five pixels wider on
    // either side.
    const QRect caret = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int origin = caret.left() + 5 - metrics.horizontalAdvance(all.left(box()->cursorPosition()));
    const QRect r(origin + metrics.horizontalAdvance(all.left(offset)), caret.top(),
                  metrics.horizontalAdvance(all.mid(offset, 1)), caret.height());
    return QRect(box()->mapToGlobal(r.topLeft()), r.size());
}

int LineEditAccessible::offsetAtPoint(const QPoint &point) const
{
    return box()->cursorPositionAt(box()->mapFromGlobal(point));
}

void LineEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    box()->setCursorPosition(endIndex);
    box()->setCursorPosition(startIndex);
}

// The box has one font and one colour: one run over the whole text.
QString LineEditAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    const bool inside = place(offset) >= 0;
    *startOffset = inside ? 0 : -1;
    *endOffset = inside ? characterCount() : -1;
    return QString();
}

void LineEditAccessible::deleteText(int startOffset, int endOffset)
{
    box()->setText(box()->text().remove(startOffset, endOffset - startOffset));
}

void LineEditAccessible::insertText(int offset, const QString &text)
{
    box()->setText(box()->text().insert(offset, text));
}

void LineEditAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    box()->setText(box()->text().replace(startOffset, endOffset - startOffset, text));
}

} // namespace zendry
