#include "platform/net/WFtp.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>

#include "platform/net/CurlTransfer.h"

WFtp::WFtp() = default;

WFtp::~WFtp() { Close(); }

void WFtp::SetServer(const std::string& host, int port) {
    host_ = host;
    port_ = port;
}

void WFtp::SetAccount(const std::string& user, const std::string& password) {
    user_ = user;
    password_ = password;
}

void WFtp::SetConnectTimeout(long milliseconds) { connectTimeoutMs_ = milliseconds; }
void WFtp::SetStallTimeout(long seconds) { stallSeconds_ = seconds; }

bool WFtp::Open() {
    Close();
    handle_ = NewCurlHandle();
    if (!handle_) error_ = "The FTP client could not be made.";
    return handle_ != nullptr;
}

void WFtp::Close() {
    Disconnect();
    if (handle_) curl_easy_cleanup(handle_);
    handle_ = nullptr;
}

std::string WFtp::Url(const std::string& remoteName) const {
    std::string url = "ftp://" + host_ + ":" + std::to_string(port_) + "/";
    if (char* escaped = curl_easy_escape(handle_, remoteName.c_str(), static_cast<int>(remoteName.size()))) {
        url += escaped;
        curl_free(escaped);
    }
    return url;
}

void WFtp::Prepare(const std::string& url, char* errorBuffer) {
    curl_easy_reset(handle_);
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(handle_, CURLOPT_USERNAME, user_.c_str());
    curl_easy_setopt(handle_, CURLOPT_PASSWORD, password_.c_str());
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorBuffer);
    ApplyTimeouts(handle_, connectTimeoutMs_, stallSeconds_);
}

bool WFtp::Perform(char* errorBuffer) {
    const CURLcode code = curl_easy_perform(handle_);
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, nullptr);
    if (code == CURLE_OK) return true;
    error_ = *errorBuffer ? errorBuffer : curl_easy_strerror(code);
    return false;
}

// libcurl logs in as part of its connection set-up; with CONNECT_ONLY it stops there.
bool WFtp::Connect() {
    error_.clear();
    if (!handle_) return false;
    char errorBuffer[CURL_ERROR_SIZE] = "";
    Prepare(Url(""), errorBuffer);
    curl_easy_setopt(handle_, CURLOPT_CONNECT_ONLY, 1L);
    connected_ = Perform(errorBuffer);
    return connected_;
}

bool WFtp::PutFile(const std::string& localPath, const std::string& remoteName) {
    error_.clear();
    if (!handle_ || !connected_) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(localPath.c_str(), "rb"), &std::fclose);
    if (!file) {
        error_ = "Could not open " + localPath;
        return false;
    }
    std::fseek(file.get(), 0, SEEK_END);
    const long size = std::ftell(file.get());
    std::rewind(file.get());
    char errorBuffer[CURL_ERROR_SIZE] = "";
    Prepare(Url(remoteName), errorBuffer);
    curl_easy_setopt(handle_, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle_, CURLOPT_TRANSFERTEXT, 0L);   // TYPE I: byte for byte
    curl_easy_setopt(handle_, CURLOPT_READDATA, file.get());
    if (size >= 0) curl_easy_setopt(handle_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    return Perform(errorBuffer);
}

// A fresh perform after CONNECT_ONLY opens a connection of its own; the connect-only one is
// closed with the handle, so disconnecting only forgets the login.
void WFtp::Disconnect() { connected_ = false; }
