#pragma once

struct HookRecord;
struct Scheme;

// Flattens a scheme into the record the hook library reads. Only the first pairs that fit are
// carried: a hand-edited file may give a scheme more pairs than the record has room for.
// Entries behind toneKeyCount are left as they were; the library never reads them.
void buildHookRecord(const Scheme &scheme, HookRecord &record);
