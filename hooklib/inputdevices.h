#pragma once

// The little the Linux hook needs from the input system, behind an interface so that its loop can
// be run against fake keyboards: the real implementation is a thin layer over libevdev and uinput.

#include <linux/input.h>

#include <memory>
#include <string>
#include <vector>

class KeyboardDevice
{
public:
    virtual ~KeyboardDevice() = default;

    // How the device is named in messages to the user.
    virtual std::string name() const = 0;
    // Becomes readable when events wait; the hook polls it.
    virtual int fd() const = 0;
    virtual bool hasEvent(unsigned type, unsigned code) const = 0;
    // 1 when any key is down now, 0 when none is, -errno on failure.
    virtual int anyKeyDown() = 0;
    // 0 or -errno. While grabbed, no one else receives the device's events.
    virtual int grab() = 0;
    virtual void ungrab() = 0;
    // 1 when an event was read, 0 when none waits, -errno when the device failed or is gone.
    virtual int read(input_event &event) = 0;
};

class VirtualKeyboard
{
public:
    virtual ~VirtualKeyboard() = default;

    // 0 or -errno.
    virtual int write(unsigned type, unsigned code, int value) = 0;
};

using KeyboardList = std::vector<std::unique_ptr<KeyboardDevice>>;

class DeviceLayer
{
public:
    virtual ~DeviceLayer() = default;

    // Every keyboard that can be read; when there is none, `reason` says why.
    virtual KeyboardList openKeyboards(std::string &reason) = 0;
    // A keyboard that can send every key the table knows and every event the given keyboards
    // can produce; null with `reason` set on failure.
    virtual std::unique_ptr<VirtualKeyboard> createVirtualKeyboard(
        const KeyboardList &keyboards, std::string &reason)
        = 0;
};
