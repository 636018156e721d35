#pragma once

// The one table between the physical keys Linux reports (evdev key codes) and the Windows
// virtual-key codes that the program stores everywhere: in the capture fields, the schemes, the
// configuration file and the hook record. The capture field reads it from evdev to virtual key,
// the hook library in both directions. Plain C++, so the hook library needs no Qt.

#include <cstddef>
#include <cstdint>

namespace KeyTable {

struct Row
{
    uint16_t evdev;
    uint32_t virtualKey;
};

// Every row, in table order.
const Row *rows(std::size_t *count);

// 0 when the table does not know the key.
uint32_t virtualKeyFromEvdev(uint16_t evdevCode);
uint16_t evdevFromVirtualKey(uint32_t virtualKey);

} // namespace KeyTable
