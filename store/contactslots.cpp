#include "store/contactslots.h"

#include "platform/trim.h"
#include "store/texts.h"

namespace zendry {

bool sameContactName(const QString &stored, const QString &typed)
{
    return trimSpaces(stored).toLower() == trimSpaces(typed).toLower();
}

int findContact(const ContactSlots &names, const QString &name)
{
    for (int slot = 0; slot < contactSlotCount && !names[slot].isEmpty(); ++slot) {
        if (sameContactName(names[slot], name))
            return slot;
    }
    return -1;
}

Remembered rememberContact(ContactSlots &names, ContactSlots &numbers, const QString &typed,
                           const QString &number)
{
    // "bob " is Bob again, not a second Bob. A blank box or "<new>" names no contact.
    const QString name = trimSpaces(typed);
    if (name.isEmpty() || name == texts::newEntry)
        return {};
    for (int slot = 0; slot < contactSlotCount; ++slot) {
        const bool empty = names[slot].isEmpty();
        if (empty || sameContactName(names[slot], name)) {
            // A name typed rather than picked leaves Number empty: the send is
            // refused, but the contact's stored number must survive it.
            const QString kept = trimSpaces(number);
            names[slot] = name;
            if (empty || !kept.isEmpty())
                numbers[slot] = kept;
            return { slot, empty };
        }
    }
    return {};
}

int removeContact(ContactSlots &names, ContactSlots &numbers, const QString &name)
{
    const int found = findContact(names, name);
    if (found < 0)
        return -1;
    int slot = found;
    for (; slot + 1 < contactSlotCount && !names[slot].isEmpty(); ++slot) {
        names[slot] = names[slot + 1];
        numbers[slot] = numbers[slot + 1];
    }
    if (slot == contactSlotCount - 1) {
        names[slot].clear();
        numbers[slot].clear();
    }
    return found;
}

} // namespace zendry
