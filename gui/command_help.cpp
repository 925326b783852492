#include "gui/command_help.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

namespace pelk {

QString commandsSection(const QString& readme) {
  static const QRegularExpression start(QStringLiteral("^## The commands[ \\t]*$"),
                                        QRegularExpression::MultilineOption);
  static const QRegularExpression next(QStringLiteral("^## "), QRegularExpression::MultilineOption);
  const QRegularExpressionMatch begin = start.match(readme);
  if (!begin.hasMatch()) return {};
  const QRegularExpressionMatch end = next.match(readme, begin.capturedEnd());
  const qsizetype stop = end.hasMatch() ? end.capturedStart() : readme.size();
  return readme.mid(begin.capturedStart(), stop - begin.capturedStart()).trimmed();
}

QStringList readmeCandidates() {
  QStringList paths;
  const QString fromEnvironment = qEnvironmentVariable("PELK40_README");
  if (!fromEnvironment.isEmpty()) paths << fromEnvironment;
  paths << QDir(QCoreApplication::applicationDirPath())
               .filePath(QStringLiteral("../share/doc/pelk40/README.md"));
  paths << QStringLiteral(PELK_SOURCE_DIR "/README.md");
  return paths;
}

}  // namespace pelk
