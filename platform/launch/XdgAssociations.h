#pragma once
// Which program the desktop opens a type with: the XDG MIME Applications Associations
// (mimeapps.list in the config and data folders, then the applications' mimeinfo.cache) and the
// desktop entries they name. Folders come from XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME,
// XDG_DATA_DIRS and XDG_CURRENT_DESKTOP, with the XDG defaults.

#include <optional>
#include <string>
#include <vector>

struct DesktopEntry {
    std::string path;   // the .desktop file
    std::string exec;   // its Exec value, escapes of the value undone; empty when it has none
};

// The MIME types (with their aliases) that the desktop knows for a file-name extension such as
// ".html" or "html"; empty when it knows none.
std::vector<std::string> MimeTypesForExtension(const std::string& extension);

// The installed desktop entry of the default program of the first of the types that has one.
std::optional<DesktopEntry> FindDefaultApplication(const std::vector<std::string>& mimeTypes);

// Reads a desktop entry; nothing when the file cannot be read, is hidden, or is no application.
std::optional<DesktopEntry> ReadDesktopEntry(const std::string& path);
