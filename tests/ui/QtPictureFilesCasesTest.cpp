// The recorded bitmap cases of bmp-cases/ (see its README): bitmaps of every
// kind a user may drop in, which must show the source picture, and broken files,
// which must be refused without a crash, a hang or a big allocation.

#include "ui/qt/QtPictureFiles.h"

#include "core/base/RuntimeError.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define NIMBREL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NIMBREL_UNDER_ASAN 1
#endif
#endif

namespace nimbrel::testing {
namespace {

namespace fs = std::filesystem;
using view::QtPictureFiles;

const fs::path casesDir = fs::path(NIMBREL_SHARED_DATA) / "bmp-cases";

struct Probe {
    int x = 0;
    int y = 0;
    int r = 0;
    int g = 0;
    int b = 0;
};

// One line of expectations.txt: `kind file [W H TOL probes] | description`.
struct Case {
    std::string kind;
    std::string file;
    bool sized = false;
    int width = 0;
    int height = 0;
    int tolerance = 0;
    std::vector<Probe> probes;
    std::string description;
};

std::vector<Case> readCases()
{
    std::vector<Case> cases;
    std::ifstream in(casesDir / "expectations.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        Case c;
        const auto bar = line.find('|');
        if (bar != std::string::npos) c.description = line.substr(bar + 1);
        std::istringstream fields(line.substr(0, bar));
        fields >> c.kind >> c.file;
        if (fields >> c.width >> c.height >> c.tolerance) c.sized = true;
        std::string probe;
        while (fields >> probe) {
            Probe p;
            char comma1 = 0, equals = 0, comma2 = 0, comma3 = 0;
            std::istringstream text(probe);
            text >> p.x >> comma1 >> p.y >> equals >> p.r >> comma2 >> p.g >> comma3 >> p.b;
            if (!text || comma1 != ',' || equals != '=' || comma2 != ',' || comma3 != ',')
                ADD_FAILURE() << "unreadable probe '" << probe << "' of " << c.file;
            c.probes.push_back(p);
        }
        cases.push_back(c);
    }
    return cases;
}

std::vector<Case> casesOfKind(const std::string& kind)
{
    std::vector<Case> chosen;
    for (const Case& c : readCases())
        if (c.kind == kind) chosen.push_back(c);
    return chosen;
}

// The picture has the size the case gives, and each probe pixel its colour within the tolerance.
void expectShowsTheCase(const Picture& picture, const Case& c)
{
    if (!c.sized) return;
    ASSERT_EQ(picture.width, c.width);
    ASSERT_EQ(picture.height, c.height);
    ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));
    for (const Probe& p : c.probes) {
        ASSERT_TRUE(p.x >= 0 && p.x < c.width && p.y >= 0 && p.y < c.height) << "probe outside the picture";
        const Colour seen = picture.at(p.x, p.y);
        EXPECT_NEAR(red(seen), p.r, c.tolerance) << "red at " << p.x << "," << p.y;
        EXPECT_NEAR(green(seen), p.g, c.tolerance) << "green at " << p.x << "," << p.y;
        EXPECT_NEAR(blue(seen), p.b, c.tolerance) << "blue at " << p.x << "," << p.y;
    }
}

// What loading a file gave in a child process: a run-time error, a picture,
// or the way the child ended when it did not end normally.
struct GuardedLoad {
    std::string abnormalEnd;
    int error = 0;
    std::string otherException;
    Picture picture;
};

// Loads the file in a child process held to 20 seconds and, outside the
// AddressSanitizer build (whose shadow memory needs terabytes of address space),
// to 256 MB of address space beyond what it starts with.
GuardedLoad loadInChild(const fs::path& file)
{
    GuardedLoad outcome;
    int channel[2];
    if (::pipe(channel) != 0) {
        outcome.abnormalEnd = "no pipe";
        return outcome;
    }
    const pid_t child = ::fork();
    if (child == -1) {
        outcome.abnormalEnd = "no fork";
        return outcome;
    }
    if (child == 0) {
        ::close(channel[0]);
        ::alarm(20);
#ifndef NIMBREL_UNDER_ASAN
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t inUse = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
        const rlim_t limit = inUse + (rlim_t{256} << 20);
        const rlimit addressSpace{limit, limit};
        ::setrlimit(RLIMIT_AS, &addressSpace);
#endif
        std::string report;
        try {
            QtPictureFiles files;
            const Picture picture = files.load(file.string());
            report = "picture " + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n";
            report.append(reinterpret_cast<const char*>(picture.pixels.data()), picture.pixels.size() * sizeof(Colour));
        } catch (const RuntimeError& e) {
            report = "error " + std::to_string(e.number()) + "\n";
        } catch (const std::exception& e) {
            report = std::string("exception ") + e.what() + "\n";
        }
        for (std::size_t done = 0; done < report.size();) {
            const ssize_t n = ::write(channel[1], report.data() + done, report.size() - done);
            if (n <= 0 && errno != EINTR) ::_exit(2);
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }

    ::close(channel[1]);
    std::string report;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
        if (n > 0) report.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR) break;
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        outcome.abnormalEnd = WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                                                  : "exit status " + std::to_string(WEXITSTATUS(status));
        return outcome;
    }

    const auto newline = report.find('\n');
    std::istringstream first(report.substr(0, newline));
    std::string what;
    first >> what;
    if (what == "error") {
        first >> outcome.error;
    } else if (what == "picture") {
        int width = 0, height = 0;
        first >> width >> height;
        outcome.picture = Picture(width, height);
        const std::string pixels = report.substr(newline + 1);
        if (pixels.size() == outcome.picture.pixels.size() * sizeof(Colour))
            std::memcpy(outcome.picture.pixels.data(), pixels.data(), pixels.size());
        else
            outcome.abnormalEnd = "a picture cut short";
    } else {
        outcome.otherException = report;
    }
    return outcome;
}

class QtPictureFilesCases : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(casesDir / "expectations.txt"))
            GTEST_SKIP() << "no recorded bitmap cases at " << casesDir << " (NIMBREL_SHARED_DATA)";
    }
};

TEST_F(QtPictureFilesCases, EveryValidBitmapShowsTheSourcePicture)
{
    const std::vector<Case> cases = casesOfKind("valid");
    ASSERT_FALSE(cases.empty());
    QtPictureFiles files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ":" + c.description);
        try {
            expectShowsTheCase(files.load((casesDir / c.file).string()), c);
        } catch (const RuntimeError& e) {
            ADD_FAILURE() << "refused with " << e.number() << " " << e.description();
        }
    }
}

TEST_F(QtPictureFilesCases, EveryBrokenFileIsRefusedAsAnInvalidPicture)
{
    const std::vector<Case> cases = casesOfKind("reject");
    ASSERT_FALSE(cases.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ":" + c.description);
        const GuardedLoad outcome = loadInChild(casesDir / c.file);
        ASSERT_EQ(outcome.abnormalEnd, "");
        EXPECT_EQ(outcome.otherException, "");
        EXPECT_EQ(outcome.error, 481) << "loaded as " << outcome.picture.width << " x " << outcome.picture.height;
    }
}

TEST_F(QtPictureFilesCases, EveryDoubtfulFileIsRefusedOrShowsWhatItEncodes)
{
    const std::vector<Case> cases = casesOfKind("either");
    ASSERT_FALSE(cases.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ":" + c.description);
        const GuardedLoad outcome = loadInChild(casesDir / c.file);
        ASSERT_EQ(outcome.abnormalEnd, "");
        EXPECT_EQ(outcome.otherException, "");
        if (outcome.error != 0)
            EXPECT_EQ(outcome.error, 481);
        else
            expectShowsTheCase(outcome.picture, c);
    }
}

} // namespace
} // namespace nimbrel::testing
