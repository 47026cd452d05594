#include "store/phonebookfile.h"

namespace zendry {

const QString PhonebookFile::fileName = QStringLiteral("Phonebook.txt");

int PhonebookFile::parse(const QStringList &lines, ContactSlots &names, ContactSlots &numbers)
{
    int count = 0;
    for (const QString &line : lines) {
        if (count == contactSlotCount)
            break;
        const qsizetype space = line.indexOf(u' ');
        QString name = space < 0 ? line : line.mid(space + 1);
        if (name.isEmpty())
            continue;
        numbers[count] = space < 0 ? QString() : line.left(space);
        names[count] = std::move(name);
        ++count;
    }
    return count;
}

QStringList PhonebookFile::lines(const ContactSlots &names, const ContactSlots &numbers)
{
    QStringList out;
    for (int slot = 0; slot < contactSlotCount && !names[slot].isEmpty(); ++slot)
        out.append(numbers[slot] + u' ' + names[slot]);
    return out;
}

} // namespace zendry
