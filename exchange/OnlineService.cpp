#include "exchange/OnlineService.h"

#include "platform/net/WFtp.h"
#include "platform/net/WHttp.h"
#include "shell/WinStart.h"

NetSettings OnlineSettings() {
    const std::string folder = MainWindow ? MainWindow->programFolder : std::string();
    return ReadNetSettings(folder + NetSettingsFileName());
}

void ConfigureHttp(WHttp& http, const NetSettings& settings) {
    http.SetSite(settings.WebSite());
    http.SetConnectTimeout(settings.connectTimeoutMs);
    http.SetStallTimeout(settings.stallSeconds);
}

void ConfigureFtp(WFtp& ftp, const NetSettings& settings) {
    ftp.SetServer(settings.ftpHost, settings.ftpPort);
    ftp.SetAccount(settings.ftpUser, settings.ftpPassword);
    ftp.SetConnectTimeout(settings.connectTimeoutMs);
    ftp.SetStallTimeout(settings.stallSeconds);
}

std::string Trimmed(const std::string& text) {
    constexpr const char* WhiteSpace = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(WhiteSpace);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(WhiteSpace) - first + 1);
}
