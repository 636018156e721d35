#include "hooklib/linuxhook.h"

#include "keycapture/keytable.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

namespace {

const char permissionAdvice[]
    = "Add yourself to the input group (sudo usermod -aG input $USER), install the udev rule "
      "60-tolvan-uinput.rules, then log in again.";

uint32_t evdevCodeFor(uint32_t virtualKey)
{
    return KeyTable::evdevFromVirtualKey(virtualKey);
}

std::string errnoText(int error)
{
    return std::strerror(error < 0 ? -error : error);
}

int pollFor(std::vector<pollfd> &fds, int timeoutMs)
{
    int ready;
    do {
        ready = poll(fds.data(), fds.size(), timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready;
}

} // namespace

LinuxHook::LinuxHook(DeviceLayer &devices, std::chrono::milliseconds keysUpTimeout)
    : devices(devices), keysUpTimeout(keysUpTimeout), core(evdevCodeFor)
{
    stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

LinuxHook::~LinuxHook()
{
    cancel();
    if (stopFd >= 0)
        close(stopFd);
}

bool LinuxHook::set(const HookRecord *record)
{
    cancel();
    std::string error = "No key settings were given.";
    bool started = false;
    try {
        if (record)
            started = start(*record, error);
    } catch (const std::exception &exception) {
        // Out of memory or threads: the caller is C and must not see an exception.
        error = std::string("The hook could not start: ") + exception.what();
    }
    if (!started)
        releaseAndClose();
    setError(started ? std::string() : error);
    return started;
}

void LinuxHook::cancel()
{
    if (!worker.joinable())
        return;
    const uint64_t one = 1;
    while (::write(stopFd, &one, sizeof one) < 0 && errno == EINTR) { }
    worker.join();
    uint64_t count;
    while (::read(stopFd, &count, sizeof count) > 0) { }
}

std::string LinuxHook::error() const
{
    std::lock_guard<std::mutex> lock(errorMutex);
    return lastError;
}

void LinuxHook::setError(const std::string &message)
{
    std::lock_guard<std::mutex> lock(errorMutex);
    lastError = message;
}

bool LinuxHook::start(const HookRecord &record, std::string &error)
{
    if (stopFd < 0) {
        error = "The hook could not start: " + errnoText(errno) + ".";
        return false;
    }
    std::string reason;
    keyboards = devices.openKeyboards(reason);
    if (keyboards.empty()) {
        error = "No keyboard can be read (" + reason + "). " + permissionAdvice;
        return false;
    }
    virtualKeyboard = devices.createVirtualKeyboard(keyboards, reason);
    if (!virtualKeyboard) {
        error = "The virtual keyboard cannot be created (" + reason + "). " + permissionAdvice;
        return false;
    }
    if (!grabWhenKeysUp(error))
        return false;

    out.clear();
    core.setRecord(record, out);
    worker = std::thread(&LinuxHook::run, this);
    return true;
}

bool LinuxHook::grabWhenKeysUp(std::string &error)
{
    const auto deadline = std::chrono::steady_clock::now() + keysUpTimeout;
    std::vector<pollfd> fds;
    for (const auto &keyboard : keyboards)
        fds.push_back(pollfd {keyboard->fd(), POLLIN, 0});

    for (;;) {
        // What waits now was seen by everyone already; after the grab it must not be sent again.
        for (const auto &keyboard : keyboards) {
            if (!drain(*keyboard, error))
                return false;
        }
        const KeyboardDevice *held = nullptr;
        for (const auto &keyboard : keyboards) {
            const int down = keyboard->anyKeyDown();
            if (down < 0) {
                error = "The keys of " + keyboard->name() + " cannot be read (" + errnoText(down)
                    + ").";
                return false;
            }
            if (down > 0 && !held)
                held = keyboard.get();
        }
        if (!held) {
            for (const auto &keyboard : keyboards) {
                const int grabbed = keyboard->grab();
                if (grabbed < 0) {
                    ungrabAll();
                    error = keyboard->name() + " cannot be grabbed (" + errnoText(grabbed) + "). "
                        + (grabbed == -EBUSY ? "Another program holds it; close that program."
                                             : permissionAdvice);
                    return false;
                }
            }
            // A key pressed while grabbing went down for everyone else; its release would not.
            bool pressedMeanwhile = false;
            for (const auto &keyboard : keyboards)
                pressedMeanwhile = pressedMeanwhile || keyboard->anyKeyDown() != 0;
            if (!pressedMeanwhile)
                return true;
            ungrabAll();
        }

        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            error = "A key is held down on " + (held ? held->name() : std::string("a keyboard"))
                + ". Release every key and try again.";
            return false;
        }
        for (pollfd &fd : fds)
            fd.revents = 0;
        pollFor(fds, static_cast<int>(left.count()) + 1);
    }
}

bool LinuxHook::drain(KeyboardDevice &keyboard, std::string &error)
{
    input_event event;
    int status;
    while ((status = keyboard.read(event)) > 0) { }
    if (status < 0) {
        error = keyboard.name() + " cannot be read (" + errnoText(status) + ").";
        return false;
    }
    return true;
}

void LinuxHook::ungrabAll()
{
    for (const auto &keyboard : keyboards)
        keyboard->ungrab();
}

void LinuxHook::run()
{
    std::vector<pollfd> fds {pollfd {stopFd, POLLIN, 0}};
    for (const auto &keyboard : keyboards)
        fds.push_back(pollfd {keyboard->fd(), POLLIN, 0});

    std::string failure;
    while (failure.empty()) {
        if (pollFor(fds, -1) < 0) {
            failure = "waiting for keys failed: " + errnoText(errno);
            break;
        }
        if (fds[0].revents != 0)
            break;
        for (std::size_t i = 1; i < fds.size() && failure.empty(); ++i) {
            if (fds[i].revents == 0)
                continue;
            const uint32_t device = static_cast<uint32_t>(i - 1);
            KeyboardDevice &keyboard = *keyboards[device];
            input_event event;
            int status = 0;
            int written = 0;
            while (written == 0 && (status = keyboard.read(event)) > 0)
                written = forward(device, event);
            if (written == 0 && status < 0) {
                // Unplugged: what its keys hold must not stay down, and the others go on.
                out.clear();
                core.removeDevice(device, out);
                written = send(out);
                keyboard.ungrab();
                fds[i].fd = -1;
            }
            if (written != 0)
                failure = "writing to the virtual keyboard failed: " + errnoText(written);
        }
    }
    if (!failure.empty())
        setError("The hook stopped: " + failure + ". Remapping is off.");
    releaseAndClose();
}

int LinuxHook::forward(uint32_t device, const input_event &event)
{
    if (event.type != EV_KEY || event.value < 0 || event.value > 2)
        return virtualKeyboard->write(event.type, event.code, event.value);
    out.clear();
    const KeyInput input {device, event.code, KeyTable::virtualKeyFromEvdev(event.code),
        static_cast<KeyAction>(event.value)};
    core.process(input, out);
    // No report here: the one that closes the key's frame follows from the keyboard.
    for (const KeyOutput &key : out) {
        if (const int written = virtualKeyboard->write(EV_KEY, key.code, int(key.action)))
            return written;
    }
    return 0;
}

int LinuxHook::send(const std::vector<KeyOutput> &events)
{
    if (events.empty())
        return 0;
    for (const KeyOutput &key : events) {
        if (const int written = virtualKeyboard->write(EV_KEY, key.code, int(key.action)))
            return written;
    }
    return virtualKeyboard->write(EV_SYN, SYN_REPORT, 0);
}

void LinuxHook::releaseAndClose()
{
    out.clear();
    core.cancel(out);
    if (virtualKeyboard)
        send(out);
    ungrabAll();
    virtualKeyboard.reset();
    keyboards.clear();
}
