// The settings and phonebook readers on any bytes. What a load keeps, saved
// and loaded again, saves to the same bytes: the files reach a fixed point
// after one round.
#include "store/phonebookfile.h"
#include "store/settingsfile.h"
#include "store/textfile.h"

#include <QBuffer>

#include <cstdlib>

using namespace zendry;

namespace {

QByteArray save(const QStringList &lines)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!TextFile::write(buffer, lines, nullptr))
        std::abort();
    return bytes;
}

// Loaded, then saved as the window saves what it loaded.
QByteArray settingsRound(const QByteArray &bytes)
{
    const SettingsFile::Settings s = SettingsFile::parse(TextFile::split(bytes));
    return save(SettingsFile::lines(s.saveDetails, s.zdid, s.passwordHash, s.signature, s.autoRefresh));
}

QByteArray phonebookRound(const QByteArray &bytes)
{
    ContactSlots names, numbers;
    PhonebookFile::parse(TextFile::split(bytes), names, numbers);
    return save(PhonebookFile::lines(names, numbers));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const QByteArray twice = settingsRound(settingsRound(bytes));
    if (settingsRound(twice) != twice)
        std::abort();

    const QByteArray book = phonebookRound(bytes);
    if (phonebookRound(book) != book)
        std::abort();
    return 0;
}
