// The single-instance guard for real: lock files and local sockets in a
// temporary runtime directory.

#include "program/linux/SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel::testing {
namespace {

using program::SingleInstanceGuard;
using Claim = SingleInstanceGuard::Claim;
using namespace std::chrono_literals;

const SingleInstanceGuard::Patience impatient{300ms, 300ms};

// A later copy, started while this one goes on handling its events.
Claim claimFromAnotherCopy(const QString& directory)
{
    auto later = std::async(std::launch::async, [directory] { return SingleInstanceGuard(directory).claim(); });
    const QDeadlineTimer patience(30s);
    while (later.wait_for(0ms) != std::future_status::ready && !patience.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return later.get();
}

// The id of a process that has ended.
qint64 deadProcessId()
{
    const pid_t child = fork();
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

// A socket file nobody listens on any more, as a crash leaves it.
void leaveDeadSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

class SingleInstanceGuardTest : public ::testing::Test {
protected:
    QTemporaryDir runtime;
    QString directory = runtime.path();
};

TEST_F(SingleInstanceGuardTest, TheFirstCopyTakesTheLockAndListens)
{
    SingleInstanceGuard first(directory);

    EXPECT_EQ(first.claim(), Claim::First);

    EXPECT_TRUE(QFileInfo::exists(first.lockPath()));
    QLocalSocket probe;
    probe.connectToServer(first.socketPath());
    EXPECT_TRUE(probe.waitForConnected(1000));
}

TEST_F(SingleInstanceGuardTest, ALaterCopyFindsTheFirstWhichComesForward)
{
    SingleInstanceGuard first(directory);
    int activations = 0;
    first.onActivationRequest = [&] { ++activations; };
    ASSERT_EQ(first.claim(), Claim::First);

    EXPECT_EQ(claimFromAnotherCopy(directory), Claim::RunningCopyAnswered);
    EXPECT_EQ(activations, 1);

    EXPECT_EQ(claimFromAnotherCopy(directory), Claim::RunningCopyAnswered);
    EXPECT_EQ(activations, 2);
}

TEST_F(SingleInstanceGuardTest, ALockLeftByAProcessThatDiedDoesNotBlock)
{
    // A lock file as a crashed copy leaves it: written by the lock itself, then given the id of a dead process.
    const QString lockPath = SingleInstanceGuard(directory).lockPath();
    QByteArray contents;
    {
        QLockFile crashed(lockPath);
        ASSERT_TRUE(crashed.tryLock(0));
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
        crashed.unlock();
    }
    contents = QByteArray::number(deadProcessId()) + contents.mid(contents.indexOf('\n'));
    {
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    SingleInstanceGuard next(directory, impatient);
    EXPECT_EQ(next.claim(), Claim::First);
}

TEST_F(SingleInstanceGuardTest, ASocketLeftBehindDoesNotBlockAndIsReplaced)
{
    SingleInstanceGuard next(directory, impatient);
    leaveDeadSocket(next.socketPath());
    int activations = 0;
    next.onActivationRequest = [&] { ++activations; };

    EXPECT_EQ(next.claim(), Claim::First);

    EXPECT_EQ(claimFromAnotherCopy(directory), Claim::RunningCopyAnswered);
    EXPECT_EQ(activations, 1);
}

TEST_F(SingleInstanceGuardTest, ACopyThatHoldsTheLockButNeverListensIsGivenUpOn)
{
    SingleInstanceGuard later(directory, impatient);
    QLockFile held(later.lockPath());
    ASSERT_TRUE(held.tryLock(0));

    EXPECT_EQ(later.claim(), Claim::RunningCopySilent);
}

TEST_F(SingleInstanceGuardTest, ACopyThatListensButNeverAnswersIsGivenUpOn)
{
    SingleInstanceGuard later(directory, impatient);
    QLockFile held(later.lockPath());
    ASSERT_TRUE(held.tryLock(0));
    // Listening, but busy: it handles no events while the later copy waits.
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(later.socketPath()));

    EXPECT_EQ(later.claim(), Claim::RunningCopySilent);
}

TEST_F(SingleInstanceGuardTest, OnceTheFirstCopyHasEndedTheNextOneRuns)
{
    {
        SingleInstanceGuard first(directory);
        ASSERT_EQ(first.claim(), Claim::First);
    }
    SingleInstanceGuard next(directory, impatient);
    EXPECT_EQ(next.claim(), Claim::First);
}

TEST_F(SingleInstanceGuardTest, AMissingRuntimeDirectoryIsMadePrivate)
{
    const QString missing = directory + QStringLiteral("/nested/runtime");
    SingleInstanceGuard first(missing);

    EXPECT_EQ(first.claim(), Claim::First);

    const QFileInfo info(missing);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
}

TEST(SingleInstanceGuardDirectory, IsTheRuntimeDirectoryOfTheSession)
{
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());

    const QString chosen = SingleInstanceGuard::runtimeDirectory();

    qputenv("XDG_RUNTIME_DIR", saved);
    EXPECT_EQ(chosen, runtime.path());
}

} // namespace
} // namespace nimbrel::testing
