#pragma once
#include <QString>
#include <QStringList>

namespace pelk {

// The section of the README that holds the command table: from its "## The commands" heading
// to the next heading of the same level. Empty when the text has no such section.
QString commandsSection(const QString& readme);

// Where the README is looked for, first found wins: PELK40_README when set, the installed
// documentation beside the program (../share/doc/pelk40/README.md), then the source tree the
// program was built from.
QStringList readmeCandidates();

}  // namespace pelk
