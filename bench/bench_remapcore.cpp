// Time per key event through the remapping core. A keyboard sends at most about a thousand events
// a second, so anything far below a microsecond leaves the hook invisible.

#include "hooklib/remapcore.h"
#include "keycapture/keytable.h"
#include "keycapture/virtualkeys.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

uint32_t evdevCodeFor(uint32_t virtualKey)
{
    return KeyTable::evdevFromVirtualKey(virtualKey);
}

HookRecord emptyRecord()
{
    HookRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

// Every role set and all 100 pairs, on keys the table knows.
HookRecord fullRecord()
{
    HookRecord record = emptyRecord();
    record.winShield = true;
    record.turnOn = VirtualKey::Scroll;
    record.enemyBlood = VirtualKey::End;
    record.friendBlood = VirtualKey::Home;
    record.keypad7 = 'Q';
    record.keypad8 = 'W';
    record.keypad4 = 'A';
    record.keypad5 = 'S';
    record.keypad1 = 'Z';
    record.keypad2 = 'X';
    std::size_t rowCount = 0;
    const KeyTable::Row *rows = KeyTable::rows(&rowCount);
    for (int i = 0; i < HookRecordPairCapacity; ++i) {
        record.toneKeys[i].from = rows[(i * 7) % rowCount].virtualKey;
        record.toneKeys[i].to = rows[(i * 7 + 3) % rowCount].virtualKey;
    }
    record.toneKeyCount = HookRecordPairCapacity;
    return record;
}

// Press, two repeats and release of every key the table knows but the turn-on key, which would
// switch the remapping off half-way through.
std::vector<KeyInput> typing()
{
    std::vector<KeyInput> events;
    std::size_t rowCount = 0;
    const KeyTable::Row *rows = KeyTable::rows(&rowCount);
    for (std::size_t i = 0; i < rowCount; ++i) {
        if (rows[i].virtualKey == VirtualKey::Scroll)
            continue;
        for (KeyAction action :
            {KeyAction::Down, KeyAction::Repeat, KeyAction::Repeat, KeyAction::Up})
            events.push_back(KeyInput {0, rows[i].evdev, rows[i].virtualKey, action});
    }
    return events;
}

void runEvents(benchmark::State &state, const HookRecord &record)
{
    RemapCore core(evdevCodeFor);
    std::vector<KeyOutput> out;
    out.reserve(64);
    core.setRecord(record, out);
    const std::vector<KeyInput> events = typing();
    std::size_t next = 0;
    for (auto _ : state) {
        out.clear();
        core.process(events[next], out);
        benchmark::DoNotOptimize(out.data());
        if (++next == events.size())
            next = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void fullRecordPerEvent(benchmark::State &state)
{
    runEvents(state, fullRecord());
}

void emptyRecordPerEvent(benchmark::State &state)
{
    runEvents(state, emptyRecord());
}

// Building the lookup from a record: what setHook adds before remapping starts.
void setRecord(benchmark::State &state)
{
    RemapCore core(evdevCodeFor);
    const HookRecord record = fullRecord();
    std::vector<KeyOutput> out;
    for (auto _ : state) {
        out.clear();
        core.setRecord(record, out);
        benchmark::DoNotOptimize(out.data());
    }
}

} // namespace

BENCHMARK(fullRecordPerEvent);
BENCHMARK(emptyRecordPerEvent);
BENCHMARK(setRecord);

BENCHMARK_MAIN();
