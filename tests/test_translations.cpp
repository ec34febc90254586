// SPDX-License-Identifier: GPL-3.0-or-later
// The translations against the sources: lupdate run over src/ into a copy of each .ts file
// finds every caption marked for translation; each must be translated, none may be left
// over from captions the sources no longer have, and each translation keeps its source's
// placeholders.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace
{

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

QList<Message> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message{context, {}, {}, {}};
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages << message;
        }
    }
    return xml.hasError() ? QList<Message>{} : messages;
}

// The %1 ... %9 and %n of a text, in order of number.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%L?([1-9n])"));
    QStringList found;
    for (auto match = marker.globalMatch(text); match.hasNext();)
        found << match.next().captured(1);
    found.sort();
    found.removeDuplicates();
    return found;
}

QString describe(const Message &message)
{
    return QStringLiteral("%1: \"%2\"").arg(message.context, message.source);
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT
private slots:
    void complete_data();
    void complete();
    void placeholdersKept();
};

void TranslationsTest::complete_data()
{
    QTest::addColumn<QString>("tsFile");
    const QDir folder(QStringLiteral(RINKARO_TRANSLATIONS_DIR));
    const QStringList files = folder.entryList({QStringLiteral("*.ts")}, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << folder.filePath(name);
}

// Faults caught: a caption added or reworded in the sources and not translated (lupdate adds
// it unfinished); a translation left unfinished; one the sources no longer have (vanished or
// obsolete), which a translator would go on maintaining; a .ts file that lupdate cannot read.
void TranslationsTest::complete()
{
    QFETCH(QString, tsFile);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(QFileInfo(tsFile).fileName());
    QVERIFY(QFile::copy(tsFile, copy));
    const QList<Message> committed = readTs(copy);
    QVERIFY2(!committed.isEmpty(), "the .ts file is empty or not well-formed");

    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(RINKARO_LUPDATE),
                  {QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral(RINKARO_SOURCE_DIR "/src"), QStringLiteral("-ts"), copy});
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAll().constData());

    const QList<Message> updated = readTs(copy);
    QStringList faults;
    for (const Message &message : updated) {
        if (message.type == QLatin1String("vanished") || message.type == QLatin1String("obsolete"))
            faults << QStringLiteral("no longer in the sources: ") + describe(message);
        else if (message.type == QLatin1String("unfinished") || message.translation.isEmpty())
            faults << QStringLiteral("not translated: ") + describe(message);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    // Everything lupdate found was in the file already.
    QCOMPARE(updated.size(), committed.size());
}

// Faults caught: a translation that drops or adds a %1 (the value is lost, or the raw marker
// is shown), or turns %2 into %1.
void TranslationsTest::placeholdersKept()
{
    const QDir folder(QStringLiteral(RINKARO_TRANSLATIONS_DIR));
    int checked = 0;
    QStringList faults;
    for (const QString &name : folder.entryList({QStringLiteral("*.ts")}, QDir::Files)) {
        for (const Message &message : readTs(folder.filePath(name))) {
            ++checked;
            if (placeholders(message.source) != placeholders(message.translation))
                faults << name + QStringLiteral(" ") + describe(message) + QStringLiteral(" → \"") +
                              message.translation + QLatin1Char('"');
        }
    }
    QVERIFY(checked > 100);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TranslationsTest)
#include "test_translations.moc"
