#pragma once

#include "measurement/verdict.h"

#include <QStringList>

// Named report limits kept for reuse, shared by the report window and
// vantrel-cli report --limit-set: in the program's settings
// (~/.config/Vantrel/Vantrel.conf), each set as the limits' KEY=VALUE text.
namespace LimitSets {

QStringList names(); // sorted
// False when there is no set of that name (or its text no longer reads).
bool load(const QString &name, Verdict::Limits *limits);
// Replaces a set of the same name.
void save(const QString &name, const Verdict::Limits &limits);
void remove(const QString &name);

} // namespace LimitSets
