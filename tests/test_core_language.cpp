// SPDX-License-Identifier: GPL-3.0-or-later
// Which language the interface takes, and the choice kept in RK.ini.
#include "core/inputoptions.h"
#include "core/language.h"
#include "core/textlibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace rinkaro;

Q_DECLARE_METATYPE(LanguageChoice)
Q_DECLARE_METATYPE(Language)

class CoreLanguageTest : public QObject
{
    Q_OBJECT
private slots:
    void chosenLanguage_data();
    void chosenLanguage();
    void choiceKeys_data();
    void choiceKeys();
    void choiceKeptBesideTheInputOptions();
};

// Faults caught: the C or POSIX locale (which Qt lists as "C") taken for English; the first
// language with a translation not winning over a later one; a language whose name only starts
// with "en" or "ja" ("eo", "enm", "jv") taken for one of them; a POSIX name ("en_US.UTF-8")
// or a capitalised one not recognised; a stored choice not overriding the desktop.
void CoreLanguageTest::chosenLanguage_data()
{
    QTest::addColumn<LanguageChoice>("choice");
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<Language>("language");
    const auto desktop = LanguageChoice::Desktop;
    const auto en = Language::English;
    const auto ja = Language::Japanese;
    QTest::newRow("C") << desktop << QStringList{"C"} << ja;
    QTest::newRow("POSIX") << desktop << QStringList{"POSIX"} << ja;
    QTest::newRow("none") << desktop << QStringList{} << ja;
    QTest::newRow("en-US") << desktop << QStringList{"en-US", "en-Latn-US", "en"} << en;
    QTest::newRow("ja-JP") << desktop << QStringList{"ja-JP", "ja-Jpan-JP", "ja"} << ja;
    QTest::newRow("en before ja") << desktop << QStringList{"en-GB", "ja", "ja-JP"} << en;
    QTest::newRow("ja before en") << desktop << QStringList{"ja", "en-US", "en"} << ja;
    QTest::newRow("de, then en") << desktop << QStringList{"de", "de-DE", "en", "en-US"} << en;
    QTest::newRow("de only") << desktop << QStringList{"de-DE", "de"} << ja;
    QTest::newRow("fr, ja, en") << desktop << QStringList{"fr", "ja", "en"} << ja;
    QTest::newRow("C, then en") << desktop << QStringList{"C", "en"} << en;
    QTest::newRow("Esperanto") << desktop << QStringList{"eo"} << ja;
    QTest::newRow("Middle English") << desktop << QStringList{"enm", "ja"} << ja;
    QTest::newRow("Javanese") << desktop << QStringList{"jv-ID", "en"} << en;
    QTest::newRow("POSIX name") << desktop << QStringList{"en_US.UTF-8"} << en;
    QTest::newRow("capitals") << desktop << QStringList{"EN-us"} << en;
    QTest::newRow("Japanese chosen") << LanguageChoice::Japanese << QStringList{"en-US"} << ja;
    QTest::newRow("English chosen") << LanguageChoice::English << QStringList{"ja-JP"} << en;
    QTest::newRow("English chosen in C") << LanguageChoice::English << QStringList{"C"} << en;
}

void CoreLanguageTest::chosenLanguage()
{
    QFETCH(LanguageChoice, choice);
    QFETCH(QStringList, uiLanguages);
    QFETCH(Language, language);
    QCOMPARE(interfaceLanguage(choice, uiLanguages), language);
}

// Faults caught: a key written that the reader does not take back; a hand-edited value
// ("EN", " ja ") not understood; rubbish taken for a language rather than the desktop's.
void CoreLanguageTest::choiceKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<LanguageChoice>("choice");
    QTest::newRow("ja") << "ja" << LanguageChoice::Japanese;
    QTest::newRow("en") << "en" << LanguageChoice::English;
    QTest::newRow("desktop") << "desktop" << LanguageChoice::Desktop;
    QTest::newRow("EN") << "EN" << LanguageChoice::English;
    QTest::newRow("blanks") << " ja " << LanguageChoice::Japanese;
    QTest::newRow("empty") << "" << LanguageChoice::Desktop;
    QTest::newRow("fr") << "fr" << LanguageChoice::Desktop;
    QTest::newRow("english") << "english" << LanguageChoice::Desktop;
}

void CoreLanguageTest::choiceKeys()
{
    QFETCH(QString, key);
    QFETCH(LanguageChoice, choice);
    QCOMPARE(languageChoiceFromKey(key), choice);
    QCOMPARE(languageChoiceFromKey(languageChoiceKey(choice)), choice);
}

// Faults caught: saving the language resetting free romaji input (or the other way round);
// the key not read back; a missing file not giving the desktop's language; the last text
// folder saved around the careful writer (a rewrite that drops comments, or a wait for ever
// on a stray RK.ini.lock).
void CoreLanguageTest::choiceKeptBesideTheInputOptions()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("RK.ini"));
    QCOMPARE(readLanguageChoice(path), LanguageChoice::Desktop);
    QVERIFY(saveInputOptions(path, {true}));
    QVERIFY(saveLanguageChoice(path, LanguageChoice::English));
    QCOMPARE(readLanguageChoice(path), LanguageChoice::English);
    QCOMPARE(readInputOptions(path).freeRomaji, true);
    QVERIFY(saveInputOptions(path, {false}));
    QCOMPARE(readLanguageChoice(path), LanguageChoice::English);
    QVERIFY(saveLanguageChoice(path, LanguageChoice::Japanese));
    QCOMPARE(readLanguageChoice(path), LanguageChoice::Japanese);
    QCOMPARE(readInputOptions(path).freeRomaji, false);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("RK.ini.lock")));
    const QString folder = dir.filePath(QStringLiteral("文書 1"));
    QVERIFY(saveLastTextFolder(path, folder));
    QCOMPARE(readLastTextFolder(path), folder);
    QCOMPARE(readLanguageChoice(path), LanguageChoice::Japanese);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("[interface]\nlanguage=ja"));
    QVERIFY(text.contains("[texts]\nlastFolder=" + folder.toUtf8() + "\n"));
}

QTEST_GUILESS_MAIN(CoreLanguageTest)
#include "test_core_language.moc"
