#include "hooklib/evdevdevices.h"

#include "keycapture/keytable.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// Also how the hook recognises its own device, should another copy of it be running.
const char virtualKeyboardName[] = "tolvan virtual keyboard";

std::string errnoText(int error)
{
    return std::strerror(error < 0 ? -error : error);
}

class EvdevKeyboard : public KeyboardDevice
{
public:
    EvdevKeyboard(int fd, libevdev *device, const std::string &path)
        : descriptor(fd),
          device(device),
          displayName("\"" + std::string(libevdev_get_name(device)) + "\" (" + path + ")")
    {
    }

    ~EvdevKeyboard() override
    {
        libevdev_grab(device, LIBEVDEV_UNGRAB);
        libevdev_free(device);
        close(descriptor);
    }

    std::string name() const override { return displayName; }
    int fd() const override { return descriptor; }

    bool hasEvent(unsigned type, unsigned code) const override
    {
        return libevdev_has_event_code(device, type, code);
    }

    int anyKeyDown() override
    {
        // Asked of the kernel, not of libevdev, whose view lags behind the unread events.
        unsigned char keys[KEY_MAX / 8 + 1] = {};
        if (ioctl(descriptor, EVIOCGKEY(sizeof keys), keys) < 0)
            return -errno;
        return std::any_of(
            std::begin(keys), std::end(keys), [](unsigned char bits) { return bits != 0; });
    }

    int grab() override { return libevdev_grab(device, LIBEVDEV_GRAB); }
    void ungrab() override { libevdev_grab(device, LIBEVDEV_UNGRAB); }

    int read(input_event &event) override
    {
        const unsigned flags = syncing ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL;
        const int status = libevdev_next_event(device, flags, &event);
        if (status == LIBEVDEV_READ_STATUS_SYNC) {
            // Events were dropped. The first event is the notice itself; what follows is the
            // difference to the device's real state, passed on as ordinary events.
            if (syncing)
                return 1;
            syncing = true;
            return read(event);
        }
        if (status == LIBEVDEV_READ_STATUS_SUCCESS)
            return 1;
        if (status == -EAGAIN) {
            if (!syncing)
                return 0;
            syncing = false;
            return read(event);
        }
        return status;
    }

private:
    const int descriptor;
    libevdev *const device;
    const std::string displayName;
    bool syncing = false;
};

class UinputKeyboard : public VirtualKeyboard
{
public:
    UinputKeyboard(int fd, libevdev_uinput *device) : descriptor(fd), device(device) { }

    ~UinputKeyboard() override
    {
        libevdev_uinput_destroy(device);
        close(descriptor);
    }

    int write(unsigned type, unsigned code, int value) override
    {
        return libevdev_uinput_write_event(device, type, code, value);
    }

private:
    const int descriptor;
    libevdev_uinput *const device;
};

// As udev decides: a keyboard has every key from Escape to S, the first 31 key codes.
bool isKeyboard(const libevdev *device)
{
    if (std::strcmp(libevdev_get_name(device), virtualKeyboardName) == 0)
        return false;
    for (unsigned code = KEY_ESC; code <= KEY_S; ++code) {
        if (!libevdev_has_event_code(device, EV_KEY, code))
            return false;
    }
    return true;
}

std::vector<std::string> eventNodes(const std::string &directory, std::string &reason)
{
    std::vector<std::pair<int, std::string>> nodes;
    DIR *dir = opendir(directory.c_str());
    if (!dir) {
        reason = directory + ": " + errnoText(errno);
        return {};
    }
    while (const dirent *entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "event", 5) == 0)
            nodes.emplace_back(std::atoi(entry->d_name + 5), directory + "/" + entry->d_name);
    }
    closedir(dir);
    std::sort(nodes.begin(), nodes.end());
    std::vector<std::string> paths;
    for (auto &node : nodes)
        paths.push_back(std::move(node.second));
    return paths;
}

} // namespace

EvdevDevices::EvdevDevices(std::string inputDirectory, std::string uinputPath)
    : inputDirectory(std::move(inputDirectory)), uinputPath(std::move(uinputPath))
{
}

KeyboardList EvdevDevices::openKeyboards(std::string &reason)
{
    KeyboardList keyboards;
    std::string listReason;
    const std::vector<std::string> paths = eventNodes(inputDirectory, listReason);
    if (paths.empty()) {
        reason = listReason.empty() ? "no input device in " + inputDirectory : listReason;
        return keyboards;
    }

    std::string firstFailure;
    for (const std::string &path : paths) {
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (firstFailure.empty())
                firstFailure = path + ": " + errnoText(errno);
            continue;
        }
        libevdev *device = nullptr;
        const int status = libevdev_new_from_fd(fd, &device);
        if (status < 0) {
            if (firstFailure.empty())
                firstFailure = path + ": " + errnoText(status);
            close(fd);
            continue;
        }
        if (!isKeyboard(device)) {
            libevdev_free(device);
            close(fd);
            continue;
        }
        keyboards.push_back(std::make_unique<EvdevKeyboard>(fd, device, path));
    }
    if (keyboards.empty()) {
        reason = firstFailure.empty() ? "none of the " + std::to_string(paths.size())
                + " input devices in " + inputDirectory + " is a keyboard"
                                      : firstFailure;
    }
    return keyboards;
}

std::unique_ptr<VirtualKeyboard> EvdevDevices::createVirtualKeyboard(
    const KeyboardList &keyboards, std::string &reason)
{
    libevdev *prototype = libevdev_new();
    if (!prototype) {
        reason = errnoText(ENOMEM);
        return nullptr;
    }
    libevdev_set_name(prototype, virtualKeyboardName);
    libevdev_set_id_bustype(prototype, BUS_VIRTUAL);

    std::size_t rowCount = 0;
    const KeyTable::Row *rows = KeyTable::rows(&rowCount);
    for (std::size_t i = 0; i < rowCount; ++i)
        libevdev_enable_event_code(prototype, EV_KEY, rows[i].evdev, nullptr);
    // Whatever the keyboards send passes through, so the virtual one must be able to send it:
    // media keys, scan codes, and the pointer of a keyboard with a touchpad. No auto-repeat of
    // its own: the keyboards' repeats are passed on.
    const std::pair<unsigned, unsigned> types[]
        = {{EV_KEY, KEY_MAX}, {EV_REL, REL_MAX}, {EV_MSC, MSC_MAX}};
    for (const auto &keyboard : keyboards) {
        for (const auto &type : types) {
            for (unsigned code = 0; code <= type.second; ++code) {
                if (keyboard->hasEvent(type.first, code))
                    libevdev_enable_event_code(prototype, type.first, code, nullptr);
            }
        }
    }

    const int fd = open(uinputPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        reason = uinputPath + ": " + errnoText(errno);
        libevdev_free(prototype);
        return nullptr;
    }
    libevdev_uinput *device = nullptr;
    const int status = libevdev_uinput_create_from_device(prototype, fd, &device);
    libevdev_free(prototype);
    if (status < 0) {
        reason = uinputPath + ": " + errnoText(status);
        close(fd);
        return nullptr;
    }
    return std::make_unique<UinputKeyboard>(fd, device);
}
