// SPDX-License-Identifier: GPL-3.0-or-later
// The learner's own texts: files read and decoded, Aozora markup dropped, sentences cut,
// readings filled in and corrected, and the texts folder that keeps them.
#include "core/owntext.h"
#include "core/textfile.h"
#include "core/textlibrary.h"
#include "core/textpreparer.h"
#include "core/wordreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace rinkaro;

// Segments written as "written=reading" (annotated) or "written:reading" (read as written),
// joined by " / ".
static QString describe(const RubyLine &line)
{
    QStringList parts;
    for (const RubySegment &segment : line)
        parts << segment.written + (segment.annotated ? u'=' : u':') + segment.reading;
    return parts.join(QStringLiteral(" / "));
}

static QString ruby(const std::vector<RubyLine> &sentences)
{
    QStringList lines;
    for (const RubyLine &sentence : sentences)
        lines << formatRuby(sentence);
    return lines.join(QStringLiteral(" | "));
}

// Readings from a table, as a dictionary would give them; counts its calls.
class TableReader : public WordReader
{
public:
    std::map<QString, std::vector<Word>> table;
    bool broken = false;
    int calls = 0;
    int *sharedCalls = nullptr; // counted beyond the reader's life, which the preparer ends
    std::optional<std::vector<Word>> words(const QString &text) override
    {
        ++calls;
        if (sharedCalls)
            ++*sharedCalls;
        if (broken)
            return std::nullopt;
        const auto found = table.find(text);
        return found == table.end() ? std::vector<Word>{{text, QString()}} : found->second;
    }
};

class OwnTextTest : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void badFiles_data();
    void badFiles();
    void aozora_data();
    void aozora();
    void sentences_data();
    void sentences();
    void readings_data();
    void readings();
    void fill();
    void runs();
    void library();
    void preparer();
};

void OwnTextTest::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");

    // "漢字とかな、カナ。" and "二行目" on two lines, CRLF between them.
    const QByteArray utf8 = QStringLiteral("漢字とかな、カナ。\r\n二行目").toUtf8();
    QTest::newRow("UTF-8") << utf8 << int(TextEncoding::Utf8);
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + utf8 << int(TextEncoding::Utf8Bom);
    QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2);
    for (QChar ch : QString::fromUtf8(utf8)) {
        le += char(ch.unicode() & 0xFF), le += char(ch.unicode() >> 8);
        be += char(ch.unicode() >> 8), be += char(ch.unicode() & 0xFF);
    }
    QTest::newRow("UTF-16LE") << le << int(TextEncoding::Utf16LE);
    QTest::newRow("UTF-16BE") << be << int(TextEncoding::Utf16BE);
    QTest::newRow("Shift_JIS") << QByteArray::fromHex(
                                      "8abf8e9a82c682a982c88141834a836981420d0a93f18d7396da")
                               << int(TextEncoding::ShiftJis);
    // Also valid Shift_JIS bytes, but as such mostly half-width katakana: told apart.
    QTest::newRow("EUC-JP") << QByteArray::fromHex(
                                   "b4c1bbfaa4c8a4aba4caa1a2a5aba5caa1a30d0ac6f3b9d4ccdc")
                            << int(TextEncoding::EucJp);
    QTest::newRow("old Mac line end")
        << QByteArray(utf8).replace("\r\n", "\r") << int(TextEncoding::Utf8);
}

void OwnTextTest::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    const TextFileRead read = decodeText(bytes);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.text, QStringLiteral("漢字とかな、カナ。\n二行目"));
    QCOMPARE(int(read.encoding), encoding);
}

void OwnTextTest::badFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error"); // a word of the message; empty: read

    const QByteArray kana = QStringLiteral("あ").toUtf8();
    QTest::newRow("folder") << "folder" << QByteArray() << "普通のファイルではない";
    QTest::newRow("pipe") << "pipe" << QByteArray() << "普通のファイルではない";
    QTest::newRow("device") << "device" << QByteArray() << "普通のファイルではない";
    QTest::newRow("link to a pipe") << "link" << QByteArray() << "普通のファイルではない";
    QTest::newRow("missing") << "missing" << QByteArray() << "見つかりません";
    QTest::newRow("empty") << "file" << QByteArray() << "空";
    QTest::newRow("blank lines") << "file" << QByteArray("\r\n \n") << "空";
    QTest::newRow("NUL") << "file" << kana + QByteArray(1, '\0') + kana << "NUL";
    QTest::newRow("NUL in UTF-16") << "file" << QByteArray("\xFF\xFE\x42\x30\x00\x00", 6) << "NUL";
    QTest::newRow("odd UTF-16") << "file" << QByteArray("\xFF\xFE\x42\x30\x00", 5) << "文字コード";
    QTest::newRow("undecodable") << "file" << QByteArray("\x82\xA0\xFF\xFE\x80", 5) << "文字コード";
    QTest::newRow("no Japanese") << "file" << QByteArray("Hello, world.\n") << "日本語";
    QByteArray full = kana.repeated(maxTextFileBytes / 3);
    full += QByteArray(maxTextFileBytes - full.size(), 'a');
    QTest::newRow("1 MiB") << "file" << full << "";
    QTest::newRow("1 MiB + 1 byte") << "file" << full + 'a' << "大きすぎ";
}

void OwnTextTest::badFiles()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text"));
    const QByteArray name = QFile::encodeName(path);
    if (kind == QStringLiteral("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("text")));
    } else if (kind == QStringLiteral("pipe")) {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == QStringLiteral("link")) {
        const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        QCOMPARE(::symlink(pipe.constData(), name.constData()), 0);
    } else if (kind == QStringLiteral("device")) {
        // A private copy of /dev/zero's node, which never ends: only root may make one.
        if (::geteuid() != 0)
            QSKIP("making a device node needs root");
        QCOMPARE(::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 5)), 0);
    } else if (kind == QStringLiteral("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    const TextFileRead read = readTextFile(path);
    if (error.isEmpty()) {
        QCOMPARE(read.error, QString());
        QCOMPARE(read.text.size(), qsizetype(maxTextFileBytes / 3 + maxTextFileBytes % 3));
    } else {
        QVERIFY2(read.error.contains(error), qPrintable(read.error));
        QCOMPARE(read.text, QString());
    }
}

void OwnTextTest::aozora_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("body");

    const QString dashes(40, u'-');
    QTest::newRow("header, notes and footer")
        << "題名\n著者\n\n" + dashes + "\n【記号について】\n《》：ルビ\n" + dashes +
               "\n［＃３字下げ］第一章\n本文《ほんぶん》です※［＃「口＋力」、第3水準1-14-1］。\n\n"
               "底本：「ある本」出版社\n入力：誰か"
        << "第一章\n本文《ほんぶん》です。\n";
    QTest::newRow("plain text kept") << "一行目\n----\n二行目"
                                     << "一行目\n----\n二行目";
    // Dashes far down a text are the author's own, not a header.
    QTest::newRow("one line of dashes") << "前\n" + dashes + "\n後"
                                        << "前\n" + dashes + "\n後";
    QTest::newRow("unclosed note kept") << "あ［＃い"
                                        << "あ［＃い";
}

void OwnTextTest::aozora()
{
    QFETCH(QString, text);
    QFETCH(QString, body);
    QCOMPARE(dropAozoraMarkup(text), body);
}

void OwnTextTest::sentences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sentences");

    QTest::newRow("marks and line ends") << "雨だ。晴れた！本当？\nはい"
                                         << "雨だ。 | 晴れた！ | 本当？ | はい";
    QTest::newRow("closing bracket stays") << "「行く。」と言った。"
                                           << "「行く。」 | と言った。";
    QTest::newRow("spaces and blank lines dropped") << "　あ。 い\n\n  \nう"
                                                    << "あ。 | い | う";
    const QString comma = QString(30, u'あ') + u'、' + QString(20, u'い') + u'。';
    QTest::newRow("long: at the comma")
        << comma << QString(30, u'あ') + u'、' + " | " + QString(20, u'い') + u'。';
    QTest::newRow("long: at 40") << QString(90, u'か')
                                 << QString(40, u'か') + " | " + QString(40, u'か') + " | " +
                                        QString(10, u'か');
    // A word with ruby across the limit goes whole to the next piece.
    QTest::newRow("ruby never cut")
        << QString(39, u'あ') + "漢字《かんじ》" << QString(39, u'あ') + " | 漢字《かんじ》";
    // Counted and cut by characters, not by UTF-16 units.
    QTest::newRow("kanji beyond the BMP")
        << QString(39, u'あ') + "𠮷𠮷" << QString(39, u'あ') + "𠮷 | 𠮷";
}

void OwnTextTest::sentences()
{
    QFETCH(QString, text);
    QFETCH(QString, sentences);
    QCOMPARE(ruby(textSentences(text)), sentences);
}

void OwnTextTest::readings_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reading"); // the corrected reading of the first segment
    QTest::addColumn<QString>("segments");
    QTest::addColumn<bool>("refused");

    QTest::newRow("Latin and digits typed as themselves") << "ＡＢ１２とab3"
                                                          << ""
                                                          << "ＡＢ１２とab3:AB12とab3" << false;
    QTest::newRow("katakana read as hiragana") << "カナー"
                                               << ""
                                               << "カナー:かなー" << false;
    QTest::newRow("corrected") << "今日"
                               << "きょう"
                               << "今日=きょう" << false;
    QTest::newRow("katakana correction") << "今日"
                                         << "キョウ"
                                         << "今日=きょう" << false;
    QTest::newRow("digits in a correction") << "今日"
                                            << "１２にち"
                                            << "今日=12にち" << false;
    QTest::newRow("kanji refused") << "今日"
                                   << "今日"
                                   << "今日:" << true;
    QTest::newRow("symbol refused") << "今日"
                                    << "きょ※"
                                    << "今日:" << true;
    QTest::newRow("empty refused") << "今日"
                                   << " "
                                   << "今日:" << true;
}

void OwnTextTest::readings()
{
    QFETCH(QString, line);
    QFETCH(QString, reading);
    QFETCH(QString, segments);
    QFETCH(bool, refused);
    std::vector<RubyLine> cut = textSentences(line);
    QCOMPARE(cut.size(), size_t(1));
    if (!reading.isEmpty())
        QCOMPARE(!correctReading(cut[0], 0, reading).isEmpty(), refused);
    QCOMPARE(describe(cut[0]), segments);
}

void OwnTextTest::fill()
{
    TableReader reader;
    reader.table[QStringLiteral("今日は 雨")] = {{QStringLiteral("今日"), QStringLiteral("キョウ")},
                                                 {QStringLiteral("は"), QStringLiteral("ハ")},
                                                 {QStringLiteral("雨"), QStringLiteral("アメ")}};
    reader.table[QStringLiteral("へ行く")] = {{QStringLiteral("へ"), QStringLiteral("ヘ")},
                                              {QStringLiteral("行く"), QStringLiteral("イク")}};
    // Words that do not spell the text are not trusted.
    reader.table[QStringLiteral("山を見る")] = {{QStringLiteral("川"), QStringLiteral("カワ")}};

    RubyLine line = textSentences(QStringLiteral("今日は 雨"))[0];
    QVERIFY(fillReadings(line, reader));
    QCOMPARE(describe(line), QStringLiteral("今日=きょう / は :は  / 雨=あめ"));

    // Ruby wins; only the run without it is asked for.
    line = textSentences(QStringLiteral("東京《とうきょう》へ行く"))[0];
    reader.calls = 0;
    QVERIFY(fillReadings(line, reader));
    QCOMPARE(reader.calls, 1);
    QCOMPARE(describe(line), QStringLiteral("東京=とうきょう / へ:へ / 行く=いく"));
    QVERIFY(fullyRead(line));

    line = textSentences(QStringLiteral("山を見る"))[0];
    QVERIFY(fillReadings(line, reader));
    QCOMPARE(describe(line), QStringLiteral("山: / を:を / 見: / る:る"));

    // Kana alone needs no reader.
    line = textSentences(QStringLiteral("かなだけ"))[0];
    reader.calls = 0;
    QVERIFY(fillReadings(line, reader));
    QCOMPARE(reader.calls, 0);

    reader.broken = true;
    line = textSentences(QStringLiteral("山を見る"))[0];
    QVERIFY(!fillReadings(line, reader));
    QCOMPARE(describe(line), QStringLiteral("山: / を:を / 見: / る:る"));
}

void OwnTextTest::runs()
{
    // Sentences of 10, 40, 40, 20 (100 cut at 40), 10, 10, 10, 10, 10 and 30 kana.
    std::vector<RubyLine> sentences;
    for (int length : {10, 100, 10, 10, 10, 10, 10, 30})
        for (RubyLine &sentence : textSentences(QString(length, u'か')))
            sentences.push_back(std::move(sentence));
    QCOMPARE(sentences.size(), size_t(10));
    const struct {
        int position, from, to;
    } rows[] = {{0, 0, 5}, {1, 1, 6}, {5, 5, 10}, {9, 9, 10}, {10, 0, 5}, {-3, 0, 5}};
    for (const auto &row : rows) {
        const RunSpan span = nextRun(sentences, row.position);
        QCOMPARE(span.from, row.from);
        QCOMPARE(span.to, row.to);
    }
    // About 150 kana: a run stops once it reached them.
    std::vector<RubyLine> long_(6, textSentences(QString(40, u'か'))[0]);
    QCOMPARE(nextRun(long_, 0).to, 4);
}

void OwnTextTest::library()
{
    QTemporaryDir dir;
    const QString folder = TextLibrary::folderBeside(dir.filePath(QStringLiteral("RK.set")));
    QCOMPARE(folder, dir.filePath(QStringLiteral("texts")));
    TextLibrary library(folder);
    QCOMPARE(TextLibrary::copyName(QStringLiteral("/a/b/.hidden.text.TXT")),
             QStringLiteral("hidden.text.txt"));
    QCOMPARE(TextLibrary::copyName(QStringLiteral("/a/index.txt")),
             QStringLiteral("text-index.txt"));

    // A correction saved into the copy comes back with it.
    std::vector<RubyLine> sentences =
        textSentences(QStringLiteral("今日《こんにち》は。ＡＢ１と※。"));
    QVERIFY(correctReading(sentences[0], 0, QStringLiteral("きょう")).isEmpty());
    QVERIFY(library.saveCopy(QStringLiteral("t.txt"), sentences));
    QString error;
    const auto copy = library.readCopy(QStringLiteral("t.txt"), &error);
    QVERIFY2(copy.has_value(), qPrintable(error));
    QCOMPARE(copy->size(), size_t(2));
    QCOMPARE(describe((*copy)[0]), QStringLiteral("今日=きょう / は。:は。"));
    QCOMPARE(describe((*copy)[1]), QStringLiteral("ＡＢ１と※。:AB1と※。"));

    // Positions and the recent list: the last opened first, ten at most, copies only.
    for (int i = 0; i < 12; ++i) {
        const QString name = QStringLiteral("%1.txt").arg(i);
        QVERIFY(library.saveCopy(name, sentences));
        QVERIFY(library.setPosition(name, i * 3));
    }
    QVERIFY(library.setPosition(QStringLiteral("4.txt"), 7));
    QVERIFY(library.setPosition(QStringLiteral("gone.txt"), 1));
    const QStringList recent = library.recent();
    QCOMPARE(recent.size(), 10);
    QCOMPARE(recent.first(), QStringLiteral("4.txt"));
    QCOMPARE(recent[1], QStringLiteral("11.txt"));
    QCOMPARE(recent.last(), QStringLiteral("2.txt"));
    QCOMPARE(library.position(QStringLiteral("4.txt")), 7);
    QCOMPARE(library.position(QStringLiteral("0.txt")), 0);
    QCOMPARE(library.position(QStringLiteral("11.txt")), 33);
    QCOMPARE(int(library.entries().size()), 13);
    // The best speed of a text: kept when beaten, not lost when the text moves up again.
    QVERIFY(library.addSpeed(QStringLiteral("5.txt"), 120.25));
    QVERIFY(library.addSpeed(QStringLiteral("5.txt"), 99));
    QVERIFY(library.setPosition(QStringLiteral("5.txt"), 2));
    QCOMPARE(library.bestSpeed(QStringLiteral("5.txt")), 120.3);
    QCOMPARE(library.bestSpeed(QStringLiteral("6.txt")), 0.0);
    QVERIFY(!library.addSpeed(QStringLiteral("unknown.txt"), 50));

    // An index edited by hand cannot lead out of the folder.
    QFile index(QDir(folder).filePath(QStringLiteral("index.txt")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("5\t../RK.set.txt\n2\t.x.txt\nx\t1.txt\n-1\t2.txt\n3\t4.txt\t-2\n"
                "9\t3.txt\t80.5\n4\t3.txt\n");
    index.close();
    QCOMPARE(library.entries().size(), size_t(1));
    QCOMPARE(library.position(QStringLiteral("3.txt")), 9);
    QCOMPARE(library.bestSpeed(QStringLiteral("3.txt")), 80.5);

    // A texts "folder" that is a file: nothing saved, nothing replaced.
    QFile blocker(dir.filePath(QStringLiteral("other")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TextLibrary blocked(dir.filePath(QStringLiteral("other")));
    QVERIFY(!blocked.saveCopy(QStringLiteral("t.txt"), sentences));
    QVERIFY(!blocked.setPosition(QStringLiteral("t.txt"), 1));
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("other"))).size(), 0);
}

void OwnTextTest::preparer()
{
    QTemporaryDir dir;
    TextLibrary library(dir.filePath(QStringLiteral("texts")));
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("山を見る。").repeated(12).toUtf8());
    file.close();
    TableReader *reader = nullptr;
    int calls = 0;
    QString missingWhy;
    const WordReaderFactory readers = [&](QString *missing) -> std::unique_ptr<WordReader> {
        if (!missingWhy.isEmpty()) {
            *missing = missingWhy;
            return nullptr;
        }
        auto made = std::make_unique<TableReader>();
        made->table[QStringLiteral("山を見る。")] = {
            {QStringLiteral("山"), QStringLiteral("ヤマ")},
            {QStringLiteral("を"), QStringLiteral("ヲ")},
            {QStringLiteral("見る"), QStringLiteral("ミル")},
            {QStringLiteral("。"), QString()}};
        made->sharedCalls = &calls;
        reader = made.get();
        return made;
    };

    // Without a reader: refused with its reason, nothing copied.
    missingWhy = QStringLiteral("MeCab is missing");
    TextPreparation refused = prepareTextFile(path, library, readers);
    QCOMPARE(refused.error, missingWhy);
    QVERIFY(!QFileInfo::exists(library.folder()));

    // The first run's five sentences come before the other seven are read.
    missingWhy.clear();
    int callsAtFirstRun = -1;
    size_t firstRunSize = 0;
    TextPreparation opened = prepareTextFile(path, library, readers, [&](const PreparedText &part) {
        callsAtFirstRun = calls;
        firstRunSize = part.sentences.size();
        QCOMPARE(formatRuby(part.sentences[4]), QStringLiteral("山《やま》を｜見る《みる》。"));
    });
    QCOMPARE(opened.error, QString());
    QCOMPARE(callsAtFirstRun, 5);
    QCOMPARE(firstRunSize, size_t(5));
    QCOMPARE(calls, 12);
    QCOMPARE(opened.text.sentences.size(), size_t(12));
    QVERIFY(sentencesRead(opened.text.sentences));

    // Opened again: the copy where it stopped, without asking for readings.
    QVERIFY(library.setPosition(opened.text.name, 7));
    reader = nullptr;
    const TextPreparation again = prepareTextFile(path, library, readers);
    QCOMPARE(again.error, QString());
    QCOMPARE(again.text.position, 7);
    QCOMPARE(again.text.sentences, opened.text.sentences);
    QVERIFY(reader == nullptr);
}

QTEST_APPLESS_MAIN(OwnTextTest)
#include "test_core_owntext.moc"
