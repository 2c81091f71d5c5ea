#include "platform/net/CurlTransfer.h"

#include <mutex>

namespace {

std::atomic<int> pendingOpenFailures{0};

int OnProgress(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancelled = static_cast<const std::atomic<bool>*>(flag);
    return cancelled && cancelled->load() ? 1 : 0;
}

}  // namespace

void InjectOpenFailures(int count) { pendingOpenFailures = count; }

CURL* NewCurlHandle() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    for (int pending = pendingOpenFailures.load(); pending > 0;)
        if (pendingOpenFailures.compare_exchange_weak(pending, pending - 1)) return nullptr;
    return curl_easy_init();
}

void ApplyTimeouts(CURL* handle, long connectMs, long stallSeconds) {
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    // Worker threads: no signals for name look-ups.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
}

void WatchCancelFlag(CURL* handle, const std::atomic<bool>* cancelled) {
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancelled));
}

WNetStep StepOfFailure(CURLcode code, CURL* handle, bool answered) {
    switch (code) {
        case CURLE_OK:
            return WNetStep::None;
        case CURLE_ABORTED_BY_CALLBACK:
            return WNetStep::Cancelled;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
        case CURLE_LOGIN_DENIED:
            return WNetStep::Connect;
        default:
            break;
    }
    curl_off_t connectTime = 0;
    curl_easy_getinfo(handle, CURLINFO_CONNECT_TIME_T, &connectTime);
    if (connectTime == 0) return WNetStep::Connect;
    return answered ? WNetStep::Receive : WNetStep::Send;
}
