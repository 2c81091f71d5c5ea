#include "exchange/UpdateInfo.h"

#include "exchange/OnlineService.h"

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

UpdateInfo ParseUpdateInfo(const std::string& text) {
    UpdateInfo info;
    std::size_t at = text.find(':');
    if (at == std::string::npos) return info;
    info.hasColon = true;
    ++at;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    const std::size_t digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    info.versionDigits = text.substr(digits, at - digits);
    while (at < text.size() && IsLineBreak(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !IsLineBreak(text[end])) ++end;
    if (end < text.size()) info.baseName = Trimmed(text.substr(at, end - at));
    return info;
}

bool RequiresNewerProgram(const std::string& versionDigits) {
    const auto first = versionDigits.find_first_not_of('0');
    if (first == std::string::npos) return false;
    const std::string significant = versionDigits.substr(first);
    const std::string ours = std::to_string(ProductVersionNumber);
    if (significant.size() != ours.size()) return significant.size() > ours.size();
    return significant > ours;
}

bool IsSafeUpdateName(const std::string& name) {
    if (name.empty() || name.find("..") != std::string::npos) return false;
    for (const char c : name) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '_' && c != '-' && c != '.') return false;
    }
    return true;
}
