#include "WinHttpRequest.h"

#include "WideText.h"

#include <utility>

namespace nimbrel {

// What WinHTTP's callback hands to the thread waiting on a step. It belongs to the request's handle, not to this
// object: a step that a cancel left unfinished may still end after the object is gone, so it is freed only when
// WinHTTP says the handle is closing.
struct WinHttpRequest::Exchange {
    HANDLE stepEnded = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    bool succeeded = false;
    DWORD bytes = 0;
    std::vector<std::uint8_t> piece;

    Exchange() = default;
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;
    ~Exchange()
    {
        if (stepEnded) CloseHandle(stepEnded);
    }
};

namespace {

HINTERNET openSession()
{
    // The system's proxy settings (Windows 8.1 and later); older systems and Wine versions without it take
    // WinHTTP's own configured proxy.
    HINTERNET session = WinHttpOpen(L"Nimbrel", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    if (!session) {
        session = WinHttpOpen(L"Nimbrel", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    }
    return session;
}

constexpr DWORD kNotifications = WINHTTP_CALLBACK_FLAG_SENDREQUEST_COMPLETE | WINHTTP_CALLBACK_FLAG_HEADERS_AVAILABLE |
                                 WINHTTP_CALLBACK_FLAG_DATA_AVAILABLE | WINHTTP_CALLBACK_FLAG_READ_COMPLETE |
                                 WINHTTP_CALLBACK_FLAG_REQUEST_ERROR | WINHTTP_CALLBACK_FLAG_HANDLES;

} // namespace

WinHttpRequest::WinHttpRequest(const std::string& url, std::chrono::milliseconds timeout, bool followRedirects,
                               std::function<void()> whileWaiting)
    : timeout_(static_cast<DWORD>(timeout.count())), whileWaiting_(std::move(whileWaiting)),
      aborted_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
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
    const int ms = static_cast<int>(timeout_);
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
    if (!request) return;
    auto* const exchange = new Exchange;
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(exchange);
    if (!exchange->stepEnded || !aborted_ ||
        WinHttpSetStatusCallback(request, onStatus, kNotifications, 0) == WINHTTP_INVALID_STATUS_CALLBACK ||
        !WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) {
        WinHttpCloseHandle(request);
        delete exchange;
        return;
    }
    // Set on the request as well: not every WinHTTP passes the session's time-outs on, and the wait for the
    // answer's headers has a time-out of its own.
    WinHttpSetTimeouts(request, ms, ms, ms, ms);
    DWORD wait = timeout_;
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &wait, sizeof wait);
    if (!followRedirects) {
        DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    }
    request_ = request;
    exchange_ = exchange;
}

WinHttpRequest::~WinHttpRequest()
{
    // The exchange goes with the handle's closing notice (onStatus).
    if (request_) WinHttpCloseHandle(request_);
    if (connection_) WinHttpCloseHandle(connection_);
    if (session_) WinHttpCloseHandle(session_);
    if (aborted_) CloseHandle(aborted_);
}

void CALLBACK WinHttpRequest::onStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length)
{
    auto* const exchange = reinterpret_cast<Exchange*>(context);
    if (!exchange) return;
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        delete exchange;
        return;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        exchange->succeeded = true;
        break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
        exchange->succeeded = true;
        exchange->bytes = *static_cast<const DWORD*>(information);
        break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
        exchange->succeeded = true;
        exchange->bytes = length;
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        exchange->succeeded = false;
        break;
    default:
        return;
    }
    SetEvent(exchange->stepEnded);
}

bool WinHttpRequest::awaitStep(BOOL started)
{
    if (!started) return false;
    const HANDLE ends[] = {exchange_->stepEnded, aborted_};
    // A server silent for longer than the time-out ends the step here too, should WinHTTP not end it itself.
    const ULONGLONG deadline = GetTickCount64() + timeout_;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        // A message handled past the deadline (a message box left open) does not undo a step that ended.
        if (now >= deadline) {
            return WaitForMultipleObjects(2, ends, FALSE, 0) == WAIT_OBJECT_0 && exchange_->succeeded;
        }
        const auto left = static_cast<DWORD>(deadline - now);
        const DWORD ended = whileWaiting_ ? MsgWaitForMultipleObjectsEx(2, ends, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE)
                                          : WaitForMultipleObjects(2, ends, FALSE, left);
        if (ended == WAIT_OBJECT_0) return exchange_->succeeded;
        if (ended != WAIT_OBJECT_0 + 2) return false;
        whileWaiting_();
    }
}

bool WinHttpRequest::send()
{
    if (!request_ || WaitForSingleObject(aborted_, 0) == WAIT_OBJECT_0) return false;
    const DWORD_PTR context = reinterpret_cast<DWORD_PTR>(exchange_);
    return awaitStep(WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                                        context)) &&
           awaitStep(WinHttpReceiveResponse(request_, nullptr));
}

DWORD WinHttpRequest::status() const
{
    DWORD code = 0;
    DWORD size = sizeof code;
    if (!request_ || !WinHttpQueryHeaders(request_, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                           WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return code;
}

std::string WinHttpRequest::headers() const
{
    DWORD size = 0;
    if (!request_) return {};
    WinHttpQueryHeaders(request_, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                        WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    if (size == 0) return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request_, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, text.data(),
                             &size, WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    text.resize(size / sizeof(wchar_t));
    // The lines end with an empty one; the program's text has none after the last header.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'\0')) text.pop_back();
    return wide::toUtf8(text);
}

bool WinHttpRequest::readBody(const std::function<bool(const std::uint8_t* bytes, std::size_t size)>& sink)
{
    if (!request_) return false;
    for (;;) {
        if (!awaitStep(WinHttpQueryDataAvailable(request_, nullptr))) return false;
        const DWORD available = exchange_->bytes;
        if (available == 0) return true;
        // Read into the exchange's own buffer: a read the cancel leaves running may still write into it.
        exchange_->piece.resize(available);
        if (!awaitStep(WinHttpReadData(request_, exchange_->piece.data(), available, nullptr))) return false;
        if (!sink(exchange_->piece.data(), exchange_->bytes)) return false;
    }
}

void WinHttpRequest::abort()
{
    if (aborted_) SetEvent(aborted_);
}

} // namespace nimbrel
