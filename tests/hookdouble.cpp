// Stands in for the hook library in tests: it remembers every call and the record it was given,
// and can be told to report a failure. Built as libhook.so beside the tests, where the main
// window looks for its library. When TOLVAN_HOOKDOUBLE_LOG names a file, each call is also
// appended there, so tests of the real program can see the calls from outside.

#include "hook/hookrecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define HOOKDOUBLE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string calls;
std::string error;
const HookRecord *lastAddress = nullptr;
HookRecord lastCopy;

void note(const char *call)
{
    if (!calls.empty())
        calls += ',';
    calls += call;
    if (const char *path = std::getenv("TOLVAN_HOOKDOUBLE_LOG")) {
        if (FILE *file = std::fopen(path, "a")) {
            std::fprintf(file, "%s\n", call);
            std::fclose(file);
        }
    }
}
} // namespace

HOOKDOUBLE_EXPORT void setHook(const HookRecord *record)
{
    note("set");
    lastAddress = record;
    std::memcpy(&lastCopy, record, sizeof lastCopy);
}

HOOKDOUBLE_EXPORT void cancelHook()
{
    note("cancel");
}

HOOKDOUBLE_EXPORT const char *hookLastError()
{
    return error.c_str();
}

// What the tests ask the double.
HOOKDOUBLE_EXPORT const char *hookDoubleCalls()
{
    return calls.c_str();
}

HOOKDOUBLE_EXPORT const HookRecord *hookDoubleLastAddress()
{
    return lastAddress;
}

HOOKDOUBLE_EXPORT const HookRecord *hookDoubleLastRecord()
{
    return &lastCopy;
}

HOOKDOUBLE_EXPORT void hookDoubleReset(const char *failure)
{
    calls.clear();
    error = failure ? failure : "";
    lastAddress = nullptr;
}
