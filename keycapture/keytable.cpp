#include "keycapture/keytable.h"

#include "keycapture/virtualkeys.h"

#include <linux/input-event-codes.h>

namespace KeyTable {
namespace {

using namespace VirtualKey;

// US layout. Keypad Enter shares the virtual key of the main Enter, as on Windows; it is the only
// virtual key with two physical keys, and the main Enter comes first so that it wins when a
// virtual key is turned back into a physical one.
constexpr Row table[] = {
    {KEY_ESC, Escape},
    {KEY_1, Digit0 + 1},
    {KEY_2, Digit0 + 2},
    {KEY_3, Digit0 + 3},
    {KEY_4, Digit0 + 4},
    {KEY_5, Digit0 + 5},
    {KEY_6, Digit0 + 6},
    {KEY_7, Digit0 + 7},
    {KEY_8, Digit0 + 8},
    {KEY_9, Digit0 + 9},
    {KEY_0, Digit0},
    {KEY_MINUS, OemMinus},
    {KEY_EQUAL, OemPlus},
    {KEY_BACKSPACE, Back},
    {KEY_TAB, Tab},
    {KEY_Q, LetterA + 'Q' - 'A'},
    {KEY_W, LetterA + 'W' - 'A'},
    {KEY_E, LetterA + 'E' - 'A'},
    {KEY_R, LetterA + 'R' - 'A'},
    {KEY_T, LetterA + 'T' - 'A'},
    {KEY_Y, LetterA + 'Y' - 'A'},
    {KEY_U, LetterA + 'U' - 'A'},
    {KEY_I, LetterA + 'I' - 'A'},
    {KEY_O, LetterA + 'O' - 'A'},
    {KEY_P, LetterA + 'P' - 'A'},
    {KEY_LEFTBRACE, Oem4},
    {KEY_RIGHTBRACE, Oem6},
    {KEY_ENTER, Return},
    {KEY_LEFTCTRL, LControl},
    {KEY_A, LetterA + 'A' - 'A'},
    {KEY_S, LetterA + 'S' - 'A'},
    {KEY_D, LetterA + 'D' - 'A'},
    {KEY_F, LetterA + 'F' - 'A'},
    {KEY_G, LetterA + 'G' - 'A'},
    {KEY_H, LetterA + 'H' - 'A'},
    {KEY_J, LetterA + 'J' - 'A'},
    {KEY_K, LetterA + 'K' - 'A'},
    {KEY_L, LetterA + 'L' - 'A'},
    {KEY_SEMICOLON, Oem1},
    {KEY_APOSTROPHE, Oem7},
    {KEY_GRAVE, Oem3},
    {KEY_LEFTSHIFT, LShift},
    {KEY_BACKSLASH, Oem5},
    {KEY_Z, LetterA + 'Z' - 'A'},
    {KEY_X, LetterA + 'X' - 'A'},
    {KEY_C, LetterA + 'C' - 'A'},
    {KEY_V, LetterA + 'V' - 'A'},
    {KEY_B, LetterA + 'B' - 'A'},
    {KEY_N, LetterA + 'N' - 'A'},
    {KEY_M, LetterA + 'M' - 'A'},
    {KEY_COMMA, OemComma},
    {KEY_DOT, OemPeriod},
    {KEY_SLASH, Oem2},
    {KEY_RIGHTSHIFT, RShift},
    {KEY_KPASTERISK, Multiply},
    {KEY_LEFTALT, LMenu},
    {KEY_SPACE, Space},
    {KEY_CAPSLOCK, Capital},
    {KEY_F1, F1},
    {KEY_F2, F1 + 1},
    {KEY_F3, F1 + 2},
    {KEY_F4, F1 + 3},
    {KEY_F5, F1 + 4},
    {KEY_F6, F1 + 5},
    {KEY_F7, F1 + 6},
    {KEY_F8, F1 + 7},
    {KEY_F9, F1 + 8},
    {KEY_F10, F1 + 9},
    {KEY_NUMLOCK, NumLock},
    {KEY_SCROLLLOCK, Scroll},
    {KEY_KP7, Numpad0 + 7},
    {KEY_KP8, Numpad0 + 8},
    {KEY_KP9, Numpad0 + 9},
    {KEY_KPMINUS, Subtract},
    {KEY_KP4, Numpad0 + 4},
    {KEY_KP5, Numpad0 + 5},
    {KEY_KP6, Numpad0 + 6},
    {KEY_KPPLUS, Add},
    {KEY_KP1, Numpad0 + 1},
    {KEY_KP2, Numpad0 + 2},
    {KEY_KP3, Numpad0 + 3},
    {KEY_KP0, Numpad0},
    {KEY_KPDOT, Decimal},
    {KEY_102ND, Oem102},
    {KEY_F11, F1 + 10},
    {KEY_F12, F1 + 11},
    {KEY_KPENTER, Return},
    {KEY_RIGHTCTRL, RControl},
    {KEY_KPSLASH, Divide},
    {KEY_SYSRQ, Snapshot},
    {KEY_RIGHTALT, RMenu},
    {KEY_HOME, Home},
    {KEY_UP, Up},
    {KEY_PAGEUP, Prior},
    {KEY_LEFT, Left},
    {KEY_RIGHT, Right},
    {KEY_END, End},
    {KEY_DOWN, Down},
    {KEY_PAGEDOWN, Next},
    {KEY_INSERT, Insert},
    {KEY_DELETE, Delete},
    {KEY_PAUSE, Pause},
    {KEY_LEFTMETA, LWin},
    {KEY_RIGHTMETA, RWin},
    {KEY_COMPOSE, Apps},
};

} // namespace

const Row *rows(std::size_t *count)
{
    *count = sizeof table / sizeof table[0];
    return table;
}

uint32_t virtualKeyFromEvdev(uint16_t evdevCode)
{
    for (const Row &row : table) {
        if (row.evdev == evdevCode)
            return row.virtualKey;
    }
    return 0;
}

uint16_t evdevFromVirtualKey(uint32_t virtualKey)
{
    if (virtualKey == 0)
        return 0;
    for (const Row &row : table) {
        if (row.virtualKey == virtualKey)
            return row.evdev;
    }
    return 0;
}

} // namespace KeyTable
