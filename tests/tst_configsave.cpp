#include "configfixture.h"
#include "messageboxcatcher.h"
#include "tolvaninspector.h"

#include <QClipboard>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString settingsFile = QStringLiteral("tolvan.xtol");
const QString backupFile = QStringLiteral("tolvan.xtol.bak");

} // namespace

class TestConfigSave : public QObject
{
    Q_OBJECT

private slots:
    void init() { HookDouble::reset(); }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void ok_data();
    void ok();
    void pastedTextSurvivesOkAndRestart();
    void refusedWrite_data();
    void refusedWrite();
};

void TestConfigSave::ok_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("hookPairs");
    QTest::addColumn<bool>("backup");

    const QByteArray example = fileBytes(QFINDTESTDATA("data/example.xtol"));
    const QByteArray defaults = fileBytes(QFINDTESTDATA("data/default.xtol"));
    const qsizetype pairStart = example.indexOf("        <toneKey>");
    const QByteArray pair = example.mid(pairStart, example.indexOf("    </scheme>") - pairStart);
    const QByteArray manyPairs = QByteArray(example).replace(pair, pair.repeated(150));

    QTest::newRow("no file: the default scheme") << QByteArray() << defaults << 0 << false;
    QTest::newRow("the example") << example << example << 1 << false;
    QTest::newRow("150 pairs all kept, the hook takes 100")
        << manyPairs << manyPairs << 100 << false;
    QTest::newRow("cut before its pair, kept as backup")
        << example.left(pairStart) << QByteArray(example).replace(pair, "") << 0 << true;
    QTest::newRow("another version, kept as backup")
        << QByteArray(example).replace("\"1.9\"", "\"2.0\"") << defaults << 0 << true;
    QTest::newRow("empty, kept as backup") << QByteArray("") << defaults << 0 << true;
}

void TestConfigSave::ok()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    QFETCH(int, hookPairs);
    QFETCH(bool, backup);

    WorkingDirectory directory;
    if (!file.isNull())
        QVERIFY(writeBytes(settingsFile, file));
    QVERIFY(writeBytes(backupFile, "older"));
    MessageBoxCatcher catcher;
    Tolvan window;

    // While a new scheme's name is being typed, OK only ends the typing.
    window.schemeComboBox->setEditable(true);
    window.okButton->click();
    QVERIFY(!window.schemeComboBox->isEditable());
    QCOMPARE(fileBytes(settingsFile), file);
    QCOMPARE(HookDouble::calls(), QString());

    window.okButton->click();
    QCOMPARE(fileBytes(settingsFile), written);
    QCOMPARE(fileBytes(backupFile), backup ? file : QByteArray("older"));
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,set"));
    QCOMPARE(HookDouble::lastRecord()->toneKeyCount, hookPairs);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList({settingsFile, backupFile}));

    // The file is this run's own now: the next OK writes the same bytes and copies nothing.
    QVERIFY(writeBytes(backupFile, "kept"));
    window.okButton->click();
    QCOMPARE(fileBytes(settingsFile), written);
    QCOMPARE(fileBytes(backupFile), QByteArray("kept"));
}

// Through a capture field's paste, OK and a restart.
void TestConfigSave::pastedTextSurvivesOkAndRestart()
{
    const QString text = QStringLiteral(" <b>&amp;\"q\" ]]> \x1B\0 \tone\r\ntwo\n 默认方案 ");
    const QString readBack
        = QString(text).replace(QChar(0x1B), QChar(0xFFFD)).replace(QChar(0), QChar(0xFFFD));
    WorkingDirectory directory;
    {
        Tolvan window;
        QGuiApplication::clipboard()->setText(text);
        window.keypad7LineEdit->paste();
        QCOMPARE(window.keypad7LineEdit->text(), text);
        window.okButton->click();
    }
    Tolvan restarted;
    QCOMPARE(restarted.keypad7LineEdit->text(), readBack);
}

void TestConfigSave::refusedWrite_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("directoryMode");
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<QString>("reason");

    const QByteArray example = fileBytes(QFINDTESTDATA("data/example.xtol"));
    QTest::newRow("read-only file")
        << example << 0444 << 0777 << 0 << QStringLiteral("is not writable");
    QTest::newRow("read-only directory")
        << example << 0666 << 0555 << 0 << QStringLiteral("Permission denied");
    QTest::newRow("file-size limit reached part-way")
        << example << 0666 << 0777 << 600 << QStringLiteral("File too large");
    // Read with an error, the file is copied first: the copy exceeds the limit, the new file not.
    QTest::newRow("the copy of a file read with an error over the size limit")
        << example + QByteArray(2000, ' ') + "junk" << 0666 << 0777 << 1500
        << QStringLiteral("File too large");
}

// Faults the system really makes: permissions that refuse the user (nobody, when the tests run
// as root), or a file-size limit. The old file stays, and the hook is not restarted.
void TestConfigSave::refusedWrite()
{
    QFETCH(QByteArray, file);
    QFETCH(int, fileMode);
    QFETCH(int, directoryMode);
    QFETCH(int, sizeLimit);
    QFETCH(QString, reason);

    WorkingDirectory directory;
    QVERIFY(writeBytes(settingsFile, file));
    MessageBoxCatcher catcher;
    Tolvan window;
    const qsizetype loadBoxes = catcher.boxes.size();

    QCOMPARE(::chmod(".", mode_t(directoryMode)), 0);
    QCOMPARE(::chmod("tolvan.xtol", mode_t(fileMode)), 0);
    const bool asNobody = geteuid() == 0;
    QVERIFY(!asNobody || setresuid(65534, 65534, -1) == 0);
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    if (sizeLimit)
        limit.rlim_cur = rlim_t(sizeLimit);
    setrlimit(RLIMIT_FSIZE, &limit);
    // Ignored, the signal lets write() fail with EFBIG instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    window.okButton->click();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);
    QVERIFY(!asNobody || setresuid(0, 0, -1) == 0);
    QCOMPARE(::chmod(".", 0777), 0);
    QCOMPARE(::chmod("tolvan.xtol", 0666), 0);

    QCOMPARE(catcher.boxes.size(), loadBoxes + 1);
    const QString box = catcher.summaries().last();
    QVERIFY2(box.startsWith(QStringLiteral("error|Cannot write file tolvan:\n"))
            && box.contains(reason) && box.endsWith(QLatin1Char('.')),
        qPrintable(box));
    QCOMPARE(HookDouble::calls(), QString());
    QCOMPARE(fileBytes(settingsFile), file);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList {settingsFile});

    // Without the fault, the next OK writes the file, after a copy of one read with an error.
    window.okButton->click();
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,set"));
    QCOMPARE(fileBytes(backupFile), loadBoxes ? file : QByteArray());
}

QTEST_MAIN(TestConfigSave)
#include "tst_configsave.moc"
