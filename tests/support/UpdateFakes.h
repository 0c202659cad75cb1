#pragma once

// Stand-ins for what the update needs of the system: the vendor's server as
// the shared transfer object sees it, the program's folder, the key check and
// the hand-over to another program file.

#include "core/HandOver.h"
#include "core/HttpTransfer.h"
#include "core/PackageTrust.h"
#include "core/ProgramFiles.h"

#include <cstdint>
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

    // A resource whose headers announce its length, as a server would.
    void serve(const std::string& url, const std::string& body)
    {
        resources[url] = {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\nContent-Type: application/octet-stream",
                          body};
    }

    void cancel() override {}
    bool stillExecuting() override { return false; }
    std::string openUrlText(const std::string& url) override { return fetch(url); }
    std::vector<std::uint8_t> openUrlBytes(const std::string& url) override
    {
        const std::string body = fetch(url);
        return std::vector<std::uint8_t>(body.begin(), body.end());
    }
    std::string responseHeaders() override { return headers_; }

private:
    std::string fetch(const std::string& url)
    {
        gets.push_back(url);
        const auto it = resources.find(url);
        if (it == resources.end()) {
            headers_ = "HTTP/1.1 404 Not Found\r\nContent-Length: 9";
            return {};
        }
        headers_ = it->second.headers;
        return it->second.body;
    }
    std::string headers_;
};

// The program's folder kept in memory.
class FakeProgramFiles : public ProgramFiles {
public:
    std::map<std::string, std::string> files;
    bool writable = true;
    bool copyFails = false;
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
    bool saveProgram(const std::string& path, const std::vector<std::uint8_t>& bytes) override
    {
        if (!writable) return false;
        files[path] = std::string(bytes.begin(), bytes.end());
        return true;
    }
    bool replaceWithCopy(const std::string& source, const std::string& target) override
    {
        const auto it = files.find(source);
        if (copyFails || it == files.end()) return false;
        files[target] = it->second;
        return true;
    }
};

// Trusts the packages whose signature file is the text "signed:" followed by the
// package, and the packages that begin as a program of this machine does.
class FakePackageTrust : public PackageTrust {
public:
    bool key = true;
    std::string programStart = "\x7f" "ELF";

    bool hasKey() override { return key; }
    bool signedByVendor(const std::vector<std::uint8_t>& package, const std::string& signatureFile) override
    {
        return key && signatureFile == "signed:" + std::string(package.begin(), package.end());
    }
    bool runsHere(const std::vector<std::uint8_t>& package) override
    {
        return std::string(package.begin(), package.end()).rfind(programStart, 0) == 0;
    }
};

class FakeHandOver : public HandOver {
public:
    std::vector<std::string> started;
    bool starts = true;
    bool startInstead(const std::string& programPath) override
    {
        started.push_back(programPath);
        return starts;
    }
};

} // namespace nimbrel::testing
