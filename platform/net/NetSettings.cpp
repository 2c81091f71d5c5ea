#include "platform/net/NetSettings.h"

#include <charconv>
#include <fstream>

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

template <class Number>
void ReadNumber(const std::string& text, Number& target, Number lowest, Number highest) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size() && value >= lowest && value <= highest)
        target = value;
}

void Apply(NetSettings& settings, const std::string& key, const std::string& value) {
    if (key == "web_host" && !value.empty()) settings.webHost = value;
    else if (key == "web_port") ReadNumber(value, settings.webPort, 1, 65535);
    else if (key == "ftp_host" && !value.empty()) settings.ftpHost = value;
    else if (key == "ftp_port") ReadNumber(value, settings.ftpPort, 1, 65535);
    else if (key == "ftp_user") settings.ftpUser = value;
    else if (key == "ftp_password") settings.ftpPassword = value;
    else if (key == "connect_timeout_ms") ReadNumber(value, settings.connectTimeoutMs, 1L, 600000L);
    else if (key == "stall_seconds") ReadNumber(value, settings.stallSeconds, 1L, 3600L);
}

}  // namespace

std::string NetSettings::WebSite() const {
    return webPort == 80 ? webHost : webHost + ":" + std::to_string(webPort);
}

const char* NetSettingsFileName() { return "kvo_online.conf"; }

NetSettings ReadNetSettings(const std::string& path) {
    NetSettings settings;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string text = Trimmed(line);
        const auto equals = text.find('=');
        if (text.empty() || text[0] == '#' || equals == std::string::npos) continue;
        Apply(settings, Trimmed(text.substr(0, equals)), Trimmed(text.substr(equals + 1)));
    }
    return settings;
}
