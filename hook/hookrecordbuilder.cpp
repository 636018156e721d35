#include "hook/hookrecordbuilder.h"

#include "hook/hookrecord.h"
#include "schemes/scheme.h"

#include <algorithm>

void buildHookRecord(const Scheme &scheme, HookRecord &record)
{
    record.winShield = scheme.winShield;
    record.turnOn = scheme.turnOn;
    record.enemyBlood = scheme.enemyBlood;
    record.friendBlood = scheme.friendBlood;
    record.keypad7 = scheme.keypad7;
    record.keypad8 = scheme.keypad8;
    record.keypad4 = scheme.keypad4;
    record.keypad5 = scheme.keypad5;
    record.keypad1 = scheme.keypad1;
    record.keypad2 = scheme.keypad2;

    const int count = int(std::min<qsizetype>(scheme.toneKeys.size(), HookRecordPairCapacity));
    record.toneKeyCount = count;
    for (int i = 0; i < count; ++i) {
        record.toneKeys[i].from = scheme.toneKeys.at(i).from;
        record.toneKeys[i].to = scheme.toneKeys.at(i).to;
    }
}
