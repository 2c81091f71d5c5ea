#include "platform/net/WHttp.h"

#include <curl/curl.h>

#include <cstdio>

#include "platform/net/CurlTransfer.h"

WHttp::WHttp() = default;

WHttp::~WHttp() { Close(); }

void WHttp::SetSite(const std::string& site) { site_ = site; }
void WHttp::SetConnectTimeout(long milliseconds) { connectTimeoutMs_ = milliseconds; }
void WHttp::SetStallTimeout(long seconds) { stallSeconds_ = seconds; }
void WHttp::SetCancelFlag(const std::atomic<bool>* cancelled) { cancelled_ = cancelled; }

bool WHttp::Open() {
    Close();
    handle_ = NewCurlHandle();
    return handle_ != nullptr;
}

void WHttp::Close() {
    if (handle_) curl_easy_cleanup(handle_);
    handle_ = nullptr;
}

WNetStep WHttp::Get(const std::string& path, const BodySink& sink) {
    status_ = 0;
    reason_.clear();
    error_.clear();
    if (!handle_) return WNetStep::Open;
    const std::string url = "http://" + site_ + (path.rfind('/', 0) == 0 ? "" : "/") + path;
    char errorBuffer[CURL_ERROR_SIZE] = "";
    curl_easy_reset(handle_);
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle_, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorBuffer);
    ApplyTimeouts(handle_, connectTimeoutMs_, stallSeconds_);
    WatchCancelFlag(handle_, cancelled_);
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &WHttp::OnHeader);
    curl_easy_setopt(handle_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &WHttp::OnBody);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, this);
    sink_ = &sink;
    sinkRefused_ = false;
    const CURLcode code = curl_easy_perform(handle_);
    sink_ = nullptr;
    curl_slist_free_all(headers);
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, nullptr);
    if (code == CURLE_OK) return WNetStep::None;
    error_ = *errorBuffer ? errorBuffer : curl_easy_strerror(code);
    if (code == CURLE_WRITE_ERROR && sinkRefused_) return WNetStep::Write;
    return StepOfFailure(code, handle_, status_ != 0);
}

// Keeps the status line's code and reason ("HTTP/1.1 404 Not Found").
std::size_t WHttp::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* http = static_cast<WHttp*>(self);
    const std::string line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
        int status = 0;
        int consumed = 0;
        if (std::sscanf(line.c_str(), "HTTP/%*s %d %n", &status, &consumed) >= 1) {
            http->status_ = status;
            std::string reason = consumed > 0 ? line.substr(consumed) : std::string();
            while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n')) reason.pop_back();
            http->reason_ = reason;
        }
    }
    return size * count;
}

std::size_t WHttp::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* http = static_cast<WHttp*>(self);
    const std::size_t bytes = size * count;
    if (http->status_ != 200) return bytes;   // a page about an error is no data
    if (http->sink_ && !(*http->sink_)(data, bytes)) {
        http->sinkRefused_ = true;
        return 0;
    }
    return bytes;
}
