#pragma once

// The remapping decisions, apart from every platform: key events in, key events to send out. No
// I/O, no threads, no clock, so that each backend only reads keys, feeds them in and sends what
// comes back, and so that the decisions can be tested with scripts of events.

#include "hook/hookrecord.h"

#include <array>
#include <cstdint>
#include <vector>

// The values match the evdev key event values.
enum class KeyAction : uint8_t
{
    Up = 0,
    Down = 1,
    Repeat = 2
};

struct KeyInput
{
    // Which keyboard sent the key: the same key on two keyboards is two physical keys.
    uint32_t device;
    // The backend's own code of the physical key (the evdev code on Linux).
    uint32_t code;
    // What the key means, as a Windows virtual-key code; 0 when it has none.
    uint32_t virtualKey;
    KeyAction action;
};

struct KeyOutput
{
    // A code in the backend's own space, ready to send.
    uint32_t code;
    KeyAction action;
};

inline bool operator==(const KeyOutput &a, const KeyOutput &b)
{
    return a.code == b.code && a.action == b.action;
}

class RemapCore
{
public:
    // Turns the virtual key a role sends into the backend's code; 0 when the backend cannot send
    // that key, which disables the role.
    using CodeFromVirtualKey = uint32_t (*)(uint32_t virtualKey);

    explicit RemapCore(CodeFromVirtualKey codeFromVirtualKey);

    // Every call below appends the events to send to `out` and never clears it, so a caller can
    // reuse one vector and allocate nothing once it has grown.

    // Releases what the remapping holds, then takes a copy of the record and switches remapping on.
    // Keys that pass through unchanged stay down; their release still passes through.
    void setRecord(const HookRecord &record, std::vector<KeyOutput> &out);

    void process(const KeyInput &input, std::vector<KeyOutput> &out);

    // The keyboard is gone: releases what its keys hold and forgets them.
    void removeDevice(uint32_t device, std::vector<KeyOutput> &out);

    // Releases every key still down, passed-through ones too, and drops the record: afterwards
    // nothing is held and every key passes through.
    void cancel(std::vector<KeyOutput> &out);

    bool isOn() const { return on; }

private:
    enum class Role : uint8_t
    {
        None,
        TurnOn,
        WinShield,
        EnemyBlood,
        FriendBlood,
        Send
    };

    struct Binding
    {
        Role role;
        uint32_t target; // the backend code that Send sends
    };

    // What a physical key's press produced, so that its repeats and release follow it.
    enum class Produced : uint8_t
    {
        Nothing,
        Forwarded,
        Sent
    };

    struct HeldKey
    {
        uint32_t device;
        uint32_t code;
        Produced produced;
        uint32_t output;
    };

    struct OutputCount
    {
        uint32_t code;
        uint32_t holders;
    };

    void bind(uint32_t virtualKey, Role role, uint32_t target);
    void press(uint32_t code, std::vector<KeyOutput> &out);
    void release(uint32_t code, std::vector<KeyOutput> &out);
    void toggleBar(bool &held, uint32_t code, std::vector<KeyOutput> &out);
    void releaseRemapped(std::vector<KeyOutput> &out);
    HeldKey *find(uint32_t device, uint32_t code);

    CodeFromVirtualKey codeFromVirtualKey;
    // Only 1..255 are virtual keys; anything outside never matches.
    std::array<Binding, 256> bindings {};
    bool hasRecord = false;
    bool on = false;
    uint32_t enemyBarCode = 0;
    uint32_t friendBarCode = 0;
    bool enemyBarHeld = false;
    bool friendBarHeld = false;
    // A handful of keys are down at once, so flat vectors searched from the front beat any map.
    std::vector<HeldKey> heldKeys;
    // Several physical keys may hold one output key (two keys mapped to one, or a key mapped to
    // a key that is also pressed itself); it goes up only when the last of them lets go.
    std::vector<OutputCount> outputs;
};
