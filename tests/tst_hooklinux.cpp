#include "hooklib/linuxhook.h"
#include "keycapture/virtualkeys.h"

#include <QHash>
#include <QStringList>
#include <QTest>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <set>

// The Linux hook's loop against fake keyboards. Events read as in the core's scripts: +W =W -W
// for a key's press, repeat and release (evdev names, shortened), "syn" for the report that ends
// a frame, "scan:N" and "relx:N" for a scan code and a pointer move.

namespace {

const QHash<QString, unsigned> &keyCodes()
{
    static const QHash<QString, unsigned> codes = {
        { "A", KEY_A },
        { "F", KEY_F },
        { "K", KEY_K },
        { "W", KEY_W },
        { "END", KEY_END },
        { "ENTER", KEY_ENTER },
        { "KP7", KEY_KP7 },
        { "KP8", KEY_KP8 },
        { "KPENTER", KEY_KPENTER },
        { "LBRACE", KEY_LEFTBRACE },
        { "SCROLL", KEY_SCROLLLOCK },
        { "VOLUP", KEY_VOLUMEUP },
    };
    return codes;
}

input_event parseEvent(const QString &token)
{
    input_event event {};
    if (token == "syn") {
        event.type = EV_SYN;
        event.code = SYN_REPORT;
    } else if (token.startsWith("scan:")) {
        event.type = EV_MSC;
        event.code = MSC_SCAN;
        event.value = token.mid(5).toInt();
    } else if (token.startsWith("relx:")) {
        event.type = EV_REL;
        event.code = REL_X;
        event.value = token.mid(5).toInt();
    } else {
        event.type = EV_KEY;
        event.value = token[0] == '+' ? 1 : token[0] == '=' ? 2 : 0;
        if (!keyCodes().contains(token.mid(1)))
            qFatal("unknown key %s", qPrintable(token));
        event.code = keyCodes().value(token.mid(1));
    }
    return event;
}

QString eventText(unsigned type, unsigned code, int value)
{
    if (type == EV_SYN && code == SYN_REPORT)
        return "syn";
    if (type == EV_MSC && code == MSC_SCAN)
        return QStringLiteral("scan:%1").arg(value);
    if (type == EV_REL && code == REL_X)
        return QStringLiteral("relx:%1").arg(value);
    if (type == EV_KEY) {
        const QString name = keyCodes().key(code, QString::number(code));
        return (value == 1 ? "+" : value == 2 ? "=" : "-") + name;
    }
    return QStringLiteral("%1/%2/%3").arg(type).arg(code).arg(value);
}

// What the kernel knows of a keyboard, shared between the test and the hook's device object.
struct FakeKeyboardState
{
    FakeKeyboardState() { fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }
    ~FakeKeyboardState() { close(fd); }

    // The key goes down or up at once, as in the kernel; the hook reads the event later.
    void send(const QString &script)
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const QString &token : script.split(' ', Qt::SkipEmptyParts)) {
            const input_event event = parseEvent(token);
            if (event.type == EV_KEY && event.value == 1)
                down.insert(event.code);
            else if (event.type == EV_KEY && event.value == 0)
                down.erase(event.code);
            events.push_back(event);
        }
        wake();
    }
    void unplug()
    {
        std::lock_guard<std::mutex> lock(mutex);
        gone = true;
        wake();
    }
    void wake()
    {
        const uint64_t one = 1;
        if (write(fd, &one, sizeof one) != sizeof one)
            qFatal("cannot wake the hook: %s", std::strerror(errno));
    }
    bool isGrabbed()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return grabbed;
    }
    int grabCount()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return grabs;
    }
    int downChecks()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return checks;
    }

    std::mutex mutex;
    int fd;
    std::deque<input_event> events;
    std::set<unsigned> down;
    bool grabbed = false;
    bool gone = false;
    bool open = false;
    int grabs = 0;
    int checks = 0;
    int grabResult = 0;
    int keysResult = 0;
    // Played at the first grab: a key pressed while the hook grabs.
    QString atFirstGrab;
};

class FakeKeyboard : public KeyboardDevice
{
public:
    FakeKeyboard(std::shared_ptr<FakeKeyboardState> state, int index)
        : state(std::move(state)), index(index)
    {
        this->state->open = true;
    }
    ~FakeKeyboard() override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->open = false;
    }

    std::string name() const override { return "keyboard " + std::to_string(index); }
    int fd() const override { return state->fd; }
    bool hasEvent(unsigned type, unsigned) const override { return type == EV_KEY; }

    int anyKeyDown() override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        ++state->checks;
        return state->keysResult != 0 ? state->keysResult : !state->down.empty();
    }
    int grab() override
    {
        QString pressed;
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->grabResult != 0)
                return state->grabResult;
            state->grabbed = true;
            if (++state->grabs == 1)
                pressed = state->atFirstGrab;
        }
        if (!pressed.isEmpty())
            state->send(pressed);
        return 0;
    }
    void ungrab() override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->grabbed = false;
    }
    int read(input_event &event) override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->gone)
            return -ENODEV;
        if (state->events.empty()) {
            uint64_t count;
            while (::read(state->fd, &count, sizeof count) > 0) { }
            return 0;
        }
        event = state->events.front();
        state->events.pop_front();
        return 1;
    }

private:
    std::shared_ptr<FakeKeyboardState> state;
    int index;
};

struct FakeOutputState
{
    // A deep copy: Qt's implicit sharing between threads would only blur a race detector's view.
    QStringList written()
    {
        std::lock_guard<std::mutex> lock(mutex);
        QStringList copy;
        for (const std::string &event : events)
            copy << QString::fromStdString(event);
        return copy;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.clear();
    }

    std::mutex mutex;
    std::vector<std::string> events;
    bool open = false;
    int created = 0;
    int writeResult = 0;
};

class FakeVirtualKeyboard : public VirtualKeyboard
{
public:
    explicit FakeVirtualKeyboard(std::shared_ptr<FakeOutputState> state) : state(std::move(state))
    {
        this->state->open = true;
        ++this->state->created;
    }
    ~FakeVirtualKeyboard() override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->open = false;
    }

    int write(unsigned type, unsigned code, int value) override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->writeResult != 0)
            return state->writeResult;
        state->events.push_back(eventText(type, code, value).toStdString());
        return 0;
    }

private:
    std::shared_ptr<FakeOutputState> state;
};

class FakeDevices : public DeviceLayer
{
public:
    explicit FakeDevices(int keyboardCount = 1)
    {
        for (int i = 0; i < keyboardCount; ++i)
            keyboards.push_back(std::make_shared<FakeKeyboardState>());
    }

    KeyboardList openKeyboards(std::string &reason) override
    {
        KeyboardList list;
        if (!keyboardsReason.empty()) {
            reason = keyboardsReason;
            return list;
        }
        for (std::size_t i = 0; i < keyboards.size(); ++i)
            list.push_back(std::make_unique<FakeKeyboard>(keyboards[i], int(i)));
        return list;
    }
    std::unique_ptr<VirtualKeyboard> createVirtualKeyboard(
        const KeyboardList &, std::string &reason) override
    {
        if (!outputReason.empty()) {
            reason = outputReason;
            return nullptr;
        }
        return std::make_unique<FakeVirtualKeyboard>(output);
    }

    // Nothing left grabbed or open after a failure or a cancel.
    bool allReleased() const
    {
        for (const auto &keyboard : keyboards) {
            if (keyboard->grabbed || keyboard->open)
                return false;
        }
        return !output->open;
    }

    std::vector<std::shared_ptr<FakeKeyboardState>> keyboards;
    std::shared_ptr<FakeOutputState> output = std::make_shared<FakeOutputState>();
    std::string keyboardsReason;
    std::string outputReason;
};

// Scroll Lock turns on, the Windows keys are shielded, End shows the enemy bars, W is keypad 8,
// Enter (either of the two) becomes F.
HookRecord testRecord()
{
    HookRecord record;
    std::memset(&record, 0, sizeof record);
    record.winShield = true;
    record.turnOn = VirtualKey::Scroll;
    record.enemyBlood = VirtualKey::End;
    record.keypad8 = 'W';
    record.toneKeys[0] = HookKeyPair { VirtualKey::Return, 'F' };
    record.toneKeyCount = 1;
    return record;
}

} // namespace

class TestHookLinux : public QObject
{
    Q_OBJECT

private slots:
    void forwarding_data();
    void forwarding();
    void startsWhenAllKeysAreUp();
    void keyPressedWhileGrabbingIsWaitedFor();
    void keyHeldTooLong();
    void failures_data();
    void failures();
    void cancelReleasesEverything();
    void unpluggedKeyboardReleasesItsKeys();
    void failedWriteStopsTheHook();
    void setAgainReplacesTheHook();
};

void TestHookLinux::forwarding_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("keypad key through the key table") << "+W syn =W syn -W syn"
                                                      << "+KP8 syn =KP8 syn -KP8 syn";
    QTest::newRow("health bar key") << "+END syn -END syn"
                                    << "+LBRACE syn syn";
    QTest::newRow("scan codes and pointer pass in order") << "scan:17 +W syn relx:5 syn"
                                                          << "scan:17 +KP8 syn relx:5 syn";
    QTest::newRow("key outside the table passes") << "+VOLUP syn -VOLUP syn"
                                                  << "+VOLUP syn -VOLUP syn";
    QTest::newRow("both Enters remap by their virtual key")
        << "+ENTER syn -ENTER syn +KPENTER syn -KPENTER syn"
        << "+F syn -F syn +F syn -F syn";
    QTest::newRow("keypad Enter passes as itself") << "+SCROLL -SCROLL syn +KPENTER -KPENTER syn"
                                                   << "+SCROLL -SCROLL syn +KPENTER -KPENTER syn";
}

void TestHookLinux::forwarding()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);

    FakeDevices devices;
    LinuxHook hook(devices);
    const HookRecord record = testRecord();
    QVERIFY(hook.set(&record));
    QCOMPARE(hook.error(), std::string());
    QVERIFY(devices.keyboards[0]->isGrabbed());

    devices.keyboards[0]->send(input);
    QTRY_COMPARE(devices.output->written().join(' '), expected);
}

void TestHookLinux::startsWhenAllKeysAreUp()
{
    FakeDevices devices(2);
    devices.keyboards[1]->send("+A");
    LinuxHook hook(devices);
    const HookRecord record = testRecord();
    auto started = std::async(std::launch::async, [&] { return hook.set(&record); });

    QTRY_VERIFY(devices.keyboards[1]->downChecks() >= 1);
    QVERIFY(!devices.keyboards[0]->isGrabbed());
    QVERIFY(!devices.keyboards[1]->isGrabbed());

    // The release reaches everyone else the ordinary way, so the hook must not send it again.
    devices.keyboards[1]->send("-A syn");
    QVERIFY2(started.get(), hook.error().c_str());
    QVERIFY(devices.keyboards[0]->isGrabbed());
    QVERIFY(devices.keyboards[1]->isGrabbed());

    devices.keyboards[1]->send("+W syn");
    QTRY_COMPARE(devices.output->written().join(' '), QString("+KP8 syn"));
}

void TestHookLinux::keyPressedWhileGrabbingIsWaitedFor()
{
    FakeDevices devices;
    devices.keyboards[0]->atFirstGrab = "+A";
    LinuxHook hook(devices);
    const HookRecord record = testRecord();
    auto started = std::async(std::launch::async, [&] { return hook.set(&record); });

    QTRY_COMPARE(devices.keyboards[0]->grabCount(), 1);
    QTRY_VERIFY(!devices.keyboards[0]->isGrabbed());
    devices.keyboards[0]->send("-A syn");
    QVERIFY(started.get());
    QCOMPARE(devices.keyboards[0]->grabCount(), 2);
    QVERIFY(devices.keyboards[0]->isGrabbed());

    devices.keyboards[0]->send("+K syn");
    QTRY_COMPARE(devices.output->written().join(' '), QString("+K syn"));
}

void TestHookLinux::keyHeldTooLong()
{
    FakeDevices devices;
    devices.keyboards[0]->send("+A");
    LinuxHook hook(devices, std::chrono::milliseconds(20));
    const HookRecord record = testRecord();

    QVERIFY(!hook.set(&record));
    QCOMPARE(hook.error(),
        std::string("A key is held down on keyboard 0. Release every key and try again."));
    QVERIFY(devices.allReleased());
    QCOMPARE(devices.keyboards[0]->grabCount(), 0);
}

void TestHookLinux::failures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("expected");

    const QString advice = "Add yourself to the input group";
    QTest::newRow("no keyboard") << "keyboards"
                                 << "No keyboard can be read (/dev/input/event3: Permission "
                                    "denied). "
            + advice;
    QTest::newRow("no virtual keyboard")
        << "output"
        << "The virtual keyboard cannot be created (/dev/uinput: Permission denied). " + advice;
    QTest::newRow("grab refused") << "grab"
                                  << "keyboard 1 cannot be grabbed (Device or resource busy). "
                                     "Another program holds it; close that program.";
    QTest::newRow("keys unreadable") << "keys"
                                     << "The keys of keyboard 1 cannot be read (Input/output "
                                        "error).";
    QTest::newRow("keyboard unreadable") << "read"
                                         << "keyboard 1 cannot be read (No such device).";
    QTest::newRow("no record") << "record"
                               << "No key settings were given.";
}

void TestHookLinux::failures()
{
    QFETCH(QString, failure);
    QFETCH(QString, expected);

    FakeDevices devices(2);
    LinuxHook hook(devices);
    const HookRecord record = testRecord();
    // A hook in force before must be gone after the failed start too.
    QVERIFY(hook.set(&record));

    if (failure == "keyboards")
        devices.keyboardsReason = "/dev/input/event3: Permission denied";
    else if (failure == "output")
        devices.outputReason = "/dev/uinput: Permission denied";
    else if (failure == "grab")
        devices.keyboards[1]->grabResult = -EBUSY;
    else if (failure == "keys")
        devices.keyboards[1]->keysResult = -EIO;
    else if (failure == "read")
        devices.keyboards[1]->unplug();
    QVERIFY(!hook.set(failure == "record" ? nullptr : &record));
    QVERIFY2(QString::fromStdString(hook.error()).startsWith(expected), hook.error().c_str());
    QVERIFY(devices.allReleased());
    hook.cancel();
    QCOMPARE(QString::fromStdString(hook.error()).left(expected.size()), expected);
}

void TestHookLinux::cancelReleasesEverything()
{
    FakeDevices devices;
    LinuxHook hook(devices);
    const HookRecord record = testRecord();
    QVERIFY(hook.set(&record));
    devices.keyboards[0]->send("+W syn +K syn +END -END syn");
    QTRY_COMPARE(devices.output->written().join(' '), QString("+KP8 syn +K syn +LBRACE syn"));
    devices.output->clear();

    hook.cancel();
    QCOMPARE(devices.output->written().join(' '), QString("-KP8 -LBRACE -K syn"));
    devices.output->clear();
    QVERIFY(devices.allReleased());
    hook.cancel();
    QCOMPARE(devices.output->written().join(' '), QString());
    devices.output->clear();
    QCOMPARE(hook.error(), std::string());
}

void TestHookLinux::unpluggedKeyboardReleasesItsKeys()
{
    FakeDevices devices(2);
    LinuxHook hook(devices);
    const HookRecord record = testRecord();
    QVERIFY(hook.set(&record));
    devices.keyboards[0]->send("+W syn");
    devices.keyboards[1]->send("+K syn");
    QTRY_COMPARE(devices.output->written().size(), 4);
    devices.output->clear();

    devices.keyboards[0]->unplug();
    QTRY_COMPARE(devices.output->written().join(' '), QString("-KP8 syn"));
    devices.output->clear();
    QTRY_VERIFY(!devices.keyboards[0]->isGrabbed());
    QVERIFY(devices.keyboards[1]->isGrabbed());

    devices.keyboards[1]->send("-K syn");
    QTRY_COMPARE(devices.output->written().join(' '), QString("-K syn"));
    devices.output->clear();
    QCOMPARE(hook.error(), std::string());
}

void TestHookLinux::failedWriteStopsTheHook()
{
    FakeDevices devices;
    LinuxHook hook(devices);
    const HookRecord record = testRecord();
    QVERIFY(hook.set(&record));
    {
        std::lock_guard<std::mutex> lock(devices.output->mutex);
        devices.output->writeResult = -EIO;
    }
    devices.keyboards[0]->send("+W syn");

    // The keyboards must come back even when no one cancels.
    QTRY_VERIFY(!devices.keyboards[0]->isGrabbed());
    QTRY_COMPARE(hook.error(),
        std::string("The hook stopped: writing to the virtual keyboard failed: "
                    "Input/output error. Remapping is off."));
    hook.cancel();
    QVERIFY(devices.allReleased());
}

void TestHookLinux::setAgainReplacesTheHook()
{
    FakeDevices devices;
    LinuxHook hook(devices);
    HookRecord record = testRecord();
    QVERIFY(hook.set(&record));
    record.keypad8 = 0;
    record.keypad7 = 'W';
    QVERIFY(hook.set(&record));
    QCOMPARE(devices.output->created, 2);
    QVERIFY(devices.output->open);
    QVERIFY(devices.keyboards[0]->isGrabbed());

    devices.keyboards[0]->send("+W -W syn");
    QTRY_COMPARE(devices.output->written().join(' '), QString("+KP7 -KP7 syn"));
    devices.output->clear();
}

QTEST_GUILESS_MAIN(TestHookLinux)
#include "tst_hooklinux.moc"
