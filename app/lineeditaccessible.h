#pragma once

#include "app/textboundaries.h"

#include <QAccessibleWidget>

class QLineEdit;

namespace zendry {

// What a screen reader reads of a one-line box. Qt's own reader of a line
// edit (Qt 6.4) finds words with a loop that never ends at the end of the
// text, so a reader asking for the last word froze the program, and it
// reports its text's attributes as running nowhere, so Orca read every
// value one character short. This one answers every piece of the text by
// plain rules (app/textboundaries.h), its attributes run over the whole
// text, and a password box shows a reader only a star for each character,
// as it shows the eye.
class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface
{
public:
    explicit LineEditAccessible(QLineEdit *box);

    // Makes every QLineEdit known to accessibility through this class; once.
    static void install();

    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                             int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                            int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    QLineEdit *box() const;
    // The text as the box shows it: a password as stars.
    QString shown() const;
    // The offset a reader means: -2 is the caret, -1 the end; -1 for none.
    int place(int offset) const;
    QString piece(int offset, QAccessible::TextBoundaryType boundaryType, TextSide side, int *startOffset,
                  int *endOffset) const;
};

} // namespace zendry
