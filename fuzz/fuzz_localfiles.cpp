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

// The window's state after a load, as the window applies the lines.
struct Settings
{
    QString zdid, hash, signature;
    bool save = false, autoRefresh = false;
};

Settings load(const QByteArray &bytes)
{
    Settings s;
    for (const auto &e : SettingsFile::parse(TextFile::split(bytes))) {
        switch (e.key) {
        case SettingsFile::Entry::Key::Zdid:
            s.zdid = e.value;
            s.save = s.save || !e.value.isEmpty();
            break;
        case SettingsFile::Entry::Key::Password:
            s.hash = e.value;
            s.save = s.save || !e.value.isEmpty();
            break;
        case SettingsFile::Entry::Key::Signature:
            s.signature = e.value;
            break;
        case SettingsFile::Entry::Key::AutoRefresh:
            s.autoRefresh = true;
            break;
        }
    }
    return s;
}

QByteArray save(const QStringList &lines)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!TextFile::write(buffer, lines, nullptr))
        std::abort();
    return bytes;
}

QByteArray saveSettings(const Settings &s)
{
    return save(SettingsFile::lines(s.save, s.zdid, s.hash, s.signature, s.autoRefresh));
}

QByteArray savePhonebook(const QByteArray &bytes)
{
    ContactSlots names, numbers;
    PhonebookFile::parse(TextFile::split(bytes), names, numbers);
    return save(PhonebookFile::lines(names, numbers));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const QByteArray once = saveSettings(load(bytes));
    const QByteArray twice = saveSettings(load(once));
    if (saveSettings(load(twice)) != twice)
        std::abort();

    const QByteArray book = savePhonebook(bytes);
    if (savePhonebook(book) != book)
        std::abort();
    return 0;
}
