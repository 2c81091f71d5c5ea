#pragma once
// A synchronous HTTP client for one web site: a GET of a path whose body goes to the caller in
// the pieces it arrives in. Any thread (one client per thread at a time).

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/net/WNetStep.h"

typedef void CURL;

class WHttp {
public:
    // Answers false to stop the transfer.
    using BodySink = std::function<bool(const char* bytes, std::size_t size)>;

    WHttp();
    ~WHttp();
    WHttp(const WHttp&) = delete;
    WHttp& operator=(const WHttp&) = delete;

    void SetSite(const std::string& site);   // "host" or "host:port"
    void SetConnectTimeout(long milliseconds);
    void SetStallTimeout(long seconds);
    // Polled during the transfer; a set flag stops it (Cancelled).
    void SetCancelFlag(const std::atomic<bool>* cancelled);

    // Makes the client's handle; false when it cannot be made.
    bool Open();
    bool IsOpen() const { return handle_ != nullptr; }
    void Close();

    // GET of the path (with or without its leading "/"), always from the server, never from a
    // cache. Only the body of a 200 answer reaches the sink: any other status is no data, and
    // the caller reads it from Status() and Reason().
    WNetStep Get(const std::string& path, const BodySink& sink);
    long Status() const { return status_; }          // 0 before an answer came
    const std::string& Reason() const { return reason_; }   // "Not Found"
    const std::string& ErrorText() const { return error_; }  // libcurl's, after a failure

private:
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);

    CURL* handle_ = nullptr;
    std::string site_;
    long connectTimeoutMs_ = 1000;
    long stallSeconds_ = 20;
    const std::atomic<bool>* cancelled_ = nullptr;
    const BodySink* sink_ = nullptr;
    bool sinkRefused_ = false;
    long status_ = 0;
    std::string reason_;
    std::string error_;
};
