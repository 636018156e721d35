#include "configfixture.h"
#include "programdriver.h"

#include <QtTest>

#include <csignal>

namespace {

// From the window's first focus, the Windows-key switch, through the capture fields in tab order:
// a key for each, then OK.
const QStringList captureAndOk {"Tab", "F5", "Tab", "F6", "Tab", "q", "Tab", "w", "Tab", "a", "Tab",
    "s", "Tab", "z", "Tab", "x", "Tab", "space"};
// From OK: open the advanced panel, create a scheme, name it a<b&"c" in the selector, then OK
// twice: the first only ends the naming.
const QStringList newNamedScheme {"Tab", "Tab", "space", "Tab", "Tab", "Tab", "Tab", "space",
    "shift+Tab", "ctrl+a", "a", "less", "b", "ampersand", "quotedbl", "c", "quotedbl", "shift+Tab",
    "shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "space", "space"};
const QStringList tabToOk = QStringList(9, QStringLiteral("Tab")) << QStringLiteral("space");

} // namespace

class TestConfigProgram : public QObject
{
    Q_OBJECT

private slots:
    void capturedKeysWrittenAndReadAtRestart();
};

void TestConfigProgram::capturedKeysWrittenAndReadAtRestart()
{
    ProgramDriver driver;
    QVERIFY2(driver.error().isEmpty(), qPrintable(driver.error()));
    const QString settings = driver.filePath(QStringLiteral("tolvan.xtol"));
    const QByteArray expected = fileBytes(QFINDTESTDATA("data/captured.xtol"));
    QVERIFY(!expected.isEmpty());

    QProcess *first = driver.start();
    const QString window = driver.waitForWindow(QStringLiteral("^默认方案 - tolvan key change$"));
    QVERIFY(!window.isEmpty());
    QVERIFY(!QFileInfo::exists(settings));
    QVERIFY(driver.pressKeys(window, captureAndOk));
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(settings), expected, 10000);
    QTRY_COMPARE(driver.hookCalls(), (QStringList {"cancel", "set"}));

    const QByteArray expectedNamed = fileBytes(QFINDTESTDATA("data/captured-named.xtol"));
    QVERIFY(driver.pressKeys(window, newNamedScheme));
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(settings), expectedNamed, 10000);

    ::kill(pid_t(first->processId()), SIGTERM);
    QVERIFY(first->waitForFinished(10000));

    // The next start shows the named scheme, selected last; OK writes both back byte for byte.
    driver.start();
    const QString restarted
        = driver.waitForWindow(QStringLiteral("^a<b&\"c\" - tolvan key change$"));
    QVERIFY(!restarted.isEmpty());
    QVERIFY(QFile::remove(settings));
    QVERIFY(driver.pressKeys(restarted, tabToOk));
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(settings), expectedNamed, 10000);
}

QTEST_GUILESS_MAIN(TestConfigProgram)
#include "tst_configprogram.moc"
