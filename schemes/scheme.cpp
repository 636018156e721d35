#include "schemes/scheme.h"

#include "keycapture/virtualkeys.h"

void setSchemeDefaults(Scheme &scheme)
{
    scheme.enemyBlood = VirtualKey::End;
    scheme.enemyBloodText = QStringLiteral("End");
    scheme.friendBlood = VirtualKey::Home;
    scheme.friendBloodText = QStringLiteral("Home");
    for (auto field : {&Scheme::keypad7, &Scheme::keypad8, &Scheme::keypad4, &Scheme::keypad5,
             &Scheme::keypad1, &Scheme::keypad2})
        scheme.*field = 0;
    for (auto field : {&Scheme::keypad7Text, &Scheme::keypad8Text, &Scheme::keypad4Text,
             &Scheme::keypad5Text, &Scheme::keypad1Text, &Scheme::keypad2Text})
        (scheme.*field).clear();
    scheme.turnOn = VirtualKey::Scroll;
    scheme.turnOnText = QStringLiteral("ScrollLock");
    scheme.winShield = true;
    scheme.toneKeys.clear();
}
