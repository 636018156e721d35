#include "programdriver.h"

#include <QtTest>

// An installation, staged under a temporary prefix, must run on its own: the program finds the
// hook library and the translation relative to itself, whatever the working directory holds.
class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void stagedInstallationRuns();
};

void TestInstall::stagedInstallationRuns()
{
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    install.start(QStringLiteral("cmake"),
        {QStringLiteral("--install"), QStringLiteral(TOLVAN_BUILD_DIR), QStringLiteral("--prefix"),
            prefix.path()});
    QVERIFY(install.waitForFinished(60000));
    QCOMPARE(install.exitCode(), 0);
    const QString program = prefix.filePath(QStringLiteral("bin/tolvan"));
    QVERIFY(QFileInfo::exists(program));
    QVERIFY(
        QFileInfo::exists(prefix.filePath(QStringLiteral("share/applications/tolvan.desktop"))));
    QVERIFY(QFileInfo::exists(
        prefix.filePath(QStringLiteral("share/icons/hicolor/32x32/apps/tolvan.png"))));

    // The working directory holds neither the library nor the translation.
    ProgramDriver driver(ProgramDriver::WithoutHookLibrary);
    QVERIFY2(driver.error().isEmpty(), qPrintable(driver.error()));
    driver.start(program);
    // Translated title: the translation was found. No "dll error": so was the library.
    QVERIFY(!driver.waitForWindow(QStringLiteral("^默认方案 - tolvan 改键$")).isEmpty());
    QVERIFY(driver.windows(QStringLiteral("error")).isEmpty());
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
