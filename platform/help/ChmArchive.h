#pragma once
// Read-only access to a compiled HTML Help file (.chm) through chmlib.

#include <optional>
#include <string>

struct chmFile;

class ChmArchive {
public:
    ChmArchive() = default;
    explicit ChmArchive(const std::string& path) { Open(path); }
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    bool Open(const std::string& path);   // closes a file opened before
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    // Paths inside the archive: "/page.htm", "page.htm" or "::/page.htm"; no fragment.
    bool Contains(const std::string& innerPath) const;
    std::optional<std::string> Read(const std::string& innerPath) const;

    // From the archive's #SYSTEM record: the page shown when no page is asked for, and the title.
    std::string DefaultTopic() const { return SystemEntry(2); }
    std::string Title() const { return SystemEntry(3); }

    // "/a/b.htm" joined with "../img/c.png" gives "/img/c.png"; an absolute link stays as it is.
    static std::string Normalize(const std::string& innerPath);
    static std::string Resolve(const std::string& fromPage, const std::string& link);

private:
    std::string SystemEntry(unsigned code) const;

    chmFile* file_ = nullptr;
    std::string path_;
};
