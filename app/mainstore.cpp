// The window's local data: the settings file, the phonebook and its contacts.
#include "app/mainwindow.h"

#include "ui_main.h"

#include "platform/messageboxes.h"
#include "service/credential.h"
#include "store/phonebookfile.h"
#include "store/settingsfile.h"
#include "store/textfile.h"
#include "store/texts.h"

#include <QDir>

namespace zendry {

void Main::SavePW_Click()
{
    ui->AutoRefresh->setEnabled(ui->SavePW->isChecked());
}

void Main::ToName_Click()
{
    if (!m_pickedEntry.isValid())
        return;
    if (m_pickedEntry.row() == 0)
        return ui->Number->clear();
    if (const int slot = findContact(ContactNames, ui->ToName->currentText()); slot >= 0)
        ui->Number->setText(ContactNumbers[slot]);
}

void Main::DeleteContact_Click()
{
    const QString name = ui->ToName->currentText();
    if (name.isEmpty() || name == texts::newEntry)
        return;
    const auto answer = m_boxes->show(this, texts::deleteTitle, texts::deleteQuestion(name),
                                      MessageBoxes::Buttons::YesNo, MessageBoxes::Answer::Yes);
    if (answer != MessageBoxes::Answer::Yes)
        return;
    const bool removed = removeContact(ContactNames, ContactNumbers, name) >= 0;
    // A picked entry goes whatever the slots held; a typed name takes the
    // entry that matches it, so the list and the slots stay in step.
    m_contactList.removeEntry(m_pickedEntry.isValid() ? m_pickedEntry.row()
                                      : removed       ? m_contactList.findName(name)
                                                      : -1);
    m_pickedEntry = QPersistentModelIndex();
    ui->ToName->setCurrentIndex(-1);
    ui->ToName->setEditText(QString());
    ui->Number->clear();
}

QString Main::programFile(const QString &name) const
{
    return m_programFolder.filePath(name);
}

void Main::saveFile(const QString &name, const QStringList &lines, TextFile::Encoding encoding)
{
    QString why;
    if (!TextFile::save(programFile(name), lines, encoding, &why) && !m_quietSaves)
        m_boxes->ok(this, texts::saveFailedTitle, texts::saveFailed(m_programFolder.shownPath(name), why));
}

void Main::LoadSettings()
{
    const QString path = programFile(SettingsFile::fileName);
    TextFile::createIfMissing(path);
    const TextFile::Contents file = TextFile::read(path);
    m_settingsEncoding = file.encoding;
    const SettingsFile::Settings settings = SettingsFile::parse(file.lines);
    ui->ZDID->setText(settings.zdid);
    PasswordHash = settings.passwordHash;
    if (settings.masked)
        ui->PW->setText(passwordMask);
    if (settings.saveDetails)
        ui->SavePW->setChecked(true);
    if (settings.autoRefresh)
        ui->AutoRefresh->setChecked(true);
    // Filling ZDID copied it into Sig; the stored signature, even an empty one, wins.
    ui->Sig->setText(settings.signature);
    m_settingsRead = true;
}

void Main::SaveSettings()
{
    saveFile(SettingsFile::fileName,
             SettingsFile::lines(ui->SavePW->isChecked(), ui->ZDID->text(), PasswordHash, ui->Sig->text(),
                                 ui->AutoRefresh->isChecked()),
             m_settingsEncoding);
}

void Main::LoadPhonebook()
{
    m_contactList.clearNames();
    const QString path = programFile(PhonebookFile::fileName);
    TextFile::createIfMissing(path);
    ContactNames = {};
    ContactNumbers = {};
    const TextFile::Contents file = TextFile::read(path);
    m_phonebookEncoding = file.encoding;
    const int count = PhonebookFile::parse(file.lines, ContactNames, ContactNumbers);
    for (int slot = 0; slot < count; ++slot)
        m_contactList.addName(ContactNames[slot]);
    m_phonebookRead = true;
}

void Main::SavePhonebook()
{
    saveFile(PhonebookFile::fileName, PhonebookFile::lines(ContactNames, ContactNumbers),
             m_phonebookEncoding);
}

void Main::RememberContact()
{
    const QString shown = ui->ToName->currentText();
    const Remembered r = rememberContact(ContactNames, ContactNumbers, shown, ui->Number->text());
    if (r.added) {
        // Adding to the list must not change what the box shows.
        m_contactList.addName(ContactNames[r.slot]);
        if (ui->ToName->currentText() != shown)
            ui->ToName->setEditText(shown);
    }
}

} // namespace zendry
