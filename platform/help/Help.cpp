#include "platform/help/Help.h"

#include <regex>

#include "platform/help/HelpViewer.h"

std::optional<HelpTarget> ParseHelpTarget(const std::string& target) {
    HelpTarget result;
    const size_t separator = target.find("::");
    result.chmPath = target.substr(0, separator);
    if (result.chmPath.empty()) return std::nullopt;
    if (separator == std::string::npos) return result;
    std::string topic = target.substr(separator + 2);
    const size_t hash = topic.find('#');
    if (hash != std::string::npos) {
        result.anchor = topic.substr(hash + 1);
        topic.erase(hash);
    }
    result.page = topic;
    return result;
}

bool ShowHelpPage(const std::string& chmPath, const std::string& page, const std::string& anchor) {
    return HelpViewer::Instance().Show(QString::fromStdString(chmPath),
                                       QString::fromStdString(page),
                                       QString::fromStdString(anchor));
}

bool ShowHelpTarget(const std::string& target) {
    std::optional<HelpTarget> parsed = ParseHelpTarget(target);
    if (!parsed) return false;
    return ShowHelpPage(parsed->chmPath, parsed->page, parsed->anchor);
}

void CloseHelpViewer() {
    if (HelpViewer::Exists()) HelpViewer::Instance().close();
}

bool HtmlHasAnchor(const std::string& html, const std::string& anchor) {
    if (anchor.empty()) return true;
    const std::string quoted = std::regex_replace(anchor, std::regex(R"([.^$|()\[\]{}*+?\\])"),
                                                  R"(\$&)");
    // Tag and attribute names in any case; the anchor itself exactly, as the viewer matches it.
    const std::regex named(R"(<[aA]\s[^>]*\b[nN][aA][mM][eE]\s*=\s*["']?)" + quoted +
                           R"(["'\s>/])");
    return std::regex_search(html, named);
}
