#include "programdriver.h"

#include <QtTest>

#include <csignal>

namespace {
const QString mainWindowTitle = QStringLiteral("^(Tolvan|.* - tolvan key change)$");
}

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void secondCopyIsRefused();
    void killedCopyDoesNotBlockTheNext();
    void missingHookLibrary();
    void manyStartsAtOnce();
};

void TestProgram::secondCopyIsRefused()
{
    ProgramDriver driver;
    QVERIFY2(driver.error().isEmpty(), qPrintable(driver.error()));
    QProcess *first = driver.start();
    const QString window = driver.waitForWindow(mainWindowTitle);
    QVERIFY(!window.isEmpty());

    QProcess *second = driver.start();
    QVERIFY(driver.answerBox(QStringLiteral("^error$")));
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);

    QVERIFY(!first->waitForFinished(0));
    QCOMPARE(driver.windows(mainWindowTitle), QStringList {window});
    QVERIFY(driver.hookCalls().isEmpty());
}

void TestProgram::killedCopyDoesNotBlockTheNext()
{
    ProgramDriver driver;
    QVERIFY2(driver.error().isEmpty(), qPrintable(driver.error()));
    QProcess *first = driver.start();
    QVERIFY(!driver.waitForWindow(mainWindowTitle).isEmpty());
    ::kill(pid_t(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(10000));

    QProcess *next = driver.start();
    QVERIFY(!driver.waitForWindow(mainWindowTitle).isEmpty());
    QVERIFY(driver.windows(QStringLiteral("^error$")).isEmpty());
    QVERIFY(!next->waitForFinished(0));
}

void TestProgram::missingHookLibrary()
{
    ProgramDriver driver(ProgramDriver::WithoutHookLibrary);
    QVERIFY2(driver.error().isEmpty(), qPrintable(driver.error()));
    QProcess *program = driver.start();
    QVERIFY(driver.answerBox(QStringLiteral("^dll error$")));
    QVERIFY(program->waitForFinished(10000));
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 1);

    // The failed start released its marker: with the library in place the next one runs.
    QVERIFY(QFile::copy(QStringLiteral(TOLVAN_TEST_DIR "/libhook.so"),
        driver.filePath(QStringLiteral("libhook.so"))));
    QProcess *next = driver.start();
    QVERIFY(!driver.waitForWindow(mainWindowTitle).isEmpty());
    QVERIFY(driver.windows(QStringLiteral("^error$")).isEmpty());
    QVERIFY(!next->waitForFinished(0));
}

void TestProgram::manyStartsAtOnce()
{
    ProgramDriver driver;
    QVERIFY2(driver.error().isEmpty(), qPrintable(driver.error()));
    QList<QProcess *> programs;
    for (int i = 0; i < 20; ++i)
        programs << driver.start();

    // The refused copies show their box one after another: each holds the instance lock until
    // its box is answered.
    int refused = 0;
    QDeadlineTimer deadline(90000);
    while (refused < 19 && !deadline.hasExpired()) {
        if (driver.answerBox(QStringLiteral("^error$"), 1000)) {
            QThread::msleep(50);
        }
        refused = 0;
        for (QProcess *program : std::as_const(programs)) {
            if (program->state() == QProcess::NotRunning || program->waitForFinished(0)) {
                QCOMPARE(program->exitCode(), 0);
                ++refused;
            }
        }
    }
    QCOMPARE(refused, 19);
    QVERIFY(!driver.waitForWindow(mainWindowTitle).isEmpty());
    QCOMPARE(driver.windows(mainWindowTitle).size(), 1);
    QVERIFY(driver.windows(QStringLiteral("^error$")).isEmpty());
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
