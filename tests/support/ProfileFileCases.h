#pragma once

#include "core/system/ProfileFile.h"

#include <filesystem>
#include <string>
#include <vector>

// The recorded profile cases (ini-cases of the shared data), run against a profile reader and writer.
//
// Every read and reread must give the recorded value byte for byte. The recorded count is checked against the
// length of the recorded value only, as a check of this file's reading of the .expected text: the program never
// sees a count.
//
// The recorded writer rewrites the whole file in a normal form; ours leaves every line it does not touch as it
// was. So a write group is compared in one of three ways:
//   - no fixture, or a fixture already in normal form: the file must be the recorded one, byte for byte;
//   - the recorded file is the fixture itself (a value equal to the stored one): the file must be untouched;
//   - otherwise: our file in normal form must be the recorded file, the lines of the fixture that the writes
//     left must be there byte for byte and in order, and each line the writes added must be a recorded line.
// After every group the folder must hold the settings file and nothing else (no temporaries left behind).

namespace nimbrel::testing {

// True when the folder of recorded cases is there.
bool iniCasesPresent(const std::filesystem::path& casesFolder);

// Runs every case: each read, write group and reread as recorded.
void runEveryRecordedIniCase(ProfileFile& profile, const std::filesystem::path& casesFolder);

// Writes every key the cases read once into a fresh copy of its fixture: the write touches one line (or adds a
// key, or a section and a key), every other line stays byte for byte, the key reads back, and every other key
// still reads as recorded.
void writeIntoEveryIniFixture(ProfileFile& profile, const std::filesystem::path& casesFolder);

// One recorded read of a fixture as stored ("fixture" is absent for a case without one).
struct RecordedIniRead {
    std::string where; // the case file and line
    std::filesystem::path fixture;
    std::string section, key, defaultValue, value;
};
std::vector<RecordedIniRead> recordedIniReads(const std::filesystem::path& casesFolder);

} // namespace nimbrel::testing
