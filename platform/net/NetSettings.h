#pragma once
// Where the maker's servers are: the web host of the food update and of the upload notice, and
// the FTP server that takes the uploaded food data. Built-in defaults, each of which a small
// configuration file beside the program may replace (so that tests and other installations can
// point the program at servers of their own):
//
//   # kvo_online.conf
//   web_host = 127.0.0.1
//   web_port = 8080
//   ftp_host = 127.0.0.1
//   ftp_port = 2121
//   ftp_user = kvoupload
//   ftp_password = pinetor
//   connect_timeout_ms = 1000
//   stall_seconds = 20
//
// Blank lines and lines that begin with '#' are skipped; an unknown key, a line without '=' or
// a number that does not read keeps the default.

#include <string>

struct NetSettings {
    std::string webHost = "www.kestavo.com";
    int webPort = 80;
    std::string ftpHost = "ftp.kestavo.com";
    int ftpPort = 21;
    std::string ftpUser = "kvoupload";
    std::string ftpPassword = "pinetor";
    // A connection that is not made in this time fails.
    long connectTimeoutMs = 1000;
    // A transfer that moves no byte for this long fails (a server that accepts and never answers).
    long stallSeconds = 20;

    // The web host as the program shows it and as addresses name it: "host", or "host:port"
    // when the port is not 80.
    std::string WebSite() const;
};

// "kvo_online.conf"
const char* NetSettingsFileName();
// The defaults, with what the file names in their place; the defaults alone when it is missing.
NetSettings ReadNetSettings(const std::string& path);
