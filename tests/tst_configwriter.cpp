#include "config/xmlhandler.h"
#include "config/xmltext.h"
#include "config/xmlwriter.h"
#include "configfixture.h"

#include <QBuffer>
#include <QtTest>

namespace {

// Every text field holds `text`, beside the largest codes and the Windows-key switch as given.
Scheme schemeWith(const QString &text, bool winShield)
{
    Scheme s;
    s.name = s.turnOnText = s.enemyBloodText = s.friendBloodText = s.keypad7Text = s.keypad8Text
        = s.keypad4Text = s.keypad5Text = s.keypad1Text = s.keypad2Text = text;
    s.winShield = winShield;
    s.keypad8 = 4294967295u;
    s.toneKeys = {{4294967295u, 0, text}, {1, 2, text}};
    return s;
}

} // namespace

class TestConfigWriter : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
};

void TestConfigWriter::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("readBack");

    const auto escaped = [](const char *name, const QString &text, const QString &content) {
        QTest::newRow(name) << text << content << text;
    };
    const auto replaced = [](const char *name, const QString &text, const QString &result) {
        QTest::newRow(name) << text << result << result;
    };
    escaped("empty", QString(), QString());
    const QString plain = QStringLiteral("  q ---> F1 默认方案 é 😀 ﷐ \x7F\x85  ");
    escaped("non-ASCII, delete, C1 controls, blanks at both ends", plain, plain);
    escaped("markup characters and an entity reference", QStringLiteral("a&b<c\"d'e>&amp;"),
        QStringLiteral("a&amp;b&lt;c\"d'e>&amp;amp;"));
    escaped("the end of a CDATA section", QStringLiteral("]]> ]> ]]]>"),
        QStringLiteral("]]&gt; ]> ]]]&gt;"));
    escaped("tab, line feed and carriage return", QStringLiteral("a\tb\r\nc\rd\n"),
        QStringLiteral("a&#9;b&#13;&#10;c&#13;d&#10;"));
    const QString bad(QChar(0xFFFD));
    replaced("controls XML forbids, the escape key's among them",
        QStringLiteral("E\x1B\0\b\v\f\x1F"), 'E' + bad.repeated(6));
    replaced("non-characters and surrogates without a partner",
        QStringLiteral("\xFFFE\xFFFF\xD800x\xDC00\xD83D"), bad + bad + bad + 'x' + bad + bad);
}

// The text in every text field of two schemes: its escaped form, a document that an independent
// XML 1.0 parser accepts, one line per element, and what reads back.
void TestConfigWriter::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, content);
    QFETCH(QString, readBack);

    QCOMPARE(xmlEscaped(text, XmlTextPlace::Content), content);

    const QVector<Scheme> schemes {schemeWith(text, false), schemeWith(text, true)};
    QByteArray document = XmlWriter(QStringLiteral("1.9"), 1).document(schemes);
    QCOMPARE(document.count('\n'), 5 + 21 * 2 + 5 * 4);
    const QString complaint = xmllintComplaint(document);
    QVERIFY2(complaint.isEmpty(), qPrintable(complaint));

    QBuffer buffer(&document);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QVector<Scheme> read;
    XmlHandler handler(&read);
    QVERIFY(handler.parse(&buffer));
    QCOMPARE(handler.lastScheme(), 1);
    QCOMPARE(describe(read), describe({schemeWith(readBack, false), schemeWith(readBack, true)}));
}

QTEST_GUILESS_MAIN(TestConfigWriter)
#include "tst_configwriter.moc"
