#pragma once
// Showing the help file. A help target is the help file's path joined with a topic, as the
// program's topic table gives it: "Kestavo.chm::/idh_trips.htm#IDH_EDIT_TRIP".
// GUI thread only. No Qt types, so that the program's own code can include it.

#include <optional>
#include <string>

struct HelpTarget {
    std::string chmPath;   // the compiled help file
    std::string page;      // "/idh_trips.htm"; empty: the file's default topic
    std::string anchor;    // "IDH_EDIT_TRIP"; empty: the top of the page
};

// Splits "file.chm::/page.htm#anchor"; a text without "::" names the file alone. Nothing for an
// empty file name.
std::optional<HelpTarget> ParseHelpTarget(const std::string& target);

// Shows the page in the help viewer, scrolled to the anchor, and brings the viewer forward.
// False when the file cannot be opened or holds no such page (the viewer then says so).
bool ShowHelpPage(const std::string& chmPath, const std::string& page, const std::string& anchor);
bool ShowHelpTarget(const std::string& target);

// Closes the help viewer when it is open; at exit, with the program's other windows.
void CloseHelpViewer();

// True when the HTML names the anchor with <a name="...">, the form the viewer scrolls to.
bool HtmlHasAnchor(const std::string& html, const std::string& anchor);
