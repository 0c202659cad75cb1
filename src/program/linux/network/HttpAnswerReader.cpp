#include "program/linux/network/HttpAnswerReader.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace nimbrel::program {

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number of decimal or hexadecimal digits and nothing else, up to 2^63 - 1; nothing otherwise.
std::optional<std::uint64_t> number(const std::string& text, int base)
{
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        int digit = -1;
        if (std::isdigit(u)) digit = c - '0';
        else if (base == 16 && std::isxdigit(u)) digit = std::tolower(u) - 'a' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    if (value > 0x7FFFFFFFFFFFFFFFull) return std::nullopt;
    return value;
}

} // namespace

bool HttpAnswerReader::fail()
{
    state_ = State::Failed;
    pending_.clear();
    return false;
}

bool HttpAnswerReader::takeHead(std::size_t headEnd)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < headEnd;) {
        std::size_t end = pending_.find("\r\n", start);
        if (end == std::string::npos || end > headEnd) end = headEnd;
        lines.push_back(pending_.substr(start, end - start));
        start = end + 2;
    }
    // "HTTP/1.1 200 OK": the version, a blank, three digits, and a blank before any reason.
    const std::string& statusLine = lines.empty() ? std::string() : lines.front();
    if (statusLine.rfind("HTTP/1.", 0) != 0 || statusLine.size() < 12 || statusLine[8] != ' ' ||
        (statusLine.size() > 12 && statusLine[12] != ' '))
        return fail();
    const std::optional<std::uint64_t> code = number(statusLine.substr(9, 3), 10);
    if (!code || *code < 100) return fail();
    status_ = static_cast<int>(*code);

    std::optional<std::uint64_t> length;
    bool chunked = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t colon = lines[i].find(':');
        if (colon == std::string::npos || colon == 0) return fail();
        const std::string name = lowerCase(lines[i].substr(0, colon));
        const std::string value = trimmed(lines[i].substr(colon + 1));
        if (name == "content-length") {
            const std::optional<std::uint64_t> given = number(value, 10);
            // Two lengths that differ leave the body's end in doubt.
            if (!given || (length && *length != *given)) return fail();
            length = given;
        } else if (name == "transfer-encoding") {
            const std::string codings = lowerCase(value);
            chunked = codings.size() >= 7 && codings.compare(codings.size() - 7, 7, "chunked") == 0;
        }
    }
    pending_.clear();
    // An interim answer (100 Continue) is followed by the real one.
    if (status_ < 200) {
        status_ = 0;
        return true;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) head_ += (i == 0 ? "" : "\r\n") + lines[i];
    headRead_ = true;
    chunked_ = chunked;
    if (!chunked) announced_ = length;
    if (status_ == 204 || status_ == 304) {
        state_ = State::Done;
    } else if (chunked) {
        state_ = State::ChunkSize;
    } else if (length) {
        left_ = *length;
        state_ = left_ == 0 ? State::Done : State::Sized;
    } else {
        state_ = State::UntilEnd;
    }
    return true;
}

std::optional<std::string> HttpAnswerReader::nextLine()
{
    const std::size_t end = pending_.find("\r\n");
    if (end == std::string::npos) return std::nullopt;
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 2);
    return line;
}

bool HttpAnswerReader::feed(const char* bytes, std::size_t size)
{
    std::size_t at = 0;
    while (at < size || !pending_.empty()) {
        switch (state_) {
        case State::Done:
            // Whatever follows a whole answer is not part of it.
            return true;
        case State::Failed:
            return false;
        case State::Head: {
            // The head is looked for in what is pending, at most maxHeadBytes of it.
            const std::size_t take = std::min(size - at, maxHeadBytes + 4 - pending_.size());
            const std::size_t searchFrom = pending_.size() < 3 ? 0 : pending_.size() - 3;
            pending_.append(bytes + at, take);
            at += take;
            const std::size_t headEnd = pending_.find("\r\n\r\n", searchFrom);
            if (headEnd == std::string::npos) {
                if (pending_.size() > maxHeadBytes) return fail();
                if (at >= size) return true;
                continue;
            }
            // What came after the head goes back to be read as the body.
            const std::size_t extra = pending_.size() - (headEnd + 4);
            pending_.resize(headEnd + 4);
            at -= extra;
            if (!takeHead(headEnd)) return false;
            continue;
        }
        case State::Sized:
        case State::ChunkData:
        case State::UntilEnd: {
            if (at >= size) return true;
            std::size_t take = size - at;
            if (state_ != State::UntilEnd) take = static_cast<std::size_t>(std::min<std::uint64_t>(take, left_));
            if (!body_(bytes + at, take)) return fail();
            at += take;
            if (state_ == State::UntilEnd) continue;
            left_ -= take;
            if (left_ == 0) state_ = state_ == State::Sized ? State::Done : State::ChunkEnd;
            continue;
        }
        case State::ChunkSize:
        case State::ChunkEnd:
        case State::Trailers: {
            std::optional<std::string> line = nextLine();
            while (!line && at < size) {
                pending_ += bytes[at++];
                if (pending_.size() > maxLineBytes) return fail();
                line = nextLine();
            }
            if (!line) return true;
            if (state_ == State::ChunkEnd) {
                if (!line->empty()) return fail();
                state_ = State::ChunkSize;
            } else if (state_ == State::ChunkSize) {
                // The size in hexadecimal, perhaps with extensions after a semicolon.
                const std::optional<std::uint64_t> chunk = number(trimmed(line->substr(0, line->find(';'))), 16);
                if (!chunk) return fail();
                left_ = *chunk;
                state_ = left_ == 0 ? State::Trailers : State::ChunkData;
            } else if (line->empty()) {
                state_ = State::Done;
            }
            continue;
        }
        }
    }
    return true;
}

void HttpAnswerReader::connectionEnded()
{
    if (state_ == State::UntilEnd) {
        state_ = State::Done;
    } else if (state_ != State::Done) {
        fail();
    }
}

} // namespace nimbrel::program
