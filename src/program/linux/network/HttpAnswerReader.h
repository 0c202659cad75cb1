#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace nimbrel::program {

// Reads an HTTP/1.1 answer as its bytes come off the connection: the status line and header lines, then the
// body, whether its length is announced, it comes in chunks, or it runs to the end of the connection. The body
// goes to the callback piece by piece as it arrives and is never held here; what is held (the head, a chunk's
// size line) is bounded, so a server that sends without end costs no more memory than its pieces.
class HttpAnswerReader {
public:
    // The most the status line and header lines may take together.
    static constexpr std::size_t maxHeadBytes = 64 * 1024;
    // The most a chunk's size line or a trailer line may take.
    static constexpr std::size_t maxLineBytes = 4096;

    // Takes a piece of the body; false stops the reading.
    using Body = std::function<bool(const char* bytes, std::size_t size)>;

    explicit HttpAnswerReader(Body body) : body_(std::move(body)) {}

    // Takes the next bytes of the connection; false once the answer is malformed or the body was refused.
    bool feed(const char* bytes, std::size_t size);
    // The connection has ended: a body that runs to its end is whole now, any other answer cut short.
    void connectionEnded();

    bool headRead() const { return headRead_; }
    bool complete() const { return state_ == State::Done; }
    bool failed() const { return state_ == State::Failed; }
    // The status code of the status line; 0 before it is read.
    int status() const { return status_; }
    // The status line and the header lines as the server sent them, joined by CR LF.
    const std::string& head() const { return head_; }
    // The length the headers announce; nothing without one (a chunked body, or one that runs to the end).
    std::optional<std::uint64_t> announcedLength() const { return announced_; }

private:
    enum class State { Head, Sized, ChunkSize, ChunkData, ChunkEnd, Trailers, UntilEnd, Done, Failed };

    // Reads the head once its blank line is in; false when it is malformed.
    bool takeHead(std::size_t headEnd);
    // The next line of the pending bytes (a chunk's size line, a trailer), without its CR LF, once it is whole.
    std::optional<std::string> nextLine();
    bool fail();

    Body body_;
    State state_ = State::Head;
    std::string pending_; // bytes of the head or of a line not yet whole
    std::string head_;
    bool headRead_ = false;
    int status_ = 0;
    bool chunked_ = false;
    std::optional<std::uint64_t> announced_;
    std::uint64_t left_ = 0; // of the sized body or of the chunk
};

} // namespace nimbrel::program
