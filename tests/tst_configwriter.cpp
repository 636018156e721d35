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
QList<QString *> textFields(Scheme &scheme)
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
    void texts_data();
    void texts();
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

void TestConfigWriter::texts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("readBack");

    const auto row = [](const char *name, const QString &text, const QString &content,
                         const QString &attribute, const QString &readBack) {
        QTest::newRow(name) << text << content << attribute << readBack;
    };
    const auto same
        = [&row](const char *name, const QString &text) { row(name, text, text, text, text); };
    const QString replaced(QChar(0xFFFD));
    same("empty", QString());
    same("non-ASCII and blanks at both ends",
        QStringLiteral("  q ---> F1 默认方案 é 😀 ﷐  "));
    same("delete and C1 controls are allowed", characters({ 0x7F, 0x85, 0x9F }));
    row("ampersand, less-than, quotes", QStringLiteral("a&b<c\"d'e"),
        QStringLiteral("a&amp;b&lt;c\"d'e"), QStringLiteral("a&amp;b&lt;c&quot;d'e"),
        QStringLiteral("a&b<c\"d'e"));
    row("an entity reference stays text", QStringLiteral("&amp;"), QStringLiteral("&amp;amp;"),
        QStringLiteral("&amp;amp;"), QStringLiteral("&amp;"));
    row("the end of a CDATA section", QStringLiteral("]]> ]> ]]]>"),
        QStringLiteral("]]&gt; ]> ]]]&gt;"), QStringLiteral("]]> ]> ]]]>"),
        QStringLiteral("]]> ]> ]]]>"));
    row("tab, line feed and carriage return", QStringLiteral("a\tb\r\nc\rd\n"),
        QStringLiteral("a&#9;b&#13;&#10;c&#13;d&#10;"),
        QStringLiteral("a&#9;b&#13;&#10;c&#13;d&#10;"), QStringLiteral("a\tb\r\nc\rd\n"));
    row("controls XML forbids, the escape key's among them",
        characters({ 'E', 0x1B, 0x00, 0x08, 0x0B, 0x0C, 0x1F }),
        QLatin1Char('E') + replaced.repeated(6), QLatin1Char('E') + replaced.repeated(6),
        QLatin1Char('E') + replaced.repeated(6));
    row("non-characters XML forbids", characters({ 0xFFFE, 0xFFFF }), replaced.repeated(2),
        replaced.repeated(2), replaced.repeated(2));
    row("surrogates without a partner", characters({ 0xD800, 'x', 0xDC00, 0xD83D }),
        replaced + QLatin1Char('x') + replaced + replaced,
        replaced + QLatin1Char('x') + replaced + replaced,
        replaced + QLatin1Char('x') + replaced + replaced);
}

// Each text in every text field of two schemes: the escaped forms, a document that an
// independent XML 1.0 parser accepts, and what reads back.
void TestConfigWriter::texts()
{
    QFETCH(QString, text);
    QFETCH(QString, content);
    QFETCH(QString, attribute);
    QFETCH(QString, readBack);

    QCOMPARE(xmlEscaped(text, XmlTextPlace::Content), content);
    QCOMPARE(xmlEscaped(text, XmlTextPlace::Attribute), attribute);

    Scheme scheme = exampleScheme();
    scheme.toneKeys.append({ 1, 2, QString() });
    for (QString *field : textFields(scheme))
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
        for (QString *field : textFields(read))
            QCOMPARE(*field, readBack);
    }
}

void TestConfigWriter::numbers()
{
    Scheme scheme = exampleScheme();
    scheme.keypad8 = 4294967295u;
    scheme.winShield = false;
    scheme.toneKeys = { { 4294967295u, 0, QString() } };
    const QByteArray document
        = XmlWriter(QStringLiteral("1.9"), 1).document({ exampleScheme(), scheme });
    QVERIFY(document.contains("<keypad8>4294967295</keypad8>"));
    QVERIFY(document.contains("<winShield>0</winShield>"));
    QVERIFY(document.contains("<lastScheme>1</lastScheme>"));

    int lastScheme = -1;
    const QVector<Scheme> schemes = read(document, &lastScheme);
    QCOMPARE(lastScheme, 1);
    QCOMPARE(schemes.at(1).keypad8, 4294967295u);
    QCOMPARE(schemes.at(1).winShield, false);
    QCOMPARE(schemes.at(1).toneKeys.at(0).from, 4294967295u);
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
