// Handing the program's place to another program file: the guard is free for
// it before it starts.

#include "program/linux/QtHandOver.h"
#include "program/linux/SingleInstanceGuard.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace nimbrel::testing {
namespace {

using namespace std::chrono_literals;
using program::SingleInstanceGuard;

// Nobody answers in these tests: a claim that finds the lock taken gives up soon.
const SingleInstanceGuard::Patience impatient{300ms, 300ms};

// A program that tells whether it found the single instance free when it started.
QString writeNextProgram(const QTemporaryDir& folder, const QString& guardFolder)
{
    const QString path = folder.filePath(QStringLiteral("nbl"));
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(QStringLiteral("#!/bin/sh\n"
                                "if flock -n '%1/Nimbrel.lock' true; then\n"
                                "  echo free > \"$PWD/started\"\n"
                                "else\n"
                                "  echo taken > \"$PWD/started\"\n"
                                "fi\n")
                     .arg(guardFolder)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray waitForFile(const QString& path)
{
    const QDeadlineTimer patience(10s);
    while (!QFileInfo::exists(path) && !patience.hasExpired()) QThread::msleep(20);
    QThread::msleep(50);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

TEST(QtHandOver, TheNextProgramStartsInTheProgramsFolderWithTheGuardFree)
{
    QTemporaryDir runtime;
    QTemporaryDir programFolder;
    auto ending = std::make_unique<SingleInstanceGuard>(runtime.path(), impatient);
    ASSERT_EQ(ending->claim(), SingleInstanceGuard::Claim::First);

    program::QtHandOver handOver(*ending);
    ASSERT_TRUE(handOver.startInstead(writeNextProgram(programFolder, runtime.path()).toStdString()));
    EXPECT_EQ(waitForFile(programFolder.filePath(QStringLiteral("started"))), "free");

    // The next copy takes the guard while the ending one is still there, and keeps it when that one goes.
    SingleInstanceGuard next(runtime.path(), impatient);
    EXPECT_EQ(next.claim(), SingleInstanceGuard::Claim::First);
    ending.reset();
    EXPECT_TRUE(QFileInfo::exists(next.socketPath()));
    EXPECT_EQ(SingleInstanceGuard(runtime.path(), impatient).claim(), SingleInstanceGuard::Claim::RunningCopySilent)
        << "the next copy still holds the lock";
}

TEST(QtHandOver, AProgramThatIsNotThereIsNotStarted)
{
    QTemporaryDir runtime;
    SingleInstanceGuard guard(runtime.path(), impatient);
    ASSERT_EQ(guard.claim(), SingleInstanceGuard::Claim::First);
    program::QtHandOver handOver(guard);
    EXPECT_FALSE(handOver.startInstead(runtime.filePath(QStringLiteral("missing")).toStdString()));
}

} // namespace
} // namespace nimbrel::testing
