#include "program/linux/QtHandOver.h"

#include "program/linux/SingleInstanceGuard.h"

#include <QFileInfo>
#include <QProcess>

namespace nimbrel::program {

bool QtHandOver::startInstead(const std::string& programPath)
{
    const QString program = QString::fromStdString(programPath);
    guard_.letGo();
    // A process of its own session, in the program's folder, with this one's environment.
    return QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

} // namespace nimbrel::program
