#pragma once

#include <QNetworkRequest>

#include <chrono>

class QUrl;

namespace nimbrel::view {

// A request that names the program as its agent (the toolkit would say
// "Mozilla/5.0") and gives up after the timeout of silence.
QNetworkRequest programRequest(const QUrl& url, std::chrono::milliseconds timeout);

} // namespace nimbrel::view
