#include "run/PurgeOptions.h"

namespace {
PurgeOptions* registered = nullptr;
}

PurgeOptions& Options() {
    if (registered) return *registered;
    static PurgeOptions plain;
    return plain;
}

void SetOptions(PurgeOptions* options) { registered = options; }
