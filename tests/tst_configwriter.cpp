#include "config/xmlhandler.h"
#include "config/xmltext.h"
#include "config/xmlwriter.h"

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Built character by character: a literal would end at U+0000 or lose U+FFFE as a byte-order mark.
QString characters(std::initializer_list<char16_t> units)
{
    QString text;
    for (char16_t unit : units)
        text += QChar(unit);
    return text;
}

Scheme exampleScheme()
{
    Scheme scheme;
    setSchemeDefaults(scheme);
    scheme.name = QStringLiteral("默认方案");
    scheme.keypad7 = 65;
    scheme.keypad7Text = QStringLiteral("a");
    scheme.toneKeys.append({ 81, 112, QStringLiteral("q         ---->         F1") });
    return scheme;
}

// Every text field, in the order the file has them.
QList<QString *> texts(Scheme &scheme)
{
    QList<QString *> result { &scheme.name, &scheme.turnOnText, &scheme.enemyBloodText,
        &scheme.friendBloodText, &scheme.keypad7Text, &scheme.keypad8Text, &scheme.keypad4Text,
        &scheme.keypad5Text, &scheme.keypad1Text, &scheme.keypad2Text };
    for (ToneKey &toneKey : scheme.toneKeys)
        result << &toneKey.toneKeyText;
    return result;
}

QVector<Scheme> read(
    const QByteArray &document, int *lastScheme = nullptr, bool *complete = nullptr)
{
    QByteArray bytes = document;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QVector<Scheme> schemes;
    XmlHandler handler(&schemes);
    const bool done = handler.parse(&buffer);
    if (complete)
        *complete = done;
    if (lastScheme)
        *lastScheme = handler.lastScheme();
    return schemes;
}

// What an independent XML 1.0 parser says of the document; empty when it accepts it.
QString xmllintComplaint(const QByteArray &document)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        return QStringLiteral("xmllint is not installed (libxml2-utils)");
    QProcess process;
    process.start(xmllint, { QStringLiteral("--noout"), QStringLiteral("-") });
    process.write(document);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return QStringLiteral("xmllint did not finish");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

// Takes the first `capacity` bytes, then refuses, as a file does at a size limit: the write
// that reaches the limit is cut short without an error, only the next one fails.
class LimitedDevice : public QIODevice
{
public:
    explicit LimitedDevice(qint64 capacity) : capacity(capacity) { open(QIODevice::WriteOnly); }
    QByteArray received;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 room = capacity - received.size();
        if (room <= 0)
            return -1;
        const qint64 taken = qMin(room, length);
        received.append(data, taken);
        return taken;
    }

private:
    qint64 capacity;
};

} // namespace

class TestConfigWriter : public QObject
{
    Q_OBJECT

private slots:
    void exampleDocument();
    void exampleReadAndWrittenAgain();
    void lineLayout_data();
    void lineLayout();
    void textForms_data();
    void textForms();
    void textsSurviveWriteAndRead_data();
    void textsSurviveWriteAndRead();
    void numbers_data();
    void numbers();
    void shortDevice_data();
    void shortDevice();
};

void TestConfigWriter::exampleDocument()
{
    const QByteArray expected = readFile(QFINDTESTDATA("data/example.xtol"));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(XmlWriter(QStringLiteral("1.9"), 0).document({ exampleScheme() }), expected);
}

void TestConfigWriter::exampleReadAndWrittenAgain()
{
    const QByteArray example = readFile(QFINDTESTDATA("data/example.xtol"));
    int lastScheme = -1;
    bool complete = false;
    const QVector<Scheme> schemes = read(example, &lastScheme, &complete);
    QVERIFY(complete);
    QCOMPARE(schemes.size(), 1);
    QCOMPARE(XmlWriter(QStringLiteral("1.9"), lastScheme).document(schemes), example);
}

void TestConfigWriter::lineLayout_data()
{
    QTest::addColumn<QList<int>>("pairsPerScheme");

    QTest::newRow("one scheme without pairs") << QList<int> { 0 };
    QTest::newRow("one scheme with one pair") << QList<int> { 1 };
    QTest::newRow("three schemes, pairs in two") << QList<int> { 2, 0, 1 };
    QTest::newRow("a scheme with more pairs than the hook takes") << QList<int> { 150 };
}

void TestConfigWriter::lineLayout()
{
    QFETCH(QList<int>, pairsPerScheme);

    QVector<Scheme> schemes;
    int pairCount = 0;
    for (int pairs : pairsPerScheme) {
        Scheme scheme;
        setSchemeDefaults(scheme);
        // Texts with line breaks in them must not add lines.
        scheme.name = QStringLiteral("two\nlines");
        for (int i = 0; i < pairs; ++i)
            scheme.toneKeys.append({ quint32(i), quint32(i + 1), QStringLiteral("a\r\nb") });
        pairCount += pairs;
        schemes << scheme;
    }
    const QByteArray document = XmlWriter(QStringLiteral("1.9"), 0).document(schemes);

    const QList<QByteArray> lines = document.split('\n');
    QCOMPARE(lines.last(), QByteArray());
    QCOMPARE(lines.size() - 1, 5 + 21 * int(schemes.size()) + 5 * pairCount);
    const QList<int> allowedIndents { 0, 4, 8, 12 };
    for (int i = 0; i < lines.size() - 1; ++i) {
        const QByteArray &line = lines.at(i);
        const qsizetype indent = line.size() - line.trimmed().size();
        QVERIFY2(allowedIndents.contains(int(indent)) && !line.contains('\t') && !line.endsWith(' ')
                && !line.isEmpty(),
            line.constData());
    }
}

void TestConfigWriter::textForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("attribute");

    QTest::newRow("plain and non-ASCII text unchanged")
        << QStringLiteral("q ---> F1 默认方案 é 😀") << QStringLiteral("q ---> F1 默认方案 é 😀")
        << QStringLiteral("q ---> F1 默认方案 é 😀");
    QTest::newRow("ampersand, less-than, quotes")
        << QStringLiteral("a&b<c\"d'e") << QStringLiteral("a&amp;b&lt;c\"d'e")
        << QStringLiteral("a&amp;b&lt;c&quot;d'e");
    QTest::newRow("an entity reference stays text")
        << QStringLiteral("&amp;") << QStringLiteral("&amp;amp;") << QStringLiteral("&amp;amp;");
    QTest::newRow("the end of a CDATA section")
        << QStringLiteral("]]> ]> ]]]>") << QStringLiteral("]]&gt; ]> ]]]&gt;")
        << QStringLiteral("]]> ]> ]]]>");
    QTest::newRow("tab, line feed and carriage return as character references") << QStringLiteral(
        "\t\n\r") << QStringLiteral("&#9;&#10;&#13;") << QStringLiteral("&#9;&#10;&#13;");
    QTest::newRow("controls XML forbids become the replacement character")
        << characters({ 0x1B, 0x00, 0x08, 0x0B, 0x0C, 0x1F }) << QString(6, QChar(0xFFFD))
        << QString(6, QChar(0xFFFD));
    QTest::newRow("non-characters XML forbids")
        << characters({ 0xFFFE, 0xFFFF }) << QString(2, QChar(0xFFFD)) << QString(2, QChar(0xFFFD));
    QTest::newRow("surrogates without a partner")
        << (QString(QChar(0xD800)) + QLatin1Char('x') + QChar(0xDC00) + QChar(0xD83D))
        << (QString(QChar(0xFFFD)) + QLatin1Char('x') + QChar(0xFFFD) + QChar(0xFFFD))
        << (QString(QChar(0xFFFD)) + QLatin1Char('x') + QChar(0xFFFD) + QChar(0xFFFD));
    QTest::newRow("delete and C1 controls are allowed")
        << characters({ 0x7F, 0x85, 0x9F }) << characters({ 0x7F, 0x85, 0x9F })
        << characters({ 0x7F, 0x85, 0x9F });
}

void TestConfigWriter::textForms()
{
    QFETCH(QString, text);
    QFETCH(QString, content);
    QFETCH(QString, attribute);

    QCOMPARE(xmlEscaped(text, XmlTextPlace::Content), content);
    QCOMPARE(xmlEscaped(text, XmlTextPlace::Attribute), attribute);
}

void TestConfigWriter::textsSurviveWriteAndRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    const auto same
        = [](const char *name, const QString &text) { QTest::newRow(name) << text << text; };
    same("empty", QString());
    same("markup characters", QStringLiteral("<a href=\"x\">&amp;</a> 'q' > ]]>"));
    same("blanks kept at both ends", QStringLiteral("  a  b  "));
    same("only blanks", QStringLiteral("   "));
    same("tab", QStringLiteral("\tTab\t"));
    same("carriage return and line feed", QStringLiteral("a\r\nb\rc\nd"));
    same("text pasted with a trailing line break", QStringLiteral("F1\n"));
    same("non-ASCII", QStringLiteral("默认方案 ÄÖü ß 😀 ﷐"));
    same("delete and C1 controls", characters({ 0x7F, 0x85 }));
    QTest::newRow("null character")
        << characters({ 'a', 0x00, 'b' }) << characters({ 'a', 0xFFFD, 'b' });
    QTest::newRow("non-characters")
        << characters({ 0xFFFE, 0xFFFF }) << characters({ 0xFFFD, 0xFFFD });
    same("placeholders", QStringLiteral("%1 %2 \\n"));
    QTest::newRow("escape character")
        << QStringLiteral("Esc\x1b") << QStringLiteral("Esc") + QChar(0xFFFD);
    QTest::newRow("surrogate without a partner")
        << (QStringLiteral("a") + QChar(0xDC00)) << (QStringLiteral("a") + QChar(0xFFFD));
}

void TestConfigWriter::textsSurviveWriteAndRead()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);

    Scheme scheme = exampleScheme();
    scheme.toneKeys.append({ 1, 2, QString() });
    for (QString *field : texts(scheme))
        *field = text;
    const QByteArray document = XmlWriter(QStringLiteral("1.9"), 0).document({ scheme, scheme });

    const QString complaint = xmllintComplaint(document);
    QVERIFY2(complaint.isEmpty(), qPrintable(complaint));

    bool complete = false;
    QVector<Scheme> schemes = read(document, nullptr, &complete);
    QVERIFY(complete);
    QCOMPARE(schemes.size(), 2);
    for (Scheme &read : schemes) {
        QCOMPARE(read.toneKeys.size(), 2);
        for (QString *field : texts(read))
            QCOMPARE(*field, readBack);
    }
}

void TestConfigWriter::numbers_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<bool>("winShield");
    QTest::addColumn<int>("lastScheme");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("no key, switch off") << 0u << false << 0 << QByteArray("<keypad8>0</keypad8>");
    QTest::newRow("the largest code in ten digits")
        << 4294967295u << true << 1 << QByteArray("<keypad8>4294967295</keypad8>");
    QTest::newRow("a common code") << 65u << true << 1 << QByteArray("<keypad8>65</keypad8>");
}

void TestConfigWriter::numbers()
{
    QFETCH(quint32, code);
    QFETCH(bool, winShield);
    QFETCH(int, lastScheme);
    QFETCH(QByteArray, written);

    Scheme scheme = exampleScheme();
    scheme.keypad8 = code;
    scheme.winShield = winShield;
    scheme.toneKeys = { { code, code, QString() } };
    const QByteArray document
        = XmlWriter(QStringLiteral("1.9"), lastScheme).document({ scheme, scheme });
    QVERIFY(document.contains(written));
    QVERIFY(document.contains(winShield ? "<winShield>1</winShield>" : "<winShield>0</winShield>"));
    QVERIFY(document.contains("<lastScheme>" + QByteArray::number(lastScheme) + "</lastScheme>"));

    int readLastScheme = -1;
    const QVector<Scheme> schemes = read(document, &readLastScheme);
    QCOMPARE(readLastScheme, lastScheme);
    QCOMPARE(schemes.at(1).keypad8, code);
    QCOMPARE(schemes.at(1).winShield, winShield);
    QCOMPARE(schemes.at(1).toneKeys.at(0).from, code);
    QCOMPARE(schemes.at(1).toneKeys.at(0).to, code);
}

void TestConfigWriter::shortDevice_data()
{
    QTest::addColumn<int>("room");
    QTest::addColumn<bool>("complete");

    // The example document is 987 bytes long.
    QTest::newRow("nothing fits") << 0 << false;
    QTest::newRow("the header fits") << 100 << false;
    QTest::newRow("all but the last byte fits") << 986 << false;
    QTest::newRow("exactly fits") << 987 << true;
    QTest::newRow("room to spare") << 4096 << true;
}

void TestConfigWriter::shortDevice()
{
    QFETCH(int, room);
    QFETCH(bool, complete);

    XmlWriter writer(QStringLiteral("1.9"), 0);
    const QByteArray document = writer.document({ exampleScheme() });
    QCOMPARE(document.size(), 987);
    LimitedDevice device(room);
    QCOMPARE(writer.writeFile(&device, { exampleScheme() }), complete);
    QCOMPARE(device.received, document.left(room));
}

QTEST_GUILESS_MAIN(TestConfigWriter)
#include "tst_configwriter.moc"
