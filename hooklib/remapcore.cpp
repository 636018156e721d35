#include "hooklib/remapcore.h"

#include "keycapture/virtualkeys.h"

#include <algorithm>
#include <cstring>

RemapCore::RemapCore(CodeFromVirtualKey codeFromVirtualKey) : codeFromVirtualKey(codeFromVirtualKey)
{
    heldKeys.reserve(32);
    outputs.reserve(32);
}

void RemapCore::setRecord(const HookRecord &record, std::vector<KeyOutput> &out)
{
    releaseRemapped(out);
    bindings.fill(Binding {});

    // The flag comes from another program as a raw byte; reading a byte other than 0 or 1 as a
    // bool is undefined, so look at the byte itself.
    unsigned char winShield = 0;
    std::memcpy(&winShield, &record.winShield, 1);

    // Binding stops at the first role that claims a key, so the order of these calls is the
    // order of precedence.
    bind(record.turnOn, Role::TurnOn, 0);
    if (winShield != 0) {
        bind(VirtualKey::LWin, Role::WinShield, 0);
        bind(VirtualKey::RWin, Role::WinShield, 0);
    }
    enemyBarCode = codeFromVirtualKey(VirtualKey::Oem4);
    friendBarCode = codeFromVirtualKey(VirtualKey::Oem6);
    if (enemyBarCode != 0)
        bind(record.enemyBlood, Role::EnemyBlood, 0);
    if (friendBarCode != 0)
        bind(record.friendBlood, Role::FriendBlood, 0);

    const struct
    {
        uint32_t from;
        uint32_t to;
    } keypad[] = {
        {record.keypad7, VirtualKey::Numpad7},
        {record.keypad8, VirtualKey::Numpad8},
        {record.keypad4, VirtualKey::Numpad4},
        {record.keypad5, VirtualKey::Numpad5},
        {record.keypad1, VirtualKey::Numpad1},
        {record.keypad2, VirtualKey::Numpad2},
    };
    for (const auto &key : keypad)
        bind(key.from, Role::Send, codeFromVirtualKey(key.to));

    const int32_t count = std::clamp<int32_t>(record.toneKeyCount, 0, HookRecordPairCapacity);
    for (int32_t i = 0; i < count; ++i)
        bind(record.toneKeys[i].from, Role::Send, codeFromVirtualKey(record.toneKeys[i].to));

    hasRecord = true;
    on = true;
}

void RemapCore::bind(uint32_t virtualKey, Role role, uint32_t target)
{
    if (virtualKey == 0 || virtualKey >= bindings.size())
        return;
    // A key that cannot be sent would turn its source key into a dead key; leave it alone.
    if (role == Role::Send && target == 0)
        return;
    Binding &binding = bindings[virtualKey];
    if (binding.role == Role::None)
        binding = Binding {role, target};
}

void RemapCore::process(const KeyInput &input, std::vector<KeyOutput> &out)
{
    HeldKey *held = find(input.device, input.code);

    if (input.action == KeyAction::Up) {
        // Pressed before we saw it: its press went out unchanged, so must its release.
        if (!held) {
            out.push_back({input.code, KeyAction::Up});
            return;
        }
        if (held->produced == Produced::Forwarded)
            release(held->code, out);
        else if (held->produced == Produced::Sent)
            release(held->output, out);
        heldKeys.erase(heldKeys.begin() + (held - heldKeys.data()));
        return;
    }

    // A second press without a release in between is a repeat of the first.
    if (input.action == KeyAction::Repeat || held) {
        if (!held)
            out.push_back({input.code, KeyAction::Repeat});
        else if (held->produced == Produced::Forwarded)
            out.push_back({held->code, KeyAction::Repeat});
        else if (held->produced == Produced::Sent)
            out.push_back({held->output, KeyAction::Repeat});
        return;
    }

    Binding binding {};
    if (hasRecord && input.virtualKey < bindings.size())
        binding = bindings[input.virtualKey];

    if (binding.role == Role::TurnOn) {
        if (on)
            releaseRemapped(out);
        on = !on;
    }

    HeldKey key {input.device, input.code, Produced::Nothing, 0};
    if (!on || binding.role == Role::None || binding.role == Role::TurnOn) {
        key.produced = Produced::Forwarded;
        press(input.code, out);
    } else if (binding.role == Role::EnemyBlood) {
        toggleBar(enemyBarHeld, enemyBarCode, out);
    } else if (binding.role == Role::FriendBlood) {
        toggleBar(friendBarHeld, friendBarCode, out);
    } else if (binding.role == Role::Send) {
        key.produced = Produced::Sent;
        key.output = binding.target;
        press(binding.target, out);
    }
    heldKeys.push_back(key);
}

void RemapCore::removeDevice(uint32_t device, std::vector<KeyOutput> &out)
{
    auto gone = std::stable_partition(heldKeys.begin(), heldKeys.end(),
        [device](const HeldKey &key) { return key.device != device; });
    for (auto key = gone; key != heldKeys.end(); ++key) {
        if (key->produced == Produced::Forwarded)
            release(key->code, out);
        else if (key->produced == Produced::Sent)
            release(key->output, out);
    }
    heldKeys.erase(gone, heldKeys.end());
}

void RemapCore::cancel(std::vector<KeyOutput> &out)
{
    releaseRemapped(out);
    for (const HeldKey &key : heldKeys) {
        if (key.produced == Produced::Forwarded)
            release(key.code, out);
    }
    heldKeys.clear();
    outputs.clear();
    bindings.fill(Binding {});
    hasRecord = false;
    on = false;
}

void RemapCore::press(uint32_t code, std::vector<KeyOutput> &out)
{
    for (OutputCount &output : outputs) {
        if (output.code == code) {
            ++output.holders;
            return;
        }
    }
    outputs.push_back({code, 1});
    out.push_back({code, KeyAction::Down});
}

void RemapCore::release(uint32_t code, std::vector<KeyOutput> &out)
{
    for (auto output = outputs.begin(); output != outputs.end(); ++output) {
        if (output->code == code) {
            if (--output->holders == 0) {
                outputs.erase(output);
                out.push_back({code, KeyAction::Up});
            }
            return;
        }
    }
}

void RemapCore::toggleBar(bool &held, uint32_t code, std::vector<KeyOutput> &out)
{
    if (held)
        release(code, out);
    else
        press(code, out);
    held = !held;
}

void RemapCore::releaseRemapped(std::vector<KeyOutput> &out)
{
    // The keys stay in the list with nothing to undo, so that their repeats and releases are
    // swallowed instead of passing through a press the system never saw.
    for (HeldKey &key : heldKeys) {
        if (key.produced == Produced::Sent) {
            release(key.output, out);
            key.produced = Produced::Nothing;
        }
    }
    if (enemyBarHeld)
        toggleBar(enemyBarHeld, enemyBarCode, out);
    if (friendBarHeld)
        toggleBar(friendBarHeld, friendBarCode, out);
}

RemapCore::HeldKey *RemapCore::find(uint32_t device, uint32_t code)
{
    for (HeldKey &key : heldKeys) {
        if (key.device == device && key.code == code)
            return &key;
    }
    return nullptr;
}
