#include "configfixture.h"
#include "messageboxcatcher.h"
#include "tolvaninspector.h"

#include <QTranslator>
#include <QtTest>

namespace {

const QByteArray header("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xtol>\n"
                        "<tolvan version=\"1.9\">\n");

QByteArray document(const QByteArray &body)
{
    return header + body + "</tolvan>\n";
}

// A scheme element on one line with the default keys, then `content`.
QByteArray scheme(const QByteArray &name, const QByteArray &content = QByteArray())
{
    return "<scheme name=\"" + name
        + "\"><winShield>1</winShield><turnOn>145</turnOn><turnOnText>ScrollLock</turnOnText>"
          "<enemyBlood>35</enemyBlood><enemyBloodText>End</enemyBloodText><friendBlood>36"
          "</friendBlood><friendBloodText>Home</friendBloodText>"
        + content + "</scheme>\n";
}

QByteArray pair(const QByteArray &text, int from, int to)
{
    return "<toneKey><toneKeyText>" + text + "</toneKeyText><from>" + QByteArray::number(from)
        + "</from><to>" + QByteArray::number(to) + "</to></toneKey>";
}

// How scheme() reads, as describe() shows it.
QString defaults(const QString &name, const QStringList &pairs = {})
{
    return (QStringList {name, QStringLiteral("on|145=ScrollLock|35=End|36=Home|0=|0=|0=|0=|0=|0=")}
        + pairs)
        .join(QLatin1Char('|'));
}

QStringList fileError(const char *position, const char *message)
{
    return {QStringLiteral("file error|xml parse error at%1:\n%2。")
                .arg(QLatin1String(position), QLatin1String(message))};
}

} // namespace

class TestConfigLoader : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void load_data();
    void load();
    void translatedErrorBox();
};

void TestConfigLoader::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("schemes");
    QTest::addColumn<int>("lastScheme");
    QTest::addColumn<QStringList>("boxes");

    const QStringList defaultOnly {defaults(QStringLiteral("默认方案"))};
    const QByteArray two = scheme("one") + scheme("two");

    QTest::newRow("no file: the default scheme, no box")
        << QByteArray() << defaultOnly << 0 << QStringList();
    QTest::newRow("the example")
        << fileBytes(QFINDTESTDATA("data/example.xtol"))
        << QStringList {"默认方案|on|145=ScrollLock|35=End|36=Home|65=a|0=|0=|0=|0=|0="
                        "|81>112 q         ---->         F1"}
        << 0 << QStringList();
    QTest::newRow("three schemes, pairs in their own, lastScheme beyond them names the last")
        << document("<lastScheme>5</lastScheme>" + scheme("a", pair("x", 1, 2) + pair("y", 3, 4))
               + scheme("b") + scheme("c", pair("z", 5, 6)))
        << QStringList {defaults("a", {"1>2 x", "3>4 y"}), defaults("b"), defaults("c", {"5>6 z"})}
        << 2 << QStringList();
    QTest::newRow("no document type; unknown elements, prefixes, attributes; text beside CDATA")
        << QByteArray("<?xml version=\"1.0\"?><tolvan version=\"1.9\" extra=\"1\"><future/>"
                      "<scheme name=\"a\" colour=\"red\"><x:note>n</x:note><keypad1 unit=\"vk\">49"
                      "</keypad1><keypad1Text>1<![CDATA[<&]]></keypad1Text></scheme></tolvan>")
        << QStringList {"a|off|0=|0=|0=|0=|0=|0=|0=|49=1<&|0="} << 0 << QStringList();
    QTest::newRow(
        "numbers: not converting is 0, winShield on unless 0, lastScheme below 0 the first")
        << document("<lastScheme>-3</lastScheme>"
               + scheme("a",
                   "<winShield>-1</winShield><keypad7>4294967295</keypad7><keypad8>4294967296"
                   "</keypad8><keypad4>-1</keypad4><keypad5>0x41</keypad5><keypad1>12a</keypad1>"
                   "<turnOn>65</turnOn>")
               + scheme("b", "<winShield>yes</winShield>"))
        << QStringList {"a|on|65=ScrollLock|35=End|36=Home|4294967295=|0=|0=|0=|0=|0=",
               "b|off|145=ScrollLock|35=End|36=Home|0=|0=|0=|0=|0=|0="}
        << 0 << QStringList();
    QTest::newRow("fields outside a scheme or before its first pair change nothing")
        << document("<keypad7>1</keypad7><toneKey><from>1</from></toneKey>"
               + scheme("one", "<from>8</from><toneKeyText>q</toneKeyText>")
               + "<winShield>0</winShield><keypad8>9</keypad8><toneKeyText>t</toneKeyText>"
               + scheme("two", pair("p", 1, 2) + "<from>9</from>"))
        << QStringList {defaults("one"), defaults("two", {"1>2 p"})} << 0 << QStringList();

    QTest::newRow("another root") << "<other version=\"1.9\">" + two + "</other>" << defaultOnly
                                  << 0 << fileError("1row21col", "file type does not match");
    const QByteArray spacedVersion = document(two).replace("\"1.9\"", "\" 1.9\"");
    QTest::newRow("a version not exactly 1.9")
        << spacedVersion << defaultOnly << 0 << fileError("3row23col", "Version does not match");
    QTest::newRow("a nested tolvan without a version stops the load")
        << document(scheme("a", "<keypad7>1</keypad7><tolvan/><keypad8>2</keypad8>") + scheme("b"))
        << QStringList {"a|on|145=ScrollLock|35=End|36=Home|1=|0=|0=|0=|0=|0="} << 0
        << fileError("4row256col", "Version does not match");
    QTest::newRow("cut inside the second scheme")
        << header + scheme("a") + "<scheme name=\"b\"><keypad7>7</keypad7><keypad4Text>ha"
        << QStringList {defaults("a"), "b|off|0=|0=|0=|7=|0=|0=|0=|0=|0="} << 0
        << fileError("5row52col", "Premature end of document.");
    QTest::newRow("broken before the first scheme")
        << document("<lastScheme>1</lastScheme><lastScheme" + two) << defaultOnly << 0
        << fileError("4row38col", "Expected '>' or '/', but got '<'.");

    QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE tolvan [\n<!ENTITY e0 \"lol\">\n";
    for (int i = 1; i < 10; ++i)
        bomb += "<!ENTITY e" + QByteArray::number(i) + " \""
            + ("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">\n";
    bomb += "]>\n<tolvan version=\"1.9\"><scheme name=\"&e9;\"><keypad7Text>&e9;</keypad7Text>"
            "</scheme></tolvan>\n";
    QTest::newRow("an entity bomb is refused")
        << bomb << defaultOnly << 0
        << fileError(
               "14row40col", "Entity expands to more characters than the entity expansion limit.");
}

void TestConfigLoader::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, schemes);
    QFETCH(int, lastScheme);
    QFETCH(QStringList, boxes);

    WorkingDirectory directory;
    if (!file.isNull())
        QVERIFY(writeBytes(QStringLiteral("tolvan.xtol"), file));
    MessageBoxCatcher catcher;
    Tolvan window;

    QCOMPARE(describe(TolvanInspector::schemes(window)), schemes);
    // The first entry is the form's own, whatever the first scheme's name.
    QCOMPARE(window.schemeComboBox->count(), qMax(1, schemes.size()));
    QCOMPARE(window.schemeComboBox->itemText(0), QStringLiteral("默认方案"));
    for (int i = 1; i < schemes.size(); ++i)
        QCOMPARE(window.schemeComboBox->itemText(i), schemes.at(i).section(QLatin1Char('|'), 0, 0));
    QCOMPARE(TolvanInspector::lastScheme(window), lastScheme);
    QCOMPARE(catcher.summaries(), boxes);
    for (const MessageBoxCatcher::Box &box : catcher.boxes)
        QVERIFY(box.icon == QMessageBox::Information && box.parent == &window);
    // Reading never changes the file.
    QCOMPARE(fileBytes(QStringLiteral("tolvan.xtol")), file);
}

void TestConfigLoader::translatedErrorBox()
{
    WorkingDirectory directory;
    QVERIFY(writeBytes(QStringLiteral("tolvan.xtol"), "<tolvan version=\"2.0\"/>"));
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(TOLVAN_QM_FILE)));
    QCoreApplication::installTranslator(&translator);
    MessageBoxCatcher catcher;
    Tolvan window;
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(catcher.summaries(),
        QStringList {QStringLiteral("文件错误|xml 解析错误，位于第1行第23列：\n版本不匹配。")});
}

QTEST_MAIN(TestConfigLoader)
#include "tst_configloader.moc"
