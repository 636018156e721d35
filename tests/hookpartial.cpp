// A library that loads but exports neither setHook nor cancelHook: what the program meets when a
// wrong or broken file stands where the hook library should be.
extern "C" __attribute__((visibility("default"))) int hookPartialLoaded()
{
    return 1;
}
