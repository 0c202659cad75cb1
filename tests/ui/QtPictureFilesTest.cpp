// Bitmap files as the graphs and the meter keep their backgrounds: saved when
// missing, loaded back, and replaced by the user with bitmaps of their own.

#include "ui/qt/QtPictureFiles.h"

#include "core/controls/DrawingSurface.h"
#include "core/base/RuntimeError.h"
#include "core/base/Trap.h"
#include "monitor/BackgroundPicture.h"
#include "support/Fakes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::testing {
namespace {

namespace fs = std::filesystem;
using view::QtPictureFiles;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t le32At(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

std::uint16_t le16At(const std::string& bytes, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at + i])); };
    return static_cast<std::uint16_t>(byte(0) | byte(1) << 8);
}

// The run-time error number a call raises, or nothing when it returns.
std::optional<int> errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return std::nullopt;
}

// A bitmap file with the 40-byte Windows header, written byte by byte.
struct BitmapFile {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::vector<Colour> palette;
    std::string pixels;
    std::optional<std::uint32_t> pixelOffset; // where the pixels are, unless given otherwise

    std::string bytes() const
    {
        std::string out;
        const auto put16 = [&](std::uint32_t v) {
            out += static_cast<char>(v & 0xFF);
            out += static_cast<char>((v >> 8) & 0xFF);
        };
        const auto put32 = [&](std::uint32_t v) {
            put16(v & 0xFFFF);
            put16(v >> 16);
        };
        const std::uint32_t offset = 14 + infoSize + 4 * static_cast<std::uint32_t>(palette.size());
        out += "BM";
        put32(offset + static_cast<std::uint32_t>(pixels.size()));
        put32(0);
        put32(pixelOffset.value_or(offset));
        put32(infoSize);
        put32(static_cast<std::uint32_t>(width));
        put32(static_cast<std::uint32_t>(height));
        put16(1);
        put16(bitCount);
        put32(compression);
        put32(static_cast<std::uint32_t>(pixels.size()));
        put32(2835); // 72 dots an inch, across
        put32(2835); // and down
        put32(static_cast<std::uint32_t>(palette.size()));
        put32(0);
        out.resize(14 + infoSize, '\0');
        for (const Colour c : palette) {
            out += static_cast<char>(blue(c));
            out += static_cast<char>(green(c));
            out += static_cast<char>(red(c));
            out += '\0';
        }
        return out + pixels;
    }
};

// A 3 x 3 24-bit bitmap: rows of 9 bytes padded to 12, the bottom row first.
BitmapFile threeByThree()
{
    BitmapFile file;
    file.width = 3;
    file.height = 3;
    for (int row = 0; row < 3; ++row) file.pixels += std::string("\x10\x20\x30\x40\x50\x60\x70\x80\x90\0\0\0", 12);
    return file;
}

// The background grid of the history graphs: green lines on black, with a few
// pixels whose three channels differ, so that swapped channels would show.
Picture graphGrid()
{
    Picture grid(365, 69, colours::black);
    for (int x = 20; x <= 340; x += 20)
        for (int y = 0; y < 69; ++y) grid.at(x, y) = rgb(0, 128, 0);
    for (int y = 10; y <= 60; y += 10)
        for (int x = 0; x < 365; ++x) grid.at(x, y) = rgb(0, 128, 0);
    grid.at(0, 0) = rgb(1, 2, 3);
    grid.at(364, 0) = rgb(250, 20, 90);
    grid.at(0, 68) = rgb(17, 200, 33);
    grid.at(364, 68) = colours::orange;
    return grid;
}

class QtPictureFilesTest : public ::testing::Test {
protected:
    fs::path at(const std::string& name) const { return fs::path(dir.path().toStdString()) / name; }

    QTemporaryDir dir;
    QtPictureFiles files;
};

TEST_F(QtPictureFilesTest, ASavedGridLoadsBackPixelForPixel)
{
    ASSERT_TRUE(dir.isValid());
    const Picture grid = graphGrid();
    files.save(grid, at("graphback.bmp"));
    EXPECT_EQ(files.load(at("graphback.bmp")), grid);
}

TEST_F(QtPictureFilesTest, PicturesOfOddWidthsLoadBackPixelForPixel)
{
    ASSERT_TRUE(dir.isValid());
    for (const auto& [width, height] : {std::pair{129, 113}, std::pair{1, 1}, std::pair{2, 3}, std::pair{7, 2}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        Picture picture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) picture.at(x, y) = rgb(x * 7, y * 11, (x + y) * 3 + 1);
        files.save(picture, at("cpuback.bmp"));
        EXPECT_EQ(files.load(at("cpuback.bmp")), picture);
    }
}

TEST_F(QtPictureFilesTest, ASavedPictureIsA24BitBitmapStoredFromTheBottomRow)
{
    ASSERT_TRUE(dir.isValid());
    const Picture grid = graphGrid();
    files.save(grid, at("graphback.bmp"));
    const std::string bytes = readFile(at("graphback.bmp"));

    const std::size_t rowBytes = 1096; // 365 pixels of 3 bytes, padded to a multiple of 4
    ASSERT_EQ(bytes.size(), 54 + rowBytes * 69);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(le32At(bytes, 2), bytes.size());  // bfSize
    EXPECT_EQ(le32At(bytes, 10), 54u);          // bfOffBits: the pixels follow the headers
    EXPECT_EQ(le32At(bytes, 14), 40u);          // BITMAPINFOHEADER
    EXPECT_EQ(le32At(bytes, 18), 365u);         // biWidth
    EXPECT_EQ(le32At(bytes, 22), 69u);          // biHeight, positive: bottom-up
    EXPECT_EQ(le16At(bytes, 26), 1u);           // biPlanes
    EXPECT_EQ(le16At(bytes, 28), 24u);          // biBitCount
    EXPECT_EQ(le32At(bytes, 30), 0u);           // BI_RGB

    // The first stored row is the bottom one, blue-green-red; the last is the top one.
    EXPECT_EQ(bytes.substr(54, 3), std::string("\x21\xC8\x11", 3));                      // (0, 68)
    EXPECT_EQ(bytes.substr(54 + 364 * 3, 3), std::string("\x00\x99\xFF", 3));            // (364, 68)
    EXPECT_EQ(bytes.substr(54 + rowBytes * 68, 3), std::string("\x03\x02\x01", 3));      // (0, 0)
    EXPECT_EQ(bytes.substr(54 + rowBytes * 68 + 364 * 3, 3), std::string("\x5A\x14\xFA", 3)); // (364, 0)
}

TEST_F(QtPictureFilesTest, SavingReplacesAnOlderBitmap)
{
    ASSERT_TRUE(dir.isValid());
    writeFile(at("graphback.bmp"), "BM, an older picture the user dropped in");
    const Picture grid = graphGrid();
    files.save(grid, at("graphback.bmp"));
    EXPECT_EQ(files.load(at("graphback.bmp")), grid);
}

TEST_F(QtPictureFilesTest, AMissingFileIsNotFound)
{
    ASSERT_TRUE(dir.isValid());
    try {
        files.load(at("graphback.bmp"));
        FAIL() << "a missing file loaded";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), "File not found");
    }
    EXPECT_EQ(errorOf([&] { files.load(at("no folder") / "graphback.bmp"); }), 53);
}

TEST_F(QtPictureFilesTest, AFolderAnEmptyFileAndANamedPipeAreInvalidPictures)
{
    ASSERT_TRUE(dir.isValid());
    fs::create_directory(at("folder.bmp"));
    writeFile(at("empty.bmp"), "");
    ASSERT_EQ(::mkfifo(at("pipe.bmp").c_str(), 0600), 0);

    for (const char* name : {"folder.bmp", "empty.bmp", "pipe.bmp"}) {
        SCOPED_TRACE(name);
        try {
            files.load(at(name));
            ADD_FAILURE() << "it loaded";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), 481);
            EXPECT_EQ(e.description(), "Invalid picture");
        }
    }
}

TEST_F(QtPictureFilesTest, ExistsForAFileOfAnyKind)
{
    ASSERT_TRUE(dir.isValid());
    files.save(graphGrid(), at("graphback.bmp"));
    fs::create_directory(at("folder.bmp"));
    ASSERT_EQ(::mkfifo(at("pipe.bmp").c_str(), 0600), 0);

    EXPECT_TRUE(files.exists(at("graphback.bmp")));
    EXPECT_FALSE(files.exists(at("cpuback.bmp")));
    EXPECT_TRUE(files.exists(at("folder.bmp")));
    EXPECT_TRUE(files.exists(at("pipe.bmp")));
    EXPECT_FALSE(files.exists(""));
}

// Prepares the graph's background from graphback.bmp, drawing one orange line where the file does not serve.
void prepareOrangeLine(QtPictureFiles& files, const fs::path& path, DrawingSurface& surface, ErrorReporter& reporter)
{
    prepareBackground(
        files, path, surface, 365, 69, [](DrawingSurface& s) { s.line(0, 10, 365, 10, colours::orange); },
        Trap(reporter, "frmMain,initGraph"));
}

TEST_F(QtPictureFilesTest, ANamedPipeInPlaceOfABackgroundIsReportedLeftThereAndTheGridDrawnInstead)
{
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(::mkfifo(at("graphback.bmp").c_str(), 0600), 0);
    RecordingReporter reporter;
    DrawingSurface surface(365, 70, colours::black);
    prepareOrangeLine(files, at("graphback.bmp"), surface, reporter);

    ASSERT_EQ(reporter.errors.size(), 2u);
    EXPECT_EQ(reporter.errors[0].number, 481);
    EXPECT_EQ(reporter.errors[1].number, 75) << "nothing is saved over the pipe";
    EXPECT_EQ(surface.pixel(100, 10), colours::orange);
    struct stat status {};
    ASSERT_EQ(::lstat(at("graphback.bmp").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(QtPictureFilesTest, ATruncatedBackgroundIsReportedDrawnAgainAndWrittenBack)
{
    ASSERT_TRUE(dir.isValid());
    files.save(graphGrid(), at("graphback.bmp"));
    const std::string whole = readFile(at("graphback.bmp"));
    writeFile(at("graphback.bmp"), whole.substr(0, whole.size() / 2));
    RecordingReporter reporter;
    DrawingSurface surface(365, 70, colours::black);
    prepareOrangeLine(files, at("graphback.bmp"), surface, reporter);

    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(reporter.errors[0].number, 481);
    EXPECT_EQ(surface.pixel(100, 10), colours::orange);
    EXPECT_EQ(files.load(at("graphback.bmp")), surface.background());
}

TEST_F(QtPictureFilesTest, AGraphKeepsOnlyThePartOfA4096By4096BackgroundItShows)
{
    ASSERT_TRUE(dir.isValid());
    Picture large(4096, 4096, colours::orange);
    large.at(364, 69) = rgb(1, 2, 3);
    files.save(large, at("graphback.bmp"));
    RecordingReporter reporter;
    DrawingSurface surface(365, 70, colours::black);
    prepareBackground(files, at("graphback.bmp"), surface, 365, 69, [](DrawingSurface&) {},
                      Trap(reporter, "frmMain,initGraph"));

    EXPECT_EQ(surface.background().width, 365);
    EXPECT_EQ(surface.background().height, 70);
    EXPECT_EQ(surface.background().pixels.size(), 365u * 70u);
    EXPECT_EQ(surface.pixel(364, 69), rgb(1, 2, 3));
    EXPECT_EQ(surface.pixel(0, 0), colours::orange);
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(QtPictureFilesTest, SavingWhereNoFileCanBeIsAnAccessError)
{
    ASSERT_TRUE(dir.isValid());
    // Mode bits do not stop root, who runs these tests; a path through a regular
    // file stops everybody.
    writeFile(at("plain"), "not a folder");
    try {
        files.save(graphGrid(), at("plain") / "graphback.bmp");
        FAIL() << "saved under a regular file";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_EQ(e.description(), "Path/File access error");
    }
    EXPECT_EQ(readFile(at("plain")), "not a folder");
}

TEST_F(QtPictureFilesTest, SavingOverAFileThatIsNoBitmapIsAnAccessErrorAndLeavesTheFile)
{
    ASSERT_TRUE(dir.isValid());
    writeFile(at("graphback.bmp"), "Holiday notes, saved under the wrong name.\n");
    EXPECT_EQ(errorOf([&] { files.save(graphGrid(), at("graphback.bmp")); }), 75);
    EXPECT_EQ(readFile(at("graphback.bmp")), "Holiday notes, saved under the wrong name.\n");
}

TEST_F(QtPictureFilesTest, SavingOverAFolderIsAnAccessErrorAndLeavesTheFolder)
{
    ASSERT_TRUE(dir.isValid());
    fs::create_directory(at("graphback.bmp"));
    writeFile(at("graphback.bmp") / "inside", "kept");

    EXPECT_EQ(errorOf([&] { files.save(graphGrid(), at("graphback.bmp")); }), 75);
    EXPECT_TRUE(fs::is_directory(at("graphback.bmp")));
    EXPECT_EQ(readFile(at("graphback.bmp") / "inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path().toStdString()), fs::directory_iterator()), 1);
}

TEST_F(QtPictureFilesTest, AWriteThatFailsHalfwayLeavesTheOldFileAsItWas)
{
    ASSERT_TRUE(dir.isValid());
    writeFile(at("graphback.bmp"), "BM, the old picture");

    // A child process whose files may not grow past 4 KB: the 75 KB bitmap
    // cannot be written in full, whoever runs the test.
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
        ::alarm(60);
        QtPictureFiles childFiles;
        const std::optional<int> error = errorOf([&] { childFiles.save(graphGrid(), at("graphback.bmp")); });
        ::_exit(error.value_or(0));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the saving process ended abnormally";
    EXPECT_EQ(WEXITSTATUS(status), 75);
    EXPECT_EQ(readFile(at("graphback.bmp")), "BM, the old picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path().toStdString()), fs::directory_iterator()), 1)
        << "a partly written file was left behind";
}

TEST_F(QtPictureFilesTest, AnEmptyPictureIsNotSaved)
{
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(errorOf([&] { files.save(Picture(), at("graphback.bmp")); }), 481);
    EXPECT_FALSE(fs::exists(at("graphback.bmp")));
}

TEST_F(QtPictureFilesTest, A24BitBitmapLoadsWhenItsRowsAreCompleteAndIsRefusedWhenCutShort)
{
    ASSERT_TRUE(dir.isValid());
    const BitmapFile complete = threeByThree();
    writeFile(at("complete.bmp"), complete.bytes());
    const Picture picture = files.load(at("complete.bmp"));
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 3);
    EXPECT_EQ(picture.at(0, 0), rgb(0x30, 0x20, 0x10));
    EXPECT_EQ(picture.at(2, 2), rgb(0x90, 0x80, 0x70));

    BitmapFile cut = threeByThree();
    cut.pixels.resize(cut.pixels.size() - 4); // the padding of the top row and one byte of it
    writeFile(at("cut.bmp"), cut.bytes());
    EXPECT_EQ(errorOf([&] { files.load(at("cut.bmp")); }), 481);
}

TEST_F(QtPictureFilesTest, APixelOffsetPastTheEndIsRefused)
{
    ASSERT_TRUE(dir.isValid());
    BitmapFile file = threeByThree();
    file.pixelOffset = 0x80000010; // read by a 32-bit signed decoder as negative, then ignored
    writeFile(at("offset.bmp"), file.bytes());
    EXPECT_EQ(errorOf([&] { files.load(at("offset.bmp")); }), 481);
}

TEST_F(QtPictureFilesTest, AHeaderSizeOfNoKnownFormIsRefused)
{
    ASSERT_TRUE(dir.isValid());
    BitmapFile file = threeByThree();
    file.infoSize = 56;
    writeFile(at("header56.bmp"), file.bytes());
    EXPECT_EQ(errorOf([&] { files.load(at("header56.bmp")); }), 481);
}

TEST_F(QtPictureFilesTest, PixelsARunLengthStreamSkipsShowTheFirstPaletteColour)
{
    // The sanitizer build fills fresh memory with a non-zero byte, so pixels left
    // unwritten there show as something other than the first palette colour.
    ASSERT_TRUE(dir.isValid());
    BitmapFile file;
    file.width = 4;
    file.height = 2;
    file.bitCount = 8;
    file.compression = 1; // BI_RLE8
    file.palette = {rgb(200, 10, 10), rgb(10, 200, 10)};
    file.pixels = std::string("\x02\x01\x00\x01", 4); // two pixels of colour 1 on the bottom row, then the end
    writeFile(at("rle.bmp"), file.bytes());

    const Picture picture = files.load(at("rle.bmp"));
    ASSERT_EQ(picture.width, 4);
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.at(0, 1), rgb(10, 200, 10));
    EXPECT_EQ(picture.at(1, 1), rgb(10, 200, 10));
    for (const auto& [x, y] : {std::pair{2, 1}, std::pair{3, 1}, std::pair{0, 0}, std::pair{3, 0}})
        EXPECT_EQ(picture.at(x, y), rgb(200, 10, 10)) << x << "," << y;
}

TEST_F(QtPictureFilesTest, APictureOfUpTo4096By4096PixelsLoadsAndALargerOneIsRefused)
{
    ASSERT_TRUE(dir.isValid());
    // Run-length streams that end at once: small files that describe big pictures.
    BitmapFile file;
    file.bitCount = 8;
    file.compression = 1;
    file.palette = {rgb(1, 2, 3)};
    file.pixels = std::string("\x00\x01", 2);

    file.width = 4096;
    file.height = 4096;
    writeFile(at("largest.bmp"), file.bytes());
    const Picture largest = files.load(at("largest.bmp"));
    EXPECT_EQ(largest.width, 4096);
    EXPECT_EQ(largest.height, 4096);
    EXPECT_EQ(largest.at(4095, 4095), rgb(1, 2, 3));

    file.width = 4097;
    writeFile(at("wider.bmp"), file.bytes());
    EXPECT_EQ(errorOf([&] { files.load(at("wider.bmp")); }), 481);

    file.width = 1;
    file.height = -(4096 * 4096 + 1);
    writeFile(at("taller.bmp"), file.bytes());
    EXPECT_EQ(errorOf([&] { files.load(at("taller.bmp")); }), 481);
}

} // namespace
} // namespace nimbrel::testing
