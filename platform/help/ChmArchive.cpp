#include "platform/help/ChmArchive.h"

#include <chm_lib.h>

#include <algorithm>
#include <vector>

ChmArchive::~ChmArchive() { Close(); }

bool ChmArchive::Open(const std::string& path) {
    Close();
    file_ = chm_open(path.c_str());
    if (file_) path_ = path;
    return file_ != nullptr;
}

void ChmArchive::Close() {
    if (file_) chm_close(file_);
    file_ = nullptr;
    path_.clear();
}

bool ChmArchive::Contains(const std::string& innerPath) const {
    if (!file_) return false;
    chmUnitInfo info{};
    return chm_resolve_object(file_, Normalize(innerPath).c_str(), &info) == CHM_RESOLVE_SUCCESS;
}

std::optional<std::string> ChmArchive::Read(const std::string& innerPath) const {
    if (!file_) return std::nullopt;
    chmUnitInfo info{};
    if (chm_resolve_object(file_, Normalize(innerPath).c_str(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    std::string data(static_cast<size_t>(info.length), '\0');
    if (info.length == 0) return data;
    LONGINT64 got = chm_retrieve_object(file_, &info, reinterpret_cast<unsigned char*>(data.data()),
                                        0, static_cast<LONGINT64>(info.length));
    if (got != static_cast<LONGINT64>(info.length)) return std::nullopt;
    return data;
}

// Collapses "." and ".." and makes the path absolute inside the archive, as chmlib wants it.
std::string ChmArchive::Normalize(const std::string& innerPath) {
    std::string path = innerPath;
    if (path.rfind("::", 0) == 0) path.erase(0, 2);
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string ChmArchive::Resolve(const std::string& fromPage, const std::string& link) {
    if (link.rfind("::", 0) == 0 || link.rfind('/', 0) == 0) return Normalize(link);
    std::string folder = Normalize(fromPage);
    folder.erase(folder.rfind('/') + 1);
    return Normalize(folder + link);
}

// #SYSTEM is a 4-byte version followed by records of {uint16 code, uint16 length, data};
// text data ends with a NUL.
std::string ChmArchive::SystemEntry(unsigned code) const {
    std::optional<std::string> system = Read("/#SYSTEM");
    if (!system) return {};
    const std::string& s = *system;
    auto word = [&s](size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(s[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(s[at + 1])) << 8;
    };
    size_t at = 4;
    while (at + 4 <= s.size()) {
        unsigned entryCode = word(at), length = word(at + 2);
        at += 4;
        if (at + length > s.size()) break;
        if (entryCode == code) {
            std::string text = s.substr(at, length);
            text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
            return text;
        }
        at += length;
    }
    return {};
}
