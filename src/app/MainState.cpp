#include "app/MainState.h"

namespace {
MainState* registered = nullptr;
}

MainState& Main() {
    if (registered) return *registered;
    static MainState plain;
    return plain;
}

void SetMain(MainState* state) { registered = state; }

QString PluralSuffix(qint64 n) { return n == 1 ? QString() : QStringLiteral("s"); }
