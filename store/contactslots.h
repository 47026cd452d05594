#pragma once

#include <QString>

#include <array>

namespace zendry {

// The phonebook in memory: 500 name slots and 500 number slots side by side.
// The contacts are the slots before the first empty name.
inline constexpr int contactSlotCount = 500;
using ContactSlots = std::array<QString, contactSlotCount>;

// Names match when they are equal once both are trimmed and lower-cased: a
// name typed or stored with spaces around it is still the same contact.
bool sameContactName(const QString &stored, const QString &typed);

// The slot of the first contact named so, searching up to the first empty
// name; -1 when there is none.
int findContact(const ContactSlots &names, const QString &name);

struct Remembered
{
    int slot = -1; // -1: nothing recorded
    bool added = false; // a new contact, rather than an update
};

// Records a contact as Send does: the first slot with the same name is
// updated, otherwise the first empty slot is filled; with 500 other names
// nothing is recorded. Name and number are stored without surrounding
// spaces; a blank number never replaces a stored one. A name that is blank
// or "<new>" is no contact.
Remembered rememberContact(ContactSlots &names, ContactSlots &numbers, const QString &typed,
                           const QString &number);

// Removes the first contact named so and closes the gap, keeping the order.
// Returns the slot it was in, or -1.
int removeContact(ContactSlots &names, ContactSlots &numbers, const QString &name);

} // namespace zendry
