#pragma once

#include <QLatin1String>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>

// One advanced pair: pressing `from` gives `to`. The text is the list line built when the pair
// was entered, stored as it stands and never rebuilt from the codes.
struct ToneKey
{
    quint32 from = 0;
    quint32 to = 0;
    QString toneKeyText;
};

// One named set of key settings. Every key is held twice, as the display name the capture field
// showed and as the virtual-key code; the two are written together and never derived from each
// other. Codes are 0 when no key is set.
struct Scheme
{
    QString name;
    bool winShield = false;
    QString turnOnText;
    quint32 turnOn = 0;
    QString enemyBloodText;
    quint32 enemyBlood = 0;
    QString friendBloodText;
    quint32 friendBlood = 0;
    QString keypad7Text;
    quint32 keypad7 = 0;
    QString keypad8Text;
    quint32 keypad8 = 0;
    QString keypad4Text;
    quint32 keypad4 = 0;
    QString keypad5Text;
    quint32 keypad5 = 0;
    QString keypad1Text;
    quint32 keypad1 = 0;
    QString keypad2Text;
    quint32 keypad2 = 0;
    QList<ToneKey> toneKeys;
};

// One of the nine key settings of a scheme. The settings file names the code's element after the
// setting and the text's element with "Text" added.
struct KeySetting
{
    QLatin1String name;
    QLatin1String textName;
    QString Scheme::*text;
    quint32 Scheme::*code;
};

// The nine in their fixed order (turn-on, enemy and friendly health bars, keypad 7, 8, 4, 5, 1,
// 2), the order of the form and of the file.
extern const std::array<KeySetting, 9> keySettings;

// Resets every setting but the name, which each caller sets or keeps itself.
void setSchemeDefaults(Scheme &scheme);
