#include "schemes/scheme.h"

#include "keycapture/virtualkeys.h"

const std::array<KeySetting, 9> keySettings = {{
    {QLatin1String("turnOn"), QLatin1String("turnOnText"), &Scheme::turnOnText, &Scheme::turnOn},
    {QLatin1String("enemyBlood"), QLatin1String("enemyBloodText"), &Scheme::enemyBloodText,
        &Scheme::enemyBlood},
    {QLatin1String("friendBlood"), QLatin1String("friendBloodText"), &Scheme::friendBloodText,
        &Scheme::friendBlood},
    {QLatin1String("keypad7"), QLatin1String("keypad7Text"), &Scheme::keypad7Text,
        &Scheme::keypad7},
    {QLatin1String("keypad8"), QLatin1String("keypad8Text"), &Scheme::keypad8Text,
        &Scheme::keypad8},
    {QLatin1String("keypad4"), QLatin1String("keypad4Text"), &Scheme::keypad4Text,
        &Scheme::keypad4},
    {QLatin1String("keypad5"), QLatin1String("keypad5Text"), &Scheme::keypad5Text,
        &Scheme::keypad5},
    {QLatin1String("keypad1"), QLatin1String("keypad1Text"), &Scheme::keypad1Text,
        &Scheme::keypad1},
    {QLatin1String("keypad2"), QLatin1String("keypad2Text"), &Scheme::keypad2Text,
        &Scheme::keypad2},
}};

void setSchemeDefaults(Scheme &scheme)
{
    scheme.enemyBlood = VirtualKey::End;
    scheme.enemyBloodText = QStringLiteral("End");
    scheme.friendBlood = VirtualKey::Home;
    scheme.friendBloodText = QStringLiteral("Home");
    // The six keypad settings follow the three above.
    for (auto setting = keySettings.begin() + 3; setting != keySettings.end(); ++setting) {
        scheme.*setting->code = 0;
        (scheme.*setting->text).clear();
    }
    scheme.turnOn = VirtualKey::Scroll;
    scheme.turnOnText = QStringLiteral("ScrollLock");
    scheme.winShield = true;
    scheme.toneKeys.clear();
}
