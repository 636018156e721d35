#include "hook/hookrecord.h"
#include "hooklib/evdevdevices.h"
#include "hooklib/linuxhook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

// The libevdev layer's failures, on paths in a temporary directory: no test machine has
// keyboards or /dev/uinput to spare, and none should have its keyboard grabbed by a test.

class TestHookEvdev : public QObject
{
    Q_OBJECT

private slots:
    void noKeyboard_data();
    void noKeyboard();
    void noVirtualKeyboard_data();
    void noVirtualKeyboard();

private:
    QTemporaryDir dir;
};

void TestHookEvdev::noKeyboard_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no input directory") << "missing"
                                        << ""
                                        << "%1/missing: No such file or directory";
    QTest::newRow("no event node") << "empty"
                                   << ""
                                   << "no input device in %1/empty";
    QTest::newRow("event node that is no device")
        << "file"
        << "event0"
        << "%1/file/event0: Inappropriate ioctl for device";
}

void TestHookEvdev::noKeyboard()
{
    QFETCH(QString, directory);
    QFETCH(QString, node);
    QFETCH(QString, reason);

    QVERIFY(dir.isValid());
    const QString path = dir.filePath(directory);
    if (directory != "missing")
        QVERIFY(QDir().mkpath(path));
    if (!node.isEmpty()) {
        QFile file(path + "/" + node);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    EvdevDevices devices(path.toStdString(), dir.filePath("uinput").toStdString());
    LinuxHook hook(devices);
    HookRecord record;
    std::memset(&record, 0, sizeof record);
    QVERIFY(!hook.set(&record));
    QCOMPARE(QString::fromStdString(hook.error()),
        "No keyboard can be read (" + reason.arg(dir.path())
            + "). Add yourself to the input group (sudo usermod -aG input $USER), install "
              "the udev rule 60-tolvan-uinput.rules, then log in again.");
}

void TestHookEvdev::noVirtualKeyboard_data()
{
    QTest::addColumn<QString>("uinput");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << "%1/none"
                             << "%1/none: No such file or directory";
    QTest::newRow("not uinput") << "%1/plain"
                                << "%1/plain: Inappropriate ioctl for device";
}

void TestHookEvdev::noVirtualKeyboard()
{
    QFETCH(QString, uinput);
    QFETCH(QString, reason);

    QVERIFY(dir.isValid());
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    EvdevDevices devices(dir.path().toStdString(), uinput.arg(dir.path()).toStdString());
    std::string error;
    QVERIFY(!devices.createVirtualKeyboard({}, error));
    QCOMPARE(QString::fromStdString(error), reason.arg(dir.path()));
}

QTEST_GUILESS_MAIN(TestHookEvdev)
#include "tst_hookevdev.moc"
