#pragma once

#include <QtCore/qnamespace.h>

class QKeyEvent;

// The Windows virtual-key code of the physical key behind a key event: the code the program
// stores and the hook library matches against. 0 when the key cannot be identified.
quint32 virtualKeyOf(const QKeyEvent *event);

// For events that carry no native codes (the offscreen platform, synthesized events): the code
// a US keyboard gives for this Qt key, keypad keys told apart by Qt::KeypadModifier.
quint32 virtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
