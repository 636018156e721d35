#pragma once

// The record the program hands to the hook library. Both sides compile this one header, so its
// layout is the binary contract between them: keep it plain (no constructors, no pointers) and
// let the asserts below catch any change of size or offset.

#include <cstddef>
#include <cstdint>

enum
{
    HookRecordPairCapacity = 100
};

struct HookKeyPair
{
    uint32_t from;
    uint32_t to;
};

struct HookRecord
{
    bool winShield;
    uint32_t turnOn;
    uint32_t enemyBlood;
    uint32_t friendBlood;
    // Same order as the scheme and the file, not numeric order.
    uint32_t keypad7;
    uint32_t keypad8;
    uint32_t keypad4;
    uint32_t keypad5;
    uint32_t keypad1;
    uint32_t keypad2;
    HookKeyPair toneKeys[HookRecordPairCapacity];
    int32_t toneKeyCount;
};

static_assert(sizeof(bool) == 1, "winShield is an 8-bit boolean in the record");
static_assert(sizeof(HookKeyPair) == 8, "a pair is two 32-bit codes");
static_assert(offsetof(HookKeyPair, to) == 4, "to follows from");
static_assert(sizeof(HookRecord) == 844, "the hook library reads exactly 844 bytes");
static_assert(offsetof(HookRecord, winShield) == 0, "winShield opens the record");
static_assert(offsetof(HookRecord, turnOn) == 4, "key codes start after 3 bytes of padding");
static_assert(offsetof(HookRecord, keypad2) == 36, "the six keypad fields end at 36");
static_assert(offsetof(HookRecord, toneKeys) == 40, "pairs follow the nine key codes");
static_assert(offsetof(HookRecord, toneKeyCount) == 840, "the count follows the 100 pairs");

// The exports of the hook library. The program resolves them by name at run time.
extern "C" {
typedef void (*SetHookFunction)(const HookRecord *record);
typedef void (*CancelHookFunction)();
// Empty when the last setHook took effect, else what went wrong (UTF-8).
typedef const char *(*HookLastErrorFunction)();
}
