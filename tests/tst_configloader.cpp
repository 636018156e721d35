#include "configfixture.h"
#include "messageboxcatcher.h"
#include "tolvaninspector.h"

#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// A scheme with the default keys under `name`, as schemeElement() writes it, plus pairs.
QString defaultsNamed(const QString &name, const QStringList &pairs = {})
{
    return (
        QStringList { name, QStringLiteral("on|145=ScrollLock|35=End|36=Home|0=|0=|0=|0=|0=|0=") }
        + pairs)
        .join(QLatin1Char('|'));
}

const QString fileError = QStringLiteral("file error|xml parse error at");

} // namespace

class TestConfigLoader : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void load_data();
    void load();
    void manyPairsAreKept();
    void errorBox();
    void translatedErrorBox();
};

void TestConfigLoader::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestConfigLoader::load_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("schemes");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("lastScheme");
    QTest::addColumn<QStringList>("boxes");

    const QStringList defaultOnly { defaultsNamed(QStringLiteral("默认方案")) };
    const QStringList formEntry { QStringLiteral("默认方案") };
    const QByteArray two = schemeElement("one") + schemeElement("two");

    QTest::newRow("no file: the default scheme, no box")
        << QByteArray() << defaultOnly << formEntry << 0 << QStringList();
    QTest::newRow("the example")
        << fileBytes(QFINDTESTDATA("data/example.xtol"))
        << QStringList { QStringLiteral(
               "默认方案|on|145=ScrollLock|35=End|36=Home|65=a|0=|0=|0=|0=|0="
               "|81>112 q         ---->         F1") }
        << formEntry << 0 << QStringList();
    QTest::newRow("the example with CR LF line ends")
        << fileBytes(QFINDTESTDATA("data/example.xtol")).replace("\n", "\r\n")
        << QStringList { QStringLiteral(
               "默认方案|on|145=ScrollLock|35=End|36=Home|65=a|0=|0=|0=|0=|0="
               "|81>112 q         ---->         F1") }
        << formEntry << 0 << QStringList();
    QTest::newRow("the first scheme's entry keeps the form's text")
        << settingsDocument(schemeElement("Mine")) << QStringList { defaultsNamed("Mine") }
        << formEntry << 0 << QStringList();
    QTest::newRow("three schemes add two entries in file order")
        << settingsDocument("<lastScheme>2</lastScheme>" + schemeElement("a") + schemeElement("b")
               + schemeElement("c"))
        << QStringList { defaultsNamed("a"), defaultsNamed("b"), defaultsNamed("c") }
        << QStringList { "默认方案", "b", "c" } << 2 << QStringList();
    QTest::newRow("pairs belong to their own scheme")
        << settingsDocument(
               schemeElement("a",
                   "<toneKey><toneKeyText>x</toneKeyText><from>1</from><to>2</to></toneKey>"
                   "<toneKey><toneKeyText>y</toneKeyText><from>3</from><to>4</to></toneKey>")
               + schemeElement(
                   "b", "<toneKey><toneKeyText>z</toneKeyText><from>5</from><to>6</to></toneKey>"))
        << QStringList { defaultsNamed("a", { "1>2 x", "3>4 y" }), defaultsNamed("b", { "5>6 z" }) }
        << QStringList { "默认方案", "b" } << 0 << QStringList();
    QTest::newRow("entities, character references and CDATA read as text")
        << settingsDocument(schemeElement("&lt;&amp;&quot;&#9;&#10;&#13;",
               "<keypad7>60</keypad7><keypad7Text>&lt;</keypad7Text>"
               "<keypad8Text><![CDATA[<&>]]></keypad8Text><keypad4Text>a&#13;&#10;b</keypad4Text>"))
        << QStringList { "<&\"\t\n\r|on|145=ScrollLock|35=End|36=Home|60=<|0=<&>|0=a\r\nb|0=|0=|"
                         "0=" }
        << formEntry << 0 << QStringList();
    QTest::newRow("no document type, unknown elements and attributes")
        << QByteArray("<?xml version=\"1.0\"?><tolvan version=\"1.9\" extra=\"1\"><future/>"
                      "<scheme name=\"a\" colour=\"red\"><note>n</note><keypad1 unit=\"vk\">49"
                      "</keypad1><keypad1Text>1</keypad1Text></scheme></tolvan>")
        << QStringList { "a|off|0=|0=|0=|0=|0=|0=|0=|49=1|0=" } << formEntry << 0 << QStringList();
    QTest::newRow("a prefix is part of the name")
        << settingsDocument(schemeElement("a") + "<x:scheme name=\"b\"/>")
        << QStringList { defaultsNamed("a") } << formEntry << 0 << QStringList();
    QTest::newRow("winShield: any number but 0 is on, a word is off")
        << settingsDocument(schemeElement("a", "<winShield>7</winShield>")
               + schemeElement("b", "<winShield>yes</winShield>")
               + schemeElement("c", "<winShield>-1</winShield>"))
        << QStringList { defaultsNamed("a"),
               "b|off|145=ScrollLock|35=End|36=Home|0=|0=|0=|0=|0=|0=", defaultsNamed("c") }
        << QStringList { "默认方案", "b", "c" } << 0 << QStringList();
    QTest::newRow("codes: the largest kept, what does not convert is 0")
        << settingsDocument(schemeElement("a",
               "<keypad7>4294967295</keypad7><keypad8>4294967296</keypad8><keypad4>-1</keypad4>"
               "<keypad5>0x41</keypad5><keypad1>12a</keypad1><keypad2></keypad2>"
               "<turnOn>65</turnOn>"))
        << QStringList { "a|on|65=ScrollLock|35=End|36=Home|4294967295=|0=|0=|0=|0=|0=" }
        << formEntry << 0 << QStringList();
    QTest::newRow("letters as lastScheme read as 0")
        << settingsDocument("<lastScheme>one</lastScheme>" + two)
        << QStringList { defaultsNamed("one"), defaultsNamed("two") }
        << QStringList { "默认方案", "two" } << 0 << QStringList();
    QTest::newRow("lastScheme beyond the schemes names the last")
        << settingsDocument("<lastScheme>5</lastScheme>" + two)
        << QStringList { defaultsNamed("one"), defaultsNamed("two") }
        << QStringList { "默认方案", "two" } << 1 << QStringList();
    QTest::newRow("negative lastScheme names the first")
        << settingsDocument("<lastScheme>-3</lastScheme>" + two)
        << QStringList { defaultsNamed("one"), defaultsNamed("two") }
        << QStringList { "默认方案", "two" } << 0 << QStringList();
    QTest::newRow("fields outside every scheme change nothing")
        << settingsDocument("<keypad7>1</keypad7><keypad7Text>x</keypad7Text><toneKey><from>1"
                            "</from></toneKey>"
               + schemeElement("a",
                   "<toneKey><toneKeyText>p</toneKeyText><from>1</from><to>2</to>"
                   "</toneKey>")
               + "<winShield>0</winShield><keypad8>9</keypad8><from>7</from><toneKeyText>t"
                 "</toneKeyText>"
               + schemeElement("b"))
        << QStringList { defaultsNamed("a", { "1>2 p" }), defaultsNamed("b") }
        << QStringList { "默认方案", "b" } << 0 << QStringList();
    QTest::newRow("pair fields before the scheme's first pair change nothing")
        << settingsDocument(schemeElement("a",
                                "<toneKey><toneKeyText>p</toneKeyText><from>1</from><to>2</to>"
                                "</toneKey><from>8</from>")
               + schemeElement("b", "<from>9</from><to>9</to><toneKeyText>q</toneKeyText>"))
        << QStringList { defaultsNamed("a", { "1>2 p" }), defaultsNamed("b") }
        << QStringList { "默认方案", "b" } << 0 << QStringList();

    QTest::newRow("another root: nothing read, the default scheme")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xtol>\n"
                      "<other version=\"1.9\">\n<lastScheme>1</lastScheme>\n</other>\n")
        << defaultOnly << formEntry << 0
        << QStringList { fileError + "3row21col:\nfile type does not match。" };
    QTest::newRow("another version")
        << settingsDocument(schemeElement("a")).replace("\"1.9\"", "\"1.90\"") << defaultOnly
        << formEntry << 0 << QStringList { fileError + "3row23col:\nVersion does not match。" };
    QTest::newRow("version with a leading blank")
        << settingsDocument(schemeElement("a")).replace("\"1.9\"", "\" 1.9\"") << defaultOnly
        << formEntry << 0 << QStringList { fileError + "3row23col:\nVersion does not match。" };
    QTest::newRow("no version")
        << settingsDocument(schemeElement("a")).replace(" version=\"1.9\"", "") << defaultOnly
        << formEntry << 0 << QStringList { fileError + "3row8col:\nVersion does not match。" };
    QTest::newRow("nested tolvan without a version stops the load")
        << settingsDocument(schemeElement("a", "<keypad7>1</keypad7><tolvan/><keypad8>2</keypad8>")
               + schemeElement("b"))
        << QStringList { "a|on|145=ScrollLock|35=End|36=Home|1=|0=|0=|0=|0=|0=" } << formEntry << 0
        << QStringList { fileError + "4row256col:\nVersion does not match。" };
    // Line 5 holds the second scheme; the cuts fall inside it.
    const QByteArray whole = settingsDocument(
        schemeElement("a") + schemeElement("b", "<keypad7>7</keypad7><keypad4Text>half"));
    const qsizetype textStart = whole.indexOf("<keypad4Text>half") + 13;
    const qsizetype lineStart = whole.lastIndexOf('\n', textStart) + 1;
    const QStringList secondCut { defaultsNamed("a"),
        "b|on|145=ScrollLock|35=End|36=Home|7=|0=|0=|0=|0=|0=" };
    QTest::newRow("cut inside the second scheme's keypad4Text")
        << whole.left(textStart + 2) << secondCut << QStringList { "默认方案", "b" } << 0
        << QStringList { fileError
               + QStringLiteral("5row%1col:\nPremature end of document.。")
                     .arg(textStart + 2 - lineStart) };
    QTest::newRow("cut right after the second scheme's keypad4Text start tag")
        << whole.left(textStart) << secondCut << QStringList { "默认方案", "b" } << 0
        << QStringList { fileError
               + QStringLiteral("5row%1col:\nPremature end of document.。")
                     .arg(textStart - lineStart) };
    QTest::newRow("broken before the first scheme")
        << settingsDocument("<lastScheme>1</lastScheme><lastScheme" + schemeElement("a"))
        << defaultOnly << formEntry << 0
        << QStringList { fileError + "4row38col:\nExpected '>' or '/', but got '<'.。" };
    QTest::newRow("an empty file")
        << QByteArray("") << defaultOnly << formEntry << 0
        << QStringList { fileError + "1row0col:\nPremature end of document.。" };
    QTest::newRow("text after the root keeps what was read")
        << settingsDocument(two) + "junk"
        << QStringList { defaultsNamed("one"), defaultsNamed("two") }
        << QStringList { "默认方案", "two" } << 0
        << QStringList { fileError + "7row1col:\nExtra content at end of document.。" };
    QTest::newRow("a control character XML forbids")
        << settingsDocument(schemeElement("a", "<keypad7Text>\x1b</keypad7Text>"))
        << QStringList { defaultsNamed("a") } << formEntry << 0
        << QStringList { fileError + "4row241col:\nUnexpected ''.。" };

    QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE tolvan [\n<!ENTITY e0 \"lol\">\n";
    for (int i = 1; i < 10; ++i)
        bomb += QStringLiteral("<!ENTITY e%1 \"%2\">\n")
                    .arg(i)
                    .arg(QStringLiteral("&e%1;").arg(i - 1).repeated(10))
                    .toUtf8();
    bomb += "]>\n<tolvan version=\"1.9\"><scheme name=\"&e9;\"><keypad7Text>&e9;</keypad7Text>"
            "</scheme></tolvan>\n";
    QTest::newRow("an entity bomb is refused")
        << bomb << defaultOnly << formEntry << 0
        << QStringList { fileError
               + "14row40col:\nEntity expands to more characters than the entity expansion "
                 "limit.。" };
}

void TestConfigLoader::load()
{
    QFETCH(QByteArray, document);
    QFETCH(QStringList, schemes);
    QFETCH(QStringList, entries);
    QFETCH(int, lastScheme);
    QFETCH(QStringList, boxes);

    WorkingDirectory directory;
    const QString file = directory.filePath(QStringLiteral("tolvan.xtol"));
    if (!document.isNull())
        QVERIFY(writeBytes(file, document));

    MessageBoxCatcher catcher;
    Tolvan window;

    QCOMPARE(describe(TolvanInspector::schemes(window)), schemes);
    QStringList actualEntries;
    for (int i = 0; i < window.schemeComboBox->count(); ++i)
        actualEntries << window.schemeComboBox->itemText(i);
    QCOMPARE(actualEntries, entries);
    QCOMPARE(TolvanInspector::lastScheme(window), lastScheme);
    QCOMPARE(window.schemeComboBox->currentIndex(), lastScheme);
    QCOMPARE(catcher.summaries(), boxes);
    // Reading never changes the file.
    QCOMPARE(fileBytes(file), document);
    QCOMPARE(QFileInfo::exists(file + QStringLiteral(".bak")), false);
}

void TestConfigLoader::manyPairsAreKept()
{
    WorkingDirectory directory;
    QByteArray pairs;
    for (int i = 0; i < 150; ++i)
        pairs += QStringLiteral("<toneKey><toneKeyText>%1</toneKeyText><from>%1</from><to>%2</to>"
                                "</toneKey>")
                     .arg(i)
                     .arg(i + 1000)
                     .toUtf8();
    QVERIFY(writeBytes(QStringLiteral("tolvan.xtol"), settingsDocument(schemeElement("a", pairs))));

    Tolvan window;
    const QList<ToneKey> &toneKeys = TolvanInspector::schemes(window).first().toneKeys;
    QCOMPARE(toneKeys.size(), 150);
    QCOMPARE(toneKeys.last().from, 149u);
    QCOMPARE(toneKeys.last().to, 1149u);
    QCOMPARE(toneKeys.last().toneKeyText, QStringLiteral("149"));
}

void TestConfigLoader::errorBox()
{
    WorkingDirectory directory;
    QVERIFY(writeBytes(QStringLiteral("tolvan.xtol"), QByteArray("<other/>")));

    MessageBoxCatcher catcher;
    Tolvan window;
    QCOMPARE(catcher.boxes.size(), 1);
    const MessageBoxCatcher::Box &box = catcher.boxes.first();
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.parent, &window);
    QCOMPARE(box.buttonCount, 1);
    QVERIFY(box.modal);
}

void TestConfigLoader::translatedErrorBox()
{
    WorkingDirectory directory;
    QVERIFY(writeBytes(
        QStringLiteral("tolvan.xtol"), QByteArray("<tolvan version=\"2.0\">\n</tolvan>\n")));
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(TOLVAN_QM_FILE)));
    QCoreApplication::installTranslator(&translator);

    MessageBoxCatcher catcher;
    {
        Tolvan window;
    }
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(catcher.summaries(),
        QStringList { QStringLiteral("文件错误|xml 解析错误，位于第1行第22列：\n版本不匹配。") });
}

QTEST_MAIN(TestConfigLoader)
#include "tst_configloader.moc"
