// What a server sends back, cut into pieces of every size: the reader takes it or refuses it, hands on no more
// body than it was given, and holds no more than its bounds.

#include "program/linux/network/HttpAnswerReader.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using nimbrel::program::HttpAnswerReader;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t piece = input.ConsumeIntegralInRange<std::size_t>(1, 4096);
    const bool ended = input.ConsumeBool();
    const std::string answer = input.ConsumeRemainingBytesAsString();
    std::size_t body = 0;
    HttpAnswerReader reader([&body](const char*, std::size_t size) {
        body += size;
        return true;
    });
    for (std::size_t at = 0; at < answer.size(); at += piece) {
        if (!reader.feed(answer.data() + at, std::min(piece, answer.size() - at))) break;
    }
    if (ended) reader.connectionEnded();
    if (body > answer.size() || reader.head().size() > HttpAnswerReader::maxHeadBytes) std::abort();
    if (reader.complete() && reader.failed()) std::abort();
    return 0;
}
