#include "hooklib/evdevdevices.h"
#include "hooklib/linuxhook.h"
#include "keycapture/virtualkeys.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <future>
#include <mutex>

// The hook on Linux: its loop against fake keyboards, the libevdev layer's failures, and the
// built libhook.so. Loop events: +W =W -W for a key's press, repeat and release (evdev names
// without KEY_), "syn" for the report that ends a frame, and NAME:N for any other event.

namespace {

input_event parseEvent(const QString &token)
{
    const int sign = QString("-+=").indexOf(token[0]);
    const QByteArray name = sign >= 0 ? "KEY_" + token.mid(1).toLatin1()
        : token == "syn"              ? "SYN_REPORT"
                                      : token.section(':', 0, 0).toLatin1();
    input_event event {};
    const int type = libevdev_event_type_from_code_name(name);
    const int code = libevdev_event_code_from_code_name(name);
    if (type < 0 || code < 0)
        qFatal("unknown event %s", qPrintable(token));
    event.type = type;
    event.code = code;
    event.value = sign >= 0 ? sign : token.section(':', 1).toInt();
    return event;
}

QString eventText(unsigned type, unsigned code, int value)
{
    const QString name = libevdev_event_code_get_name(type, code);
    if (type == EV_KEY && value >= 0 && value <= 2)
        return QString("-+=")[value] + name.mid(4);
    if (type == EV_SYN && code == SYN_REPORT && value == 0)
        return "syn";
    return name + ":" + QString::number(value);
}

// The kernel's side of the keyboards and of the virtual keyboard. Events travel through pipes;
// a key goes down or up before its event can be read, as in the kernel.
struct Fake : DeviceLayer
{
    struct Keyboard
    {
        Keyboard() { QVERIFY(pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0); }
        ~Keyboard() { close(fds[0]), close(fds[1]); }
        int fds[2];
        QString atFirstGrab; // pressed while the hook grabs
        std::atomic<int> down {0}, grabs {0}, downChecks {0}, failedReads {0};
        std::atomic<bool> grabbed {false};
    };

    struct Device : KeyboardDevice
    {
        Device(Fake &f, int i) : fake(f), index(i), k(f.keyboards[i]) { ++fake.open; }
        ~Device() override { --fake.open; }
        std::string name() const override { return "keyboard " + std::to_string(index); }
        int fd() const override { return k.fds[0]; }
        bool hasEvent(unsigned, unsigned) const override { return false; }
        int anyKeyDown() override
        {
            ++k.downChecks;
            const int failed = fake.fails("keys", index);
            return failed != 0 ? failed : k.down > 0;
        }
        int grab() override
        {
            if (const int failed = fake.fails("grab", index))
                return failed;
            k.grabbed = true;
            if (++k.grabs == 1)
                fake.send(index, k.atFirstGrab);
            return 0;
        }
        void ungrab() override { k.grabbed = false; }
        int read(input_event &event) override
        {
            if (const int failed = fake.fails("read", index)) {
                ++k.failedReads;
                return failed;
            }
            return ::read(k.fds[0], &event, sizeof event) == sizeof event;
        }
        Fake &fake;
        const int index;
        Keyboard &k;
    };

    struct Output : VirtualKeyboard
    {
        explicit Output(Fake &f) : fake(f) { ++fake.open; }
        ~Output() override { --fake.open; }
        int write(unsigned type, unsigned code, int value) override
        {
            if (const int failed = fake.fails("write"))
                return failed;
            const QByteArray text = eventText(type, code, value).toUtf8() + ' ';
            if (::write(fake.output[1], text.data(), text.size()) < 0)
                qFatal("cannot record an event: %s", std::strerror(errno));
            return 0;
        }
        Fake &fake;
    };

    explicit Fake(int count = 1) : keyboards(count)
    {
        QVERIFY(pipe2(output, O_NONBLOCK | O_CLOEXEC) == 0);
    }
    ~Fake() override { close(output[0]), close(output[1]); }
    KeyboardList openKeyboards(std::string &reason) override
    {
        KeyboardList list;
        if (const int failed = fails("keyboards"))
            reason = std::strerror(-failed);
        for (std::size_t i = 0; reason.empty() && i < keyboards.size(); ++i)
            list.push_back(std::make_unique<Device>(*this, int(i)));
        return list;
    }
    std::unique_ptr<VirtualKeyboard> createVirtualKeyboard(
        const KeyboardList &, std::string &reason) override
    {
        const int failed = fails("output");
        if (failed == 0)
            return std::make_unique<Output>(*this);
        reason = std::strerror(-failed);
        return nullptr;
    }

    // From now on, the operation (with the keyboard's index, if any) fails with the error.
    void fail(const QString &operation, int error)
    {
        std::lock_guard<std::mutex> lock(mutex);
        failing = operation;
        failure = -error;
    }
    int fails(const char *operation, int index = -1)
    {
        const QString name = index < 0 ? operation : operation + QString::number(index);
        std::lock_guard<std::mutex> lock(mutex);
        return name == failing ? failure : 0;
    }
    // One write, so that the hook wakes to the whole script at once.
    void send(int index, const QString &script)
    {
        QByteArray events;
        for (const QString &token : script.split(' ', Qt::SkipEmptyParts)) {
            const input_event event = parseEvent(token);
            if (event.type == EV_KEY && event.value != 2)
                keyboards[index].down += event.value == 1 ? 1 : -1;
            events.append(reinterpret_cast<const char *>(&event), sizeof event);
        }
        if (::write(keyboards[index].fds[1], events.data(), events.size()) != events.size())
            qFatal("cannot send events: %s", std::strerror(errno));
    }
    QString written()
    {
        char buffer[4096];
        for (ssize_t size; (size = ::read(output[0], buffer, sizeof buffer)) > 0;)
            seen += QString::fromUtf8(buffer, size);
        return seen.trimmed();
    }

    std::vector<Keyboard> keyboards;
    int output[2];
    QString seen;
    std::atomic<int> open {0};
    std::mutex mutex;
    QString failing;
    int failure = 0;
};

// Scroll Lock turns on, End shows the enemy bars, W is keypad 8, either Enter becomes F.
const HookRecord record = {false, VirtualKey::Scroll, VirtualKey::End, 0, 0, 'W', 0, 0, 0, 0,
    {{VirtualKey::Return, 'F'}}, 1};

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return process.readAllStandardOutput();
}

} // namespace

class TestHookLinux : public QObject
{
    Q_OBJECT

private slots:
    void forwarding_data();
    void forwarding();
    void twoKeyboards();
    void failures_data();
    void failures();
    void evdevFailures_data();
    void evdevFailures();
    void exportedLibrary();
};

void TestHookLinux::forwarding_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("onCancel");
    auto row = [](const char *name, const char *input, const char *expected, const char *onCancel) {
        QTest::newRow(name) << input << expected << onCancel;
    };

    row("keys through the key table, other events in order",
        "MSC_SCAN:4 +W syn =W syn -W REL_X:5 syn", "MSC_SCAN:4 +KP8 syn =KP8 syn -KP8 REL_X:5 syn",
        "");
    row("swallowed key keeps its frame, cancel lets go of every key held",
        "+END syn -END syn +W syn +VOLUMEUP syn", "+LEFTBRACE syn syn +KP8 syn +VOLUMEUP syn",
        "-KP8 -LEFTBRACE -VOLUMEUP syn");
    row("both Enters remap; while off, keypad Enter stays itself",
        "+ENTER -ENTER +KPENTER -KPENTER syn +SCROLLLOCK -SCROLLLOCK +KPENTER -KPENTER syn",
        "+F -F +F -F syn +SCROLLLOCK -SCROLLLOCK +KPENTER -KPENTER syn", "");
}

void TestHookLinux::forwarding()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(QString, onCancel);

    Fake fake;
    LinuxHook hook(fake);
    QVERIFY(hook.set(&record) && hook.set(&record)); // the second replaces the first
    QCOMPARE(fake.open.load(), 2); // one keyboard, one virtual keyboard
    fake.send(0, input);
    QTRY_COMPARE(fake.written(), expected);
    hook.cancel();
    hook.cancel();
    QCOMPARE(fake.written(), (expected + " " + onCancel).trimmed());
    QCOMPARE(fake.open.load(), 0); // a closed keyboard is no longer grabbed
}

// Keyboard 1 holds A when the hook starts, and K goes down on keyboard 0 while it grabs: the
// hook waits out both, and sends nothing of what everyone else saw before the grab.
void TestHookLinux::twoKeyboards()
{
    Fake fake(2);
    fake.send(1, "+A");
    fake.keyboards[0].atFirstGrab = "+K";
    LinuxHook hook(fake);
    auto started = std::async(std::launch::async, [&] { return hook.set(&record); });

    QTRY_VERIFY(fake.keyboards[1].downChecks >= 1);
    QVERIFY(!fake.keyboards[0].grabbed && !fake.keyboards[1].grabbed);
    fake.send(1, "-A syn");
    QTRY_COMPARE(fake.keyboards[0].grabs.load(), 1);
    QTRY_VERIFY(!fake.keyboards[0].grabbed);
    fake.send(0, "-K syn");
    QVERIFY2(started.get(), hook.error().c_str());
    QCOMPARE(fake.keyboards[0].grabs.load(), 2);
    QVERIFY(fake.keyboards[0].grabbed && fake.keyboards[1].grabbed);
    fake.send(1, "+W syn");
    QTRY_COMPARE(fake.written(), QString("+KP8 syn"));

    // Unplugged, keyboard 1 lets go of its keys; keyboard 0 goes on.
    fake.send(0, "+K syn");
    QTRY_COMPARE(fake.written(), QString("+KP8 syn +K syn"));
    fake.fail("read1", ENODEV);
    fake.send(1, "syn"); // wakes the hook
    QTRY_COMPARE(fake.written(), QString("+KP8 syn +K syn -KP8 syn"));
    fake.send(0, "-K syn");
    QTRY_COMPARE(fake.written(), QString("+KP8 syn +K syn -KP8 syn -K syn"));
    QVERIFY(!fake.keyboards[1].grabbed && fake.keyboards[0].grabbed);
    QCOMPARE(fake.keyboards[1].failedReads.load(), 1); // and is read no more
    QCOMPARE(hook.error(), std::string());

    // A failed write stops the hook, which gives everything back though no one cancels.
    fake.fail("write", EIO);
    fake.send(0, "+K syn");
    QTRY_COMPARE(fake.open.load(), 0);
    QCOMPARE(hook.error(),
        std::string("The hook stopped: writing to the virtual keyboard failed: Input/output error. "
                    "Remapping is off."));
}

void TestHookLinux::failures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *failure, int error, const QString &expected) {
        QTest::newRow(failure) << failure << error << expected;
    };
    const QString advice = " Add yourself to the input group";

    row("keyboards", EACCES, "No keyboard can be read (Permission denied)." + advice);
    row("output", EACCES, "The virtual keyboard cannot be created (Permission denied)." + advice);
    row("grab1", EBUSY, "keyboard 1 cannot be grabbed (Device or resource busy). Another program");
    row("keys1", EIO, "The keys of keyboard 1 cannot be read (Input/output error).");
    row("read1", ENODEV, "keyboard 1 cannot be read (No such device).");
    row("held", 0, "A key is held down on keyboard 1. Release every key and try again.");
    row("record", 0, "No key settings were given.");
}

void TestHookLinux::failures()
{
    QFETCH(QString, failure);
    QFETCH(int, error);
    QFETCH(QString, expected);

    Fake fake(2);
    LinuxHook hook(fake, std::chrono::milliseconds(20));
    // A hook in force before must be gone after the failed start too.
    QVERIFY(hook.set(&record));
    fake.fail(failure, error);
    if (failure == "held")
        fake.send(1, "+A");
    QVERIFY(!hook.set(failure == "record" ? nullptr : &record));
    QVERIFY2(QString::fromStdString(hook.error()).startsWith(expected), hook.error().c_str());
    QCOMPARE(fake.open.load(), 0); // a closed keyboard is no longer grabbed
}

// On paths in a temporary directory: no test machine has keyboards or /dev/uinput to spare, and
// none should have its keyboard grabbed by a test.
void TestHookLinux::evdevFailures_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("uinput");
    QTest::addColumn<QString>("noKeyboard");
    QTest::addColumn<QString>("noVirtualKeyboard");

    auto row = [](const char *name, const char *directory, const char *uinput,
                   const QString &noKeyboard, const QString &noVirtualKeyboard) {
        QTest::newRow(name) << directory << uinput << noKeyboard << noVirtualKeyboard;
    };
    const QString missing = "%1/missing: No such file or directory";
    const QString notADevice = "%1/plain/event0: Inappropriate ioctl for device";

    row("missing", "missing", "missing", missing, missing);
    row("no event node, directory as uinput", "empty", "empty", "no input device in %1/empty",
        "%1/empty: Is a directory");
    row("plain file as event node and as uinput", "plain", "plain/event0", notADevice, notADevice);
}

void TestHookLinux::evdevFailures()
{
    QFETCH(QString, directory);
    QFETCH(QString, uinput);
    QFETCH(QString, noKeyboard);
    QFETCH(QString, noVirtualKeyboard);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("empty") && QDir(dir.path()).mkpath("plain"));
    QVERIFY(QFile(dir.filePath("plain/event0")).open(QIODevice::WriteOnly));

    EvdevDevices devices(dir.filePath(directory).toStdString(), dir.filePath(uinput).toStdString());
    std::string reason;
    QVERIFY(devices.openKeyboards(reason).empty());
    QCOMPARE(QString::fromStdString(reason), noKeyboard.arg(dir.path()));
    QVERIFY(!devices.createVirtualKeyboard({}, reason));
    QCOMPARE(QString::fromStdString(reason), noVirtualKeyboard.arg(dir.path()));
}

// The built library as the program sees it, through calls that reach no device, so that the test
// behaves alike on a machine with keyboards.
void TestHookLinux::exportedLibrary()
{
    QStringList defined;
    const QString symbols = output("nm", {"-D", "--defined-only", HOOK_LIBRARY_PATH});
    for (const QString &line : symbols.split('\n', Qt::SkipEmptyParts))
        defined << line.section(' ', 1);
    defined.sort();
    QCOMPARE(defined, QStringList({"T cancelHook", "T hookLastError", "T setHook"}));
    const QString headers = output("objdump", {"-p", HOOK_LIBRARY_PATH});
    QVERIFY2(headers.contains("NEEDED") && !headers.contains("libQt"), qPrintable(headers));

    QLibrary library(HOOK_LIBRARY_PATH);
    auto setHook = reinterpret_cast<SetHookFunction>(library.resolve("setHook"));
    auto cancelHook = reinterpret_cast<CancelHookFunction>(library.resolve("cancelHook"));
    auto hookLastError = reinterpret_cast<HookLastErrorFunction>(library.resolve("hookLastError"));
    QVERIFY2(setHook && cancelHook && hookLastError, qPrintable(library.errorString()));
    cancelHook();
    cancelHook();
    QCOMPARE(hookLastError(), "");
    setHook(nullptr);
    QCOMPARE(hookLastError(), "No key settings were given.");
    cancelHook();
    QCOMPARE(hookLastError(), "No key settings were given.");
}

QTEST_GUILESS_MAIN(TestHookLinux)
#include "tst_hooklinux.moc"
