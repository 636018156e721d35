#pragma once

// The hook on Linux: grabs the keyboards so that no one else sees their keys, runs every key
// through the remapping core on a worker thread and sends the result through one virtual
// keyboard.

#include "hooklib/inputdevices.h"
#include "hooklib/remapcore.h"

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LinuxHook
{
public:
    // A key still held when the hook starts would stay down for everyone else once the keyboard
    // is grabbed, so the hook waits for all keys to be up, but no longer than `keysUpTimeout`.
    explicit LinuxHook(
        DeviceLayer &devices, std::chrono::milliseconds keysUpTimeout = std::chrono::seconds(3));
    ~LinuxHook();

    LinuxHook(const LinuxHook &) = delete;
    LinuxHook &operator=(const LinuxHook &) = delete;

    // Cancels an earlier hook, then starts remapping by a copy of the record. On failure (a null
    // record is one) nothing is grabbed, no hook is in force and error() says why and what to do.
    bool set(const HookRecord *record);
    // Returns once every key the hook held is released and the keyboards are given back.
    void cancel();
    // Empty when the last set() took effect and the hook has not failed since.
    std::string error() const;

private:
    bool start(const HookRecord &record, std::string &error);
    bool grabWhenKeysUp(std::string &error);
    bool drain(KeyboardDevice &keyboard, std::string &error);
    void ungrabAll();
    void run();
    // 0 or -errno of the failed write.
    int forward(uint32_t device, const input_event &event);
    int send(const std::vector<KeyOutput> &events);
    void releaseAndClose();
    void setError(const std::string &message);

    DeviceLayer &devices;
    const std::chrono::milliseconds keysUpTimeout;
    // Between start() and the end of the worker, these belong to the worker thread alone.
    RemapCore core;
    KeyboardList keyboards;
    std::unique_ptr<VirtualKeyboard> virtualKeyboard;
    std::vector<KeyOutput> out;

    std::thread worker;
    // Written to wake the worker and make it stop.
    int stopFd = -1;

    mutable std::mutex errorMutex;
    std::string lastError;
};
