#pragma once

#include <QString>

// The chatter sounds: entry n (1..20) plays clip "WAVEn"; entry 0 is the menu's "<Cancel>".
namespace chattersounds {

constexpr int count = 20;
QString caption(int tag);
// The entry a relayed sound name ("wave7", any case) stands for; 0 when it names none.
int tagof(const QString &name);

} // namespace chattersounds
