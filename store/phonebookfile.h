#pragma once

#include "store/contactslots.h"

#include <QStringList>

namespace zendry {

// "Phonebook.txt": a line a contact, the number, one space, the name.
class PhonebookFile
{
public:
    static const QString fileName;

    // Fills the slots from the file's lines: each split at its first space,
    // nothing stripped; a line without a space is a name with no number. A line
    // whose name is empty is skipped, since an empty name would end the
    // phonebook there and lose every later contact at the next save. Lines
    // past the 500th contact are dropped. Returns the number of contacts.
    static int parse(const QStringList &lines, ContactSlots &names, ContactSlots &numbers);

    // The contacts in slot order, up to the first empty name.
    static QStringList lines(const ContactSlots &names, const ContactSlots &numbers);
};

} // namespace zendry
