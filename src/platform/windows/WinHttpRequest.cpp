#include "WinHttpRequest.h"

#include "WideText.h"

namespace nimbrel {

namespace {

HINTERNET openSession()
{
    // The system's proxy settings (Windows 8.1 and later); older systems and Wine versions without it take
    // WinHTTP's own configured proxy.
    HINTERNET session = WinHttpOpen(L"Nimbrel", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session) {
        session = WinHttpOpen(L"Nimbrel", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    }
    return session;
}

} // namespace

WinHttpRequest::WinHttpRequest(const std::string& url, std::chrono::milliseconds timeout, bool followRedirects)
{
    const std::wstring address = wide::fromUtf8(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return;

    session_ = openSession();
    if (!session_) return;
    const int ms = static_cast<int>(timeout.count());
    WinHttpSetTimeouts(session_, ms, ms, ms, ms);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    connection_ = WinHttpConnect(session_, host.c_str(), parts.nPort, 0);
    if (!connection_) return;

    // The address comes already encoded (the error reports encode their query): it goes as it is.
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    const HINTERNET request = WinHttpOpenRequest(connection_, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                 WINHTTP_DEFAULT_ACCEPT_TYPES, flags | WINHTTP_FLAG_ESCAPE_DISABLE);
    if (request) {
        // Set on the request as well: not every WinHTTP passes the session's time-outs on, and the wait for the
        // answer's headers has a time-out of its own.
        WinHttpSetTimeouts(request, ms, ms, ms, ms);
        DWORD wait = static_cast<DWORD>(ms);
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &wait, sizeof wait);
    }
    if (request && !followRedirects) {
        DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    }
    request_ = request;
}

WinHttpRequest::~WinHttpRequest()
{
    abort();
    if (connection_) WinHttpCloseHandle(connection_);
    if (session_) WinHttpCloseHandle(session_);
}

bool WinHttpRequest::send()
{
    HINTERNET request = request_;
    return request && WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
           WinHttpReceiveResponse(request, nullptr);
}

DWORD WinHttpRequest::status() const
{
    DWORD code = 0;
    DWORD size = sizeof code;
    const HINTERNET request = request_;
    if (!request || !WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                          WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return code;
}

std::string WinHttpRequest::headers() const
{
    DWORD size = 0;
    const HINTERNET request = request_;
    if (!request) return {};
    WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &size, WINHTTP_NO_HEADER_INDEX);
    if (size == 0) return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, text.data(),
                             &size, WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    text.resize(size / sizeof(wchar_t));
    // The lines end with an empty one; the program's text has none after the last header.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'\0')) text.pop_back();
    return wide::toUtf8(text);
}

bool WinHttpRequest::readBody(std::vector<std::uint8_t>& body)
{
    for (;;) {
        HINTERNET request = request_;
        DWORD available = 0;
        if (!request || !WinHttpQueryDataAvailable(request, &available)) return false;
        if (available == 0) return true;
        const std::size_t at = body.size();
        body.resize(at + available);
        DWORD read = 0;
        if (!WinHttpReadData(request, body.data() + at, available, &read)) return false;
        body.resize(at + read);
    }
}

void WinHttpRequest::abort()
{
    if (HINTERNET request = request_.exchange(nullptr)) {
        WinHttpCloseHandle(request);
    }
}

} // namespace nimbrel
