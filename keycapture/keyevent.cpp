#include "keycapture/keyevent.h"

#include "keycapture/keytable.h"
#include "keycapture/virtualkeys.h"

#include <QKeyEvent>

using namespace VirtualKey;

quint32 virtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (keypad ? Numpad0 : Digit0) + quint32(qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return LetterA + quint32(qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return F1 + quint32(qtKey - Qt::Key_F1);

    if (keypad) {
        switch (qtKey) {
        case Qt::Key_Asterisk: return Multiply;
        case Qt::Key_Plus: return Add;
        case Qt::Key_Minus: return Subtract;
        case Qt::Key_Period:
        case Qt::Key_Comma: return Decimal;
        case Qt::Key_Slash: return Divide;
        default: break;
        }
    }

    // Keys that only a shifted key types map to the key that types them on a US keyboard.
    static const struct
    {
        int qtKey;
        quint32 virtualKey;
    } keys[] = {
        {Qt::Key_Escape, Escape},
        {Qt::Key_Tab, Tab},
        {Qt::Key_Backtab, Tab},
        {Qt::Key_Backspace, Back},
        {Qt::Key_Return, Return},
        {Qt::Key_Enter, Return},
        {Qt::Key_Insert, Insert},
        {Qt::Key_Delete, Delete},
        {Qt::Key_Pause, Pause},
        {Qt::Key_Print, Snapshot},
        {Qt::Key_Home, Home},
        {Qt::Key_End, End},
        {Qt::Key_Left, Left},
        {Qt::Key_Up, Up},
        {Qt::Key_Right, Right},
        {Qt::Key_Down, Down},
        {Qt::Key_PageUp, Prior},
        {Qt::Key_PageDown, Next},
        {Qt::Key_Shift, LShift},
        {Qt::Key_Control, LControl},
        {Qt::Key_Alt, LMenu},
        {Qt::Key_AltGr, RMenu},
        {Qt::Key_Meta, LWin},
        {Qt::Key_Super_L, LWin},
        {Qt::Key_Super_R, RWin},
        {Qt::Key_Menu, Apps},
        {Qt::Key_CapsLock, Capital},
        {Qt::Key_NumLock, NumLock},
        {Qt::Key_ScrollLock, Scroll},
        {Qt::Key_Space, Space},
        {Qt::Key_Semicolon, Oem1},
        {Qt::Key_Colon, Oem1},
        {Qt::Key_Equal, OemPlus},
        {Qt::Key_Plus, OemPlus},
        {Qt::Key_Comma, OemComma},
        {Qt::Key_Less, OemComma},
        {Qt::Key_Minus, OemMinus},
        {Qt::Key_Underscore, OemMinus},
        {Qt::Key_Period, OemPeriod},
        {Qt::Key_Greater, OemPeriod},
        {Qt::Key_Slash, Oem2},
        {Qt::Key_Question, Oem2},
        {Qt::Key_QuoteLeft, Oem3},
        {Qt::Key_AsciiTilde, Oem3},
        {Qt::Key_BracketLeft, Oem4},
        {Qt::Key_BraceLeft, Oem4},
        {Qt::Key_Backslash, Oem5},
        {Qt::Key_Bar, Oem5},
        {Qt::Key_BracketRight, Oem6},
        {Qt::Key_BraceRight, Oem6},
        {Qt::Key_Apostrophe, Oem7},
        {Qt::Key_QuoteDbl, Oem7},
        {Qt::Key_Exclam, Digit0 + 1},
        {Qt::Key_At, Digit0 + 2},
        {Qt::Key_NumberSign, Digit0 + 3},
        {Qt::Key_Dollar, Digit0 + 4},
        {Qt::Key_Percent, Digit0 + 5},
        {Qt::Key_AsciiCircum, Digit0 + 6},
        {Qt::Key_Ampersand, Digit0 + 7},
        {Qt::Key_Asterisk, Digit0 + 8},
        {Qt::Key_ParenLeft, Digit0 + 9},
        {Qt::Key_ParenRight, Digit0},
    };
    for (const auto &key : keys) {
        if (key.qtKey == qtKey)
            return key.virtualKey;
    }
    return 0;
}

quint32 virtualKeyOf(const QKeyEvent *event)
{
#ifdef Q_OS_WIN
    if (event->nativeVirtualKey() != 0)
        return event->nativeVirtualKey();
#else
    // xcb and Wayland report the evdev code + 8 as the scan code. nativeVirtualKey() is an X keysym
    // there: it changes with Shift and Num Lock, so it never identifies the physical key.
    const quint32 scanCode = event->nativeScanCode();
    if (scanCode > 8 && scanCode - 8 <= 0xFFFF) {
        if (const quint32 code = KeyTable::virtualKeyFromEvdev(quint16(scanCode - 8)))
            return code;
    }
#endif
    return virtualKeyFromQtKey(event->key(), event->modifiers());
}
