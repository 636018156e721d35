#include "hook/hookrecord.h"

#include <QLibrary>
#include <QProcess>
#include <QTest>

// The built libhook.so as the program sees it: loaded by path, its functions found by name.

class TestHookExports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exportsExactlyTheThreeFunctions();
    void needsNoQt();
    void errorsWithoutTouchingDevices();

private:
    QString run(const QString &program, const QStringList &arguments);

    QLibrary library { QStringLiteral(HOOK_LIBRARY_PATH) };
};

QString TestHookExports::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().data());
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void TestHookExports::initTestCase()
{
    QVERIFY2(library.load(), qPrintable(library.errorString()));
}

void TestHookExports::exportsExactlyTheThreeFunctions()
{
    QStringList defined;
    const QString symbols = run("nm", { "-D", "--defined-only", library.fileName() });
    for (const QString &line : symbols.split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
        defined << fields.mid(1).join(' ');
    }
    defined.sort();
    QCOMPARE(defined, QStringList({ "T cancelHook", "T hookLastError", "T setHook" }));

    QVERIFY(reinterpret_cast<SetHookFunction>(library.resolve("setHook")));
    QVERIFY(reinterpret_cast<CancelHookFunction>(library.resolve("cancelHook")));
    QVERIFY(reinterpret_cast<HookLastErrorFunction>(library.resolve("hookLastError")));
}

void TestHookExports::needsNoQt()
{
    const QString headers = run("objdump", { "-p", library.fileName() });
    QVERIFY(headers.contains("NEEDED"));
    QVERIFY2(!headers.contains("libQt"), qPrintable(headers));
}

// Calls that reach no device, so the test behaves alike on a machine with keyboards.
void TestHookExports::errorsWithoutTouchingDevices()
{
    auto setHook = reinterpret_cast<SetHookFunction>(library.resolve("setHook"));
    auto cancelHook = reinterpret_cast<CancelHookFunction>(library.resolve("cancelHook"));
    auto hookLastError = reinterpret_cast<HookLastErrorFunction>(library.resolve("hookLastError"));
    QVERIFY(setHook && cancelHook && hookLastError);

    QCOMPARE(hookLastError(), "");
    cancelHook();
    cancelHook();
    QCOMPARE(hookLastError(), "");

    setHook(nullptr);
    QCOMPARE(hookLastError(), "No key settings were given.");
    cancelHook();
    QCOMPARE(hookLastError(), "No key settings were given.");
}

QTEST_GUILESS_MAIN(TestHookExports)
#include "tst_hookexports.moc"
