#include "config/xmlwriter.h"
#include "configfixture.h"
#include "messageboxcatcher.h"
#include "tolvaninspector.h"

#include <QClipboard>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

#include <memory>

namespace {

const QString settingsFile = QStringLiteral("tolvan.xtol");
const QString backupFile = QStringLiteral("tolvan.xtol.bak");

// The file OK writes for the one default scheme.
QByteArray defaultDocument()
{
    QByteArray document = fileBytes(QFINDTESTDATA("data/example.xtol"));
    document.replace("<keypad7>65</keypad7>", "<keypad7>0</keypad7>");
    document.replace("<keypad7Text>a</keypad7Text>", "<keypad7Text></keypad7Text>");
    const qsizetype pairStart = document.indexOf("        <toneKey>");
    const qsizetype pairEnd = document.indexOf("</toneKey>\n") + 11;
    return document.remove(pairStart, pairEnd - pairStart);
}

QString xmllintComplaint(const QString &path)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        return QStringLiteral("xmllint is not installed (libxml2-utils)");
    QProcess process;
    process.start(xmllint, { QStringLiteral("--noout"), path });
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError())
            + QStringLiteral(" (xmllint)");
    return QString();
}

// A refused write, made in a child process so that the fault is real: a user the file system
// refuses, or a file-size limit. The child presses OK once and reports what it saw.
enum class Fault
{
    ReadOnlyFile,
    ReadOnlyDirectory,
    FileSizeLimit
};

const char childOption[] = "--ok-in-child";

int okInChild()
{
    MessageBoxCatcher catcher;
    Tolvan window;
    HookDouble::reset();
    window.okButton->click();
    QTextStream out(stdout);
    out << "boxes: " << catcher.summaries().join(QLatin1String(" / ")).replace('\n', "\\n") << '\n'
        << "hook: " << HookDouble::calls() << '\n'
        << "status: " << window.statusShowLabel->text() << '\n';
    return 0;
}

bool runningAsRoot()
{
    return geteuid() == 0;
}

} // namespace

class TestConfigSave : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void defaultSchemeFile();
    void okWhileNamingOnlyEndsTheNaming();
    void exampleWrittenBackUnchanged();
    void pastedTextsSurviveOkAndRestart_data();
    void pastedTextsSurviveOkAndRestart();
    void allPairsWrittenHookGetsHundred();
    void refusedWrite_data();
    void refusedWrite();
    void incompleteFileKeptAsBackup_data();
    void incompleteFileKeptAsBackup();
    void backupThatCannotBeMade();
};

void TestConfigSave::init()
{
    HookDouble::reset();
}

void TestConfigSave::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestConfigSave::defaultSchemeFile()
{
    WorkingDirectory directory;
    Tolvan window;
    window.okButton->click();

    const QByteArray written = fileBytes(settingsFile);
    QCOMPARE(written, defaultDocument());
    QCOMPARE(written.count('\n'), 26);
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,set"));
    QCOMPARE(HookDouble::lastAddress(), TolvanInspector::hookRecord(window));
    QCOMPARE(HookDouble::lastRecord()->turnOn, 145u);
    QCOMPARE(window.statusShowLabel->text(), QStringLiteral("running"));
    // Nothing is left beside the file.
    QCOMPARE(
        QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList { settingsFile });
}

void TestConfigSave::okWhileNamingOnlyEndsTheNaming()
{
    WorkingDirectory directory;
    Tolvan window;
    window.schemeComboBox->setEditable(true);

    window.okButton->click();
    QVERIFY(!window.schemeComboBox->isEditable());
    QVERIFY(!QFileInfo::exists(settingsFile));
    QCOMPARE(HookDouble::calls(), QString());
    QCOMPARE(window.statusShowLabel->text(), QStringLiteral("未改键"));

    window.okButton->click();
    QCOMPARE(fileBytes(settingsFile), defaultDocument());
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,set"));
}

void TestConfigSave::exampleWrittenBackUnchanged()
{
    WorkingDirectory directory;
    const QByteArray example = fileBytes(QFINDTESTDATA("data/example.xtol"));
    QVERIFY(writeBytes(settingsFile, example));

    Tolvan window;
    window.okButton->click();
    QCOMPARE(fileBytes(settingsFile), example);
    window.okButton->click();
    QCOMPARE(fileBytes(settingsFile), example);
    QCOMPARE(HookDouble::lastRecord()->keypad7, 65u);
    QCOMPARE(HookDouble::lastRecord()->toneKeyCount, 1);
}

void TestConfigSave::pastedTextsSurviveOkAndRestart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    const auto same
        = [](const char *name, const QString &text) { QTest::newRow(name) << text << text; };
    same("markup characters", QStringLiteral("<b>&amp;\"q\" 'a' ]]> 默认方案"));
    same("tabs, line breaks and blanks at the ends", QStringLiteral(" \tone\r\ntwo\nthree\r "));
    QTest::newRow("escape and null characters")
        << (QStringLiteral("a") + QChar(0x1B) + QChar(0) + QStringLiteral("b"))
        << (QStringLiteral("a") + QChar(0xFFFD) + QChar(0xFFFD) + QStringLiteral("b"));
}

void TestConfigSave::pastedTextsSurviveOkAndRestart()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);

    WorkingDirectory directory;
    {
        Tolvan window;
        QGuiApplication::clipboard()->setText(text);
        window.keypad7LineEdit->clear();
        window.keypad7LineEdit->paste();
        QCOMPARE(window.keypad7LineEdit->text(), text);
        window.schemeComboBox->setItemText(0, text);
        TolvanInspector::schemes(window)[0].name = text;
        window.okButton->click();
    }
    const QString complaint = xmllintComplaint(settingsFile);
    QVERIFY2(complaint.isEmpty(), qPrintable(complaint));

    Tolvan restarted;
    const Scheme &scheme = TolvanInspector::schemes(restarted).first();
    QCOMPARE(scheme.keypad7Text, readBack);
    QCOMPARE(scheme.name, readBack);
    QCOMPARE(restarted.keypad7LineEdit->text(), readBack);
}

void TestConfigSave::allPairsWrittenHookGetsHundred()
{
    WorkingDirectory directory;
    Scheme scheme;
    setSchemeDefaults(scheme);
    scheme.name = QStringLiteral("many");
    for (quint32 i = 0; i < 150; ++i)
        scheme.toneKeys.append({ i + 1, i + 1000, QString::number(i) });
    const QByteArray document = XmlWriter(QStringLiteral("1.9"), 0).document({ scheme });
    QVERIFY(writeBytes(settingsFile, document));

    Tolvan window;
    window.okButton->click();
    QCOMPARE(fileBytes(settingsFile), document);
    QCOMPARE(HookDouble::lastRecord()->toneKeyCount, 100);
    QCOMPARE(HookDouble::lastRecord()->toneKeys[99].from, 100u);
}

void TestConfigSave::refusedWrite_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("reason");

    QTest::newRow("read-only file") << Fault::ReadOnlyFile << QStringLiteral("is not writable");
    QTest::newRow("read-only directory")
        << Fault::ReadOnlyDirectory << QStringLiteral("Permission denied");
    QTest::newRow("file-size limit reached part-way")
        << Fault::FileSizeLimit << QStringLiteral("File too large");
}

void TestConfigSave::refusedWrite()
{
    QFETCH(Fault, fault);
    QFETCH(QString, reason);

    QTemporaryDir directory;
    const QString path = directory.filePath(settingsFile);
    const QByteArray example = fileBytes(QFINDTESTDATA("data/example.xtol"));
    QVERIFY(writeBytes(path, example));

    // As root, the child runs as nobody, whom the permissions below refuse.
    const bool dropToNobody = runningAsRoot() && fault != Fault::FileSizeLimit;
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions enterable
        = readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QFile::Permissions directoryPermissions = enterable | writable;
    QFile::Permissions filePermissions = readOnly | writable;
    if (fault == Fault::ReadOnlyFile)
        filePermissions = readOnly;
    if (fault == Fault::ReadOnlyDirectory)
        directoryPermissions = enterable;
    QVERIFY(QFile::setPermissions(path, filePermissions));
    QVERIFY(QFile::setPermissions(directory.path(), directoryPermissions));

    QProcess child;
    child.setWorkingDirectory(directory.path());
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.setChildProcessModifier([fault, dropToNobody] {
        if (fault == Fault::FileSizeLimit) {
            // Ignored, the signal lets write() fail with EFBIG instead of ending the child.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit { 600, 600 };
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (dropToNobody) {
            const gid_t nogroup = 65534;
            if (setgroups(1, &nogroup) != 0 || setgid(nogroup) != 0 || setuid(65534) != 0)
                _exit(99);
        }
    });
    child.start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(childOption) });
    QVERIFY(child.waitForFinished(60000));
    const QString report = QString::fromUtf8(child.readAllStandardOutput());
    QFile::setPermissions(directory.path(), enterable | writable);
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const QStringList lines = report.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines.at(0).startsWith(QStringLiteral("boxes: error|Cannot write file tolvan:\\n"))
            && lines.at(0).contains(reason) && lines.at(0).endsWith(QLatin1Char('.'))
            && !lines.at(0).contains(QLatin1String(" / ")),
        qPrintable(lines.at(0)));
    // The hook keeps what it had: here, nothing was ever started.
    QCOMPARE(lines.at(1), QStringLiteral("hook: "));
    QCOMPARE(lines.at(2), QStringLiteral("status: 未改键"));
    QCOMPARE(fileBytes(path), example);
    QCOMPARE(
        QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList { settingsFile });
}

void TestConfigSave::incompleteFileKeptAsBackup_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("keepsBackup");

    const QByteArray example = fileBytes(QFINDTESTDATA("data/example.xtol"));
    QTest::newRow("complete file: no backup") << example << false;
    QTest::newRow("no file: no backup") << QByteArray() << false;
    QTest::newRow("file cut short") << example.left(700) << true;
    QTest::newRow("another version") << QByteArray(example).replace("\"1.9\"", "\"2.0\"") << true;
    QTest::newRow("another root") << QByteArray("<settings/>") << true;
    QTest::newRow("empty file") << QByteArray("") << true;
}

void TestConfigSave::incompleteFileKeptAsBackup()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, keepsBackup);

    WorkingDirectory directory;
    if (!document.isNull())
        QVERIFY(writeBytes(settingsFile, document));
    // An older backup gives way to the newer unreadable file.
    QVERIFY(writeBytes(backupFile, "older backup"));

    MessageBoxCatcher catcher;
    Tolvan window;
    window.okButton->click();
    QCOMPARE(fileBytes(backupFile), keepsBackup ? document : QByteArray("older backup"));
    const QString complaint = xmllintComplaint(settingsFile);
    QVERIFY2(complaint.isEmpty(), qPrintable(complaint));
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,set"));

    // Only the first OK copies: later ones replace a file this run wrote itself.
    QVERIFY(writeBytes(backupFile, "kept"));
    window.okButton->click();
    QCOMPARE(fileBytes(backupFile), QByteArray("kept"));
}

void TestConfigSave::backupThatCannotBeMade()
{
    WorkingDirectory directory;
    const QByteArray broken("<tolvan version=\"1.9\"><scheme name=\"a\">");
    QVERIFY(writeBytes(settingsFile, broken));
    // A directory where the backup should go: no file can replace it.
    QVERIFY(QDir(directory.path()).mkdir(backupFile));

    MessageBoxCatcher catcher;
    Tolvan window;
    HookDouble::reset();
    window.okButton->click();

    QCOMPARE(catcher.boxes.size(), 2);
    QCOMPARE(catcher.boxes.at(1).title, QStringLiteral("error"));
    QVERIFY2(catcher.boxes.at(1).text.startsWith(QStringLiteral("Cannot write file tolvan:\n")),
        qPrintable(catcher.boxes.at(1).text));
    QCOMPARE(catcher.boxes.at(1).icon, QMessageBox::Warning);
    QCOMPARE(catcher.boxes.at(1).parent, &window);
    QCOMPARE(fileBytes(settingsFile), broken);
    QCOMPARE(HookDouble::calls(), QString());

    // Once the way is clear, the next OK keeps the copy and writes the file.
    QVERIFY(QDir(directory.path()).rmdir(backupFile));
    window.okButton->click();
    QCOMPARE(fileBytes(backupFile), broken);
    QCOMPARE(HookDouble::calls(), QStringLiteral("cancel,set"));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], childOption) == 0)
        return okInChild();
    TestConfigSave test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_configsave.moc"
