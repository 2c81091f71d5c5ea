#pragma once
// A synchronous FTP client for one server and account: connect (and log in), put a file byte for
// byte (image type), disconnect. Any thread (one client per thread at a time).

#include <string>

#include "platform/net/WNetStep.h"

typedef void CURL;

class WFtp {
public:
    WFtp();
    ~WFtp();
    WFtp(const WFtp&) = delete;
    WFtp& operator=(const WFtp&) = delete;

    void SetServer(const std::string& host, int port);
    void SetAccount(const std::string& user, const std::string& password);
    void SetConnectTimeout(long milliseconds);
    void SetStallTimeout(long seconds);

    // Makes the client's handle; false when it cannot be made.
    bool Open();
    // Connects and logs in; false when the server cannot be reached or refuses the account.
    bool Connect();
    bool IsConnected() const { return connected_; }
    // Sends the local file to the remote name in the server's current folder, replacing a file
    // of that name; false when the server refuses it or the transfer breaks off.
    bool PutFile(const std::string& localPath, const std::string& remoteName);
    void Disconnect();
    void Close();
    const std::string& ErrorText() const { return error_; }

private:
    std::string Url(const std::string& remoteName) const;
    void Prepare(const std::string& url, char* errorBuffer);
    bool Perform(char* errorBuffer);

    CURL* handle_ = nullptr;
    std::string host_;
    int port_ = 21;
    std::string user_;
    std::string password_;
    long connectTimeoutMs_ = 1000;
    long stallSeconds_ = 20;
    bool connected_ = false;
    std::string error_;
};
