#pragma once

#include <QStringList>

class QLocale;
class QTranslator;

namespace zendry {

// Qt's own texts in the user's language: the buttons of the boxes ("&Ja"
// and "&Nein" with their access keys under German), the edit boxes' menus.
// The program's own texts stay as they are.
class QtTranslations
{
public:
    // Where Qt's translations (qtbase_*.qm) are looked for, in order: a
    // "translations" folder beside the executable (the Windows program
    // folder carries them there), then Qt's own.
    static QStringList folders();
    // Loads Qt's translation for the locale's languages; false when none is there.
    static bool load(QTranslator &translator, const QLocale &locale);
    // At start-up: the system's language for the whole program.
    static void install();
};

} // namespace zendry
