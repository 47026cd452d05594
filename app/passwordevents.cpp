#include "app/passwordevents.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QLineEdit>

namespace zendry {

namespace {

// The handler that was there before ours; none means the platform's bridge
// to the screen reader, which Qt calls only while no handler is installed.
QAccessible::UpdateHandler g_next = nullptr;

void masking(QAccessibleEvent *event);

void passOn(QAccessibleEvent *event)
{
    if (g_next) {
        g_next(event);
        return;
    }
    // Whichever handler is current when the event is passed on (ours, or
    // one that holds ours) is current again afterwards.
    const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(nullptr);
    if (event->type() == QAccessible::TableModelChanged) {
        // A view has already applied this change to its cached children; the
        // same change a second time would move them twice.
        QAccessibleTableModelChangeEvent again(event->object(),
                                               QAccessibleTableModelChangeEvent::DataChanged);
        QAccessible::updateAccessibility(&again);
    } else {
        QAccessible::updateAccessibility(event);
    }
    QAccessible::installUpdateHandler(current);
}

QString stars(const QString &text)
{
    return QString(text.size(), u'*');
}

void masking(QAccessibleEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(event->object());
    if (!box || box->echoMode() == QLineEdit::Normal) {
        passOn(event);
        return;
    }
    switch (event->type()) {
    case QAccessible::TextInserted: {
        auto *e = static_cast<QAccessibleTextInsertEvent *>(event);
        QAccessibleTextInsertEvent masked(box, e->changePosition(), stars(e->textInserted()));
        masked.setCursorPosition(e->cursorPosition());
        passOn(&masked);
        break;
    }
    case QAccessible::TextRemoved: {
        auto *e = static_cast<QAccessibleTextRemoveEvent *>(event);
        QAccessibleTextRemoveEvent masked(box, e->changePosition(), stars(e->textRemoved()));
        masked.setCursorPosition(e->cursorPosition());
        passOn(&masked);
        break;
    }
    case QAccessible::TextUpdated: {
        auto *e = static_cast<QAccessibleTextUpdateEvent *>(event);
        QAccessibleTextUpdateEvent masked(box, e->changePosition(), stars(e->textRemoved()),
                                          stars(e->textInserted()));
        masked.setCursorPosition(e->cursorPosition());
        passOn(&masked);
        break;
    }
    default:
        passOn(event);
        break;
    }
}

} // namespace

void maskPasswordEvents()
{
    const QAccessible::UpdateHandler before = QAccessible::installUpdateHandler(masking);
    if (before != masking)
        g_next = before;
}

} // namespace zendry
