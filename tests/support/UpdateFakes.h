#pragma once

// Stand-ins for what the update needs of the system: the vendor's server as
// the shared transfer object sees it, the program's folder, the key check and
// the hand-over to another program file.

#include "core/system/HandOver.h"
#include "core/system/HttpTransfer.h"
#include "core/system/PackageTrust.h"
#include "core/system/ProgramFiles.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace nimbrel::testing {

// A server that answers each address with the headers and body the test gave
// it, and "404 Not Found" for any other. Every GET is recorded.
class ServedTransfer : public HttpTransfer {
public:
    struct Resource {
        std::string headers;
        std::string body;
    };
    std::map<std::string, Resource> resources;
    std::vector<std::string> gets;
    // Runs while a GET of that address is under way, as events handled during the wait would.
    std::function<void(const std::string& url)> duringGet;

    // A resource whose headers announce its length, as a server would.
    void serve(const std::string& url, const std::string& body)
    {
        resources[url] = {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\nContent-Type: application/octet-stream",
                          body};
    }

    void cancel() override { cancelled_ = true; }
    bool stillExecuting() override { return false; }
    std::string openUrlText(const std::string& url) override { return fetch(url); }
    std::vector<std::uint8_t> openUrlBytes(const std::string& url) override
    {
        const std::string body = fetch(url);
        return std::vector<std::uint8_t>(body.begin(), body.end());
    }
    bool openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink) override
    {
        const std::string body = fetch(url);
        if (cancelled_ || headers_.find(" 200 ") == std::string::npos) return false;
        if (body.size() > limits.maxBytes) return false;
        return sink(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
    }
    std::string responseHeaders() override { return headers_; }

private:
    std::string fetch(const std::string& url)
    {
        gets.push_back(url);
        cancelled_ = false;
        if (duringGet) duringGet(url);
        if (cancelled_) {
            headers_.clear();
            return {};
        }
        const auto it = resources.find(url);
        if (it == resources.end()) {
            headers_ = "HTTP/1.1 404 Not Found\r\nContent-Length: 9";
            return {};
        }
        headers_ = it->second.headers;
        return it->second.body;
    }
    std::string headers_;
    bool cancelled_ = false;
};

// A program being written to the folder kept in memory: its temporary is a
// file of the folder ("NAME.staged") until it is kept or dropped.
class FakeStagedProgram : public StagedProgram {
public:
    FakeStagedProgram(std::map<std::string, std::string>& files, std::string path, bool writable)
        : files_(files), path_(std::move(path)), writable_(writable)
    {
        files_[temporary()];
    }
    ~FakeStagedProgram() override
    {
        if (!kept_) files_.erase(temporary());
    }
    bool write(const std::uint8_t* bytes, std::size_t size) override
    {
        if (!writable_) return false;
        files_[temporary()].append(reinterpret_cast<const char*>(bytes), size);
        return true;
    }
    std::uint64_t size() override { return files_[temporary()].size(); }
    std::string writtenDigest() override { return digest_; }
    std::optional<std::vector<std::uint8_t>> writtenBytes() override
    {
        const std::string& bytes = files_[temporary()];
        digest_ = "digest:" + bytes;
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    std::string path() override { return temporary(); }
    bool keep() override
    {
        files_[path_] = files_[temporary()];
        files_.erase(temporary());
        kept_ = true;
        return true;
    }

private:
    std::string temporary() const { return path_ + ".staged"; }
    std::map<std::string, std::string>& files_;
    std::string path_;
    bool writable_;
    bool kept_ = false;
    std::string digest_;
};

// The program's folder kept in memory. The digest of a file is "digest:" and its bytes.
class FakeProgramFiles : public ProgramFiles {
public:
    std::map<std::string, std::string> files;
    bool writable = true;
    bool copyFails = false;
    bool writeFails = false; // the disk is full
    std::vector<std::string> removed;
    std::string suffix;

    std::string executableSuffix() override { return suffix; }
    bool holds(const std::string& path) const { return files.count(path) != 0; }
    bool remove(const std::string& path) override
    {
        removed.push_back(path);
        return files.erase(path) == 1;
    }
    bool folderWritable(const std::string&) override { return writable; }
    std::unique_ptr<StagedProgram> stageProgram(const std::string& path) override
    {
        return std::make_unique<FakeStagedProgram>(files, path, writable && !writeFails);
    }
    std::string digest(const std::string& path) override
    {
        const auto it = files.find(path);
        return it != files.end() ? "digest:" + it->second : std::string();
    }
    bool replaceWithCopy(const std::string& source, const std::string& target, const std::string& digest) override
    {
        const auto it = files.find(source);
        if (copyFails || it == files.end() || "digest:" + it->second != digest) return false;
        files[target] = it->second;
        return true;
    }
};

// Trusts the packages whose signature file is "signed:" followed by the trusted
// comment, a line end and a hash of the package, and the packages that begin as a program
// of this machine does; a trial start succeeds unless the test says otherwise.
class FakePackageTrust : public PackageTrust {
public:
    bool key = true;
    bool brokenKeyFile = false;
    std::string programStart = "\x7f" "ELF";
    std::vector<std::string> trialStarts; // the bytes of each program started on trial
    // Runs while a program is on trial, as events handled during its wait would.
    std::function<void()> duringTrial;
    bool starts = true;

    static std::string signature(const std::string& comment, const std::string& package)
    {
        return "signed:" + comment + "\n" + std::to_string(std::hash<std::string>{}(package));
    }

    bool hasKey() override { return key; }
    bool keyFileBroken() override { return brokenKeyFile; }
    std::optional<std::string> signedByVendor(const std::vector<std::uint8_t>& package,
                                              const std::string& signatureFile) override
    {
        const std::string bytes(package.begin(), package.end());
        const std::size_t end = signatureFile.find('\n');
        if (!key || signatureFile.rfind("signed:", 0) != 0 || end == std::string::npos ||
            signatureFile.substr(end + 1) != std::to_string(std::hash<std::string>{}(bytes)))
            return std::nullopt;
        return signatureFile.substr(7, end - 7);
    }
    bool runsHere(const std::vector<std::uint8_t>& package) override
    {
        return std::string(package.begin(), package.end()).rfind(programStart, 0) == 0;
    }
    bool startsHere(const std::vector<std::uint8_t>& program) override
    {
        trialStarts.emplace_back(program.begin(), program.end());
        if (duringTrial) duringTrial();
        return starts;
    }
};

class FakeHandOver : public HandOver {
public:
    std::vector<std::string> started;
    bool starts = true;
    // What the program started does, where the test has it run (its start-up phase, say).
    std::function<void(const std::string& programPath)> onStart;
    bool startInstead(const std::string& programPath) override
    {
        started.push_back(programPath);
        if (starts && onStart) onStart(programPath);
        return starts;
    }
};

} // namespace nimbrel::testing
