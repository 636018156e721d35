// The three functions the program resolves by name. Everything else in the library is hidden.

#include "hooklib/evdevdevices.h"
#include "hooklib/linuxhook.h"

#include <cstring>
#include <string>

#define HOOK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Never destroyed: the program sets a hook and exits without cancelling it, and a destructor at
// exit would then race the worker thread. The kernel ungrabs the keyboards and removes the
// virtual keyboard, releasing its keys, when the process ends.
LinuxHook &hook()
{
    static EvdevDevices *devices = new EvdevDevices;
    static LinuxHook *hook = new LinuxHook(*devices);
    return *hook;
}

// What hookLastError() returned last; it stays valid until the next call.
std::string returnedError;

} // namespace

HOOK_EXPORT void setHook(const HookRecord *record)
{
    if (!record) {
        hook().set(nullptr);
        return;
    }
    // The caller may rewrite its record at any time; only this copy is read.
    HookRecord copy;
    std::memcpy(&copy, record, sizeof copy);
    hook().set(&copy);
}

HOOK_EXPORT void cancelHook()
{
    hook().cancel();
}

HOOK_EXPORT const char *hookLastError()
{
    returnedError = hook().error();
    return returnedError.c_str();
}
