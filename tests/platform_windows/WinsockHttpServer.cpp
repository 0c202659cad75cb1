#include "WinsockHttpServer.h"

#include <ws2tcpip.h>

#include <stdexcept>

namespace nimbrel::testing {

WinsockHttpServer::WinsockHttpServer(Answer answer) : answer_(std::move(answer))
{
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("no Winsock");
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("no listening socket on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

WinsockHttpServer::~WinsockHttpServer()
{
    stopping_ = true;
    closesocket(listener_);
    thread_.join();
    WSACleanup();
}

std::string WinsockHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> WinsockHttpServer::requestLines()
{
    const std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

void WinsockHttpServer::serve()
{
    while (!stopping_) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        // No client holds the server longer than this.
        DWORD timeout = 5000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        std::string request;
        char chunk[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            request.append(chunk, static_cast<std::size_t>(got));
        }
        {
            const std::lock_guard<std::mutex> guard(lock_);
            requests_.push_back(request.substr(0, request.find("\r\n")));
        }
        answer(client);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

bool WinsockHttpServer::pause(std::chrono::milliseconds length)
{
    for (auto waited = std::chrono::milliseconds(0); waited < length; waited += std::chrono::milliseconds(50)) {
        if (stopping_) return false;
        Sleep(50);
    }
    return !stopping_;
}

void WinsockHttpServer::answer(SOCKET client)
{
    if (!pause(answer_.delay)) return;
    ++answersBegun_;
    std::string text = answer_.statusLine + "\r\n";
    for (const std::string& header : answer_.headers) text += header + "\r\n";
    text += "Content-Length: " + std::to_string(answer_.body.size()) + "\r\nConnection: close\r\n\r\n";
    const std::size_t pieceSize = answer_.body.size() / static_cast<std::size_t>(answer_.pieces);
    for (int piece = 0; piece < answer_.pieces; ++piece) {
        if (piece > 0 && !pause(answer_.pause)) return;
        const std::size_t at = static_cast<std::size_t>(piece) * pieceSize;
        text += answer_.body.substr(at, piece + 1 == answer_.pieces ? std::string::npos : pieceSize);
        if (send(client, text.data(), static_cast<int>(text.size()), 0) != static_cast<int>(text.size())) return;
        text.clear();
    }
    ++answersSent_;
}

} // namespace nimbrel::testing
