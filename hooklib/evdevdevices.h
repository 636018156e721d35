#pragma once

#include "hooklib/inputdevices.h"

#include <string>

// The input system through libevdev: keyboards from the event device nodes, the virtual keyboard
// through uinput. The paths are parameters so that the failures can be tried without devices.
class EvdevDevices : public DeviceLayer
{
public:
    explicit EvdevDevices(
        std::string inputDirectory = "/dev/input", std::string uinputPath = "/dev/uinput");

    KeyboardList openKeyboards(std::string &reason) override;
    std::unique_ptr<VirtualKeyboard> createVirtualKeyboard(
        const KeyboardList &keyboards, std::string &reason) override;

private:
    const std::string inputDirectory;
    const std::string uinputPath;
};
