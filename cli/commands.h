#pragma once

#include <QStringList>

// The commands of quintaral-cli. Each takes the program's arguments without the command's name
// and returns the exit status.
namespace cli {

int runDesign(const QStringList& arguments);
int runBatch(const QStringList& arguments);
int runCheck(const QStringList& arguments);
int runOpen(const QStringList& arguments);
int runBeam(const QStringList& arguments);

}  // namespace cli
