// The user's language: Qt's own buttons in it, the code page it brings, and
// the reasons a failed save gives, locale by locale.
#include "platform/ansicodec.h"
#include "platform/qttranslations.h"
#include "platform/wholefile.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

using namespace zendry;

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void locales_data();
    void locales();
    void codePageFor_data();
    void codePageFor();
    void codePages_data();
    void codePages();
    void saveReasons_data();
    void saveReasons();
    void translationsBesideTheProgramFirst();

private:
    // Runs what follows as a user of the locale (a POSIX name, "C" or "de_DE.UTF-8").
    static void becomeUserOf(const QString &locale);
};

// The locales the rows run under, made once into the build tree (a fresh
// Debian has none but C): glibc looks for them in LOCPATH.
void TestLanguage::initTestCase()
{
    const QString folder = QCoreApplication::applicationDirPath() + "/locales";
    QDir().mkpath(folder);
    for (const char *name : { "de_DE", "fr_FR", "ru_RU", "pl_PL", "el_GR", "tr_TR", "ja_JP" }) {
        const QString made = folder + '/' + name + ".UTF-8";
        if (QFile::exists(made + "/LC_CTYPE"))
            continue;
        // localedef ends with 1 on mere warnings; what it made is what counts.
        QProcess::execute("localedef", { "-i", name, "-f", "UTF-8", made });
        QVERIFY2(QFile::exists(made + "/LC_CTYPE"), qPrintable("localedef could not make " + made));
    }
    qputenv("LOCPATH", QFile::encodeName(folder));
    // LANGUAGE would put its own languages before the locale's in messages.
    qunsetenv("LANGUAGE");
}

void TestLanguage::cleanup()
{
    AnsiCodec::useCodePage(0);
}

void TestLanguage::becomeUserOf(const QString &locale)
{
    qputenv("LC_ALL", locale.toUtf8());
    AnsiCodec::useCodePage(0);
}

// Under each locale: the Yes and No of a box as the desktop words them, with
// their access keys; the code page Windows gives the language, and a letter
// of it as one byte. Greek has no Qt translation and stays English.
void TestLanguage::locales_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("yes");
    QTest::addColumn<QString>("no");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QByteArray>("byte");
    // clang-format off
    QTest::newRow("de_DE") << "de_DE.UTF-8" << "&Ja" << "&Nein" << 1252 << "ß" << QByteArray("\xDF");
    QTest::newRow("fr_FR") << "fr_FR.UTF-8" << "&Oui" << "&Non" << 1252 << "œ" << QByteArray("\x9C");
    QTest::newRow("ru_RU") << "ru_RU.UTF-8" << "&Да" << "&Нет" << 1251 << "Ж" << QByteArray("\xC6");
    QTest::newRow("pl_PL") << "pl_PL.UTF-8" << "&Tak" << "&Nie" << 1250 << "ł" << QByteArray("\xB3");
    QTest::newRow("el_GR") << "el_GR.UTF-8" << "&Yes" << "&No" << 1253 << "Ω" << QByteArray("\xD9");
    QTest::newRow("tr_TR") << "tr_TR.UTF-8" << "&Evet" << "&Hayır" << 1254 << "ş" << QByteArray("\xFE");
    QTest::newRow("ja_JP") << "ja_JP.UTF-8" << "はい(&Y)" << "いいえ(&N)" << 1252 << "€" << QByteArray("\x80");
    QTest::newRow("C") << "C" << "&Yes" << "&No" << 1252 << "€" << QByteArray("\x80");
    // clang-format on
}

void TestLanguage::locales()
{
    QFETCH(QString, locale);
    QFETCH(QString, yes);
    QFETCH(QString, no);
    QFETCH(int, codePage);
    QFETCH(QString, letter);
    QFETCH(QByteArray, byte);

    QTranslator translator;
    QtTranslations::load(translator, QLocale(locale.section('.', 0, 0)));
    QCoreApplication::installTranslator(&translator);
    QMessageBox box(QMessageBox::NoIcon, "Delete Contact", "Delete Ann?", QMessageBox::Yes | QMessageBox::No);
    const QString shownYes = box.button(QMessageBox::Yes)->text();
    const QString shownNo = box.button(QMessageBox::No)->text();
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(shownYes, yes);
    QCOMPARE(shownNo, no);

    becomeUserOf(locale);
    QCOMPARE(AnsiCodec::codePage(), codePage);
    QCOMPARE(AnsiCodec::encode(letter), byte);
    QCOMPARE(AnsiCodec::decode(byte), letter);
}

// Windows' table of ANSI code pages by language and script.
void TestLanguage::codePageFor_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("codePage");
    // clang-format off
    const QList<QPair<int, QStringList>> table = {
        { 1251, { "ru_RU.UTF-8", "uk_UA", "be_BY.UTF-8", "bg_BG", "sr_RS", "sr_ME.UTF-8", "mk_MK",
                  "kk_KZ", "ky_KG", "tt_RU", "mn_MN", "ba_RU", "sah_RU", "tg_TJ",
                  "az_AZ@cyrillic", "uz_UZ.UTF-8@cyrillic", "sr-Cyrl-RS", "bs-Cyrl-BA" } },
        { 1250, { "pl_PL.UTF-8", "cs_CZ", "sk_SK", "hu_HU", "ro_RO", "hr_HR", "sl_SI", "sq_AL",
                  "bs_BA", "tk_TM", "sr_RS@latin", "sr_RS.UTF-8@latin", "sr-Latn-RS" } },
        { 1253, { "el_GR.UTF-8", "el_CY" } },
        { 1254, { "tr_TR.UTF-8", "az_AZ", "az-Latn-AZ", "uz_UZ" } },
        { 1255, { "he_IL.UTF-8" } },
        { 1256, { "ar_EG.UTF-8", "ar_SA", "fa_IR", "ur_PK", "ug_CN" } },
        { 1257, { "lt_LT.UTF-8", "lv_LV", "et_EE" } },
        { 1258, { "vi_VN.UTF-8" } },
        { 874, { "th_TH.UTF-8" } },
        { 1252, { "de_DE.UTF-8", "fr_FR", "en_US", "en", "es_ES", "pt_BR", "it_IT", "nl_NL", "da_DK",
                  "sv_SE", "fi_FI", "is_IS", "ga_IE", "ja_JP.UTF-8", "zh_CN.GB18030", "zh_TW",
                  "ko_KR.EUC-KR", "hi_IN", "ka_GE", "hy_AM", "C", "C.UTF-8", "POSIX", "" } },
    };
    // clang-format on
    for (const auto &[codePage, locales] : table) {
        for (const QString &locale : locales)
            QTest::newRow(qPrintable(locale.isEmpty() ? "nothing" : locale)) << locale << codePage;
    }
}

void TestLanguage::codePageFor()
{
    QFETCH(QString, locale);
    QFETCH(int, codePage);
    QCOMPARE(AnsiCodec::codePageFor(locale), codePage);
}

// Each code page through Qt's converter: letters of its languages as their
// bytes, a character it lacks as '?', a byte it has no character for as the
// character of the same code; every byte comes back as it went.
void TestLanguage::codePages_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    // clang-format off
    QTest::newRow("1252") << 1252 << "€œŸ\u0081" << QByteArray("\x80\x9C\x9F\x81");
    QTest::newRow("1250") << 1250 << "Łódź" << QByteArray("\xA3\xF3\x64\x9F");
    QTest::newRow("1251") << 1251 << "Жук" << QByteArray("\xC6\xF3\xEA");
    QTest::newRow("1251 lacks é") << 1251 << "é" << QByteArray("?");
    QTest::newRow("1251 hole 98") << 1251 << "\u0098" << QByteArray("\x98");
    QTest::newRow("1253") << 1253 << "Ωμέγα" << QByteArray("\xD9\xEC\xDD\xE3\xE1");
    QTest::newRow("1254") << 1254 << "şğİ" << QByteArray("\xFE\xF0\xDD");
    QTest::newRow("1255") << 1255 << "שלום" << QByteArray("\xF9\xEC\xE5\xED");
    QTest::newRow("1256") << 1256 << "سلام" << QByteArray("\xD3\xE1\xC7\xE3");
    QTest::newRow("1257") << 1257 << "ąčė" << QByteArray("\xE0\xE8\xEB");
    QTest::newRow("1258") << 1258 << "ơư₫" << QByteArray("\xF5\xFD\xFE");
    QTest::newRow("874") << 874 << "ภาษาไทย€" << QByteArray("\xC0\xD2\xC9\xD2\xE4\xB7\xC2\x80");
    // clang-format on
}

void TestLanguage::codePages()
{
    QFETCH(int, codePage);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    AnsiCodec::useCodePage(codePage);
    QCOMPARE(AnsiCodec::encode(text), bytes);
    if (!bytes.contains('?'))
        QCOMPARE(AnsiCodec::decode(bytes), text);
    QByteArray every(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        every[i] = char(i);
    QCOMPARE(AnsiCodec::encode(AnsiCodec::decode(every)), every);
}

// Why a save failed, in the words of the user's language: a missing folder
// and a full disk, which Qt itself words in English only.
void TestLanguage::saveReasons_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QString>("why");
    // clang-format off
    QTest::newRow("fr_FR no folder") << "fr_FR.UTF-8" << false << "Aucun fichier ou dossier de ce type";
    QTest::newRow("fr_FR disk full") << "fr_FR.UTF-8" << true << "Aucun espace disponible sur le périphérique";
    QTest::newRow("de_DE no folder") << "de_DE.UTF-8" << false << "Datei oder Verzeichnis nicht gefunden";
    QTest::newRow("de_DE disk full") << "de_DE.UTF-8" << true << "Auf dem Gerät ist kein Speicherplatz mehr verfügbar";
    QTest::newRow("ru_RU no folder") << "ru_RU.UTF-8" << false << "Нет такого файла или каталога";
    QTest::newRow("pl_PL disk full") << "pl_PL.UTF-8" << true << "Brak miejsca na urządzeniu";
    QTest::newRow("C no folder") << "C" << false << "No such file or directory";
    // clang-format on
}

void TestLanguage::saveReasons()
{
    QFETCH(QString, locale);
    QFETCH(bool, diskFull);
    QFETCH(QString, why);
    becomeUserOf(locale);
    QString reason;
    if (diskFull) {
        QFile full("/dev/full");
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QVERIFY(!WholeFile::writeAll(full, "4477 Ann\r\n", &reason));
    } else {
        QTemporaryDir dir;
        QVERIFY(!WholeFile::save(dir.filePath("gone/Phonebook.txt"), "4477 Ann\r\n", &reason));
    }
    QCOMPARE(reason, why);
}

// The Windows program folder carries Qt's translations beside the program:
// they come before Qt's own.
void TestLanguage::translationsBesideTheProgramFirst()
{
    const QString german = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
    if (!QFile::exists(german))
        QSKIP("Qt's translations are not installed");
    const QString beside = QCoreApplication::applicationDirPath() + "/translations";
    QDir(beside).removeRecursively();
    QVERIFY(QDir().mkpath(beside));
    QVERIFY(QFile::copy(german, beside + "/qtbase_fr.qm"));
    QTranslator translator;
    const bool loaded = QtTranslations::load(translator, QLocale("fr_FR"));
    QDir(beside).removeRecursively();
    QVERIFY(loaded);
    QCOMPARE(translator.translate("QPlatformTheme", "&Yes"), QString("&Ja"));
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
