#pragma once
// What a PDF written by the report shows, read back with poppler's pdftotext: the pages' lines
// as laid out, and every word with its box.

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace pdf_text {

inline std::string Run(const std::string& command) {
    std::string text;
    FILE* out = popen(command.c_str(), "r");
    if (!out) return text;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, out)) text.append(buffer, n);
    pclose(out);
    return text;
}

// The pages' text as pdftotext lays it out, one entry a page, each line with its runs of
// blanks made one blank and empty lines left out.
inline std::vector<std::vector<std::string>> Pages(const std::filesystem::path& pdf) {
    std::vector<std::vector<std::string>> pages(1);
    std::istringstream lines(Run("pdftotext -layout '" + pdf.string() + "' -"));
    std::string line;
    while (std::getline(lines, line)) {
        for (std::size_t feed; (feed = line.find('\f')) != std::string::npos;) {
            pages.emplace_back();
            line.erase(feed, 1);
        }
        std::istringstream words(line);
        std::string word, squeezed;
        while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
        if (!squeezed.empty()) pages.back().push_back(squeezed);
    }
    while (!pages.empty() && pages.back().empty()) pages.pop_back();
    return pages;
}

struct Word {
    int page = 0;   // from 0
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;   // in points from the sheet's top left
    std::string text;
};

struct Sheet {
    double width = 0, height = 0;
};

// Every word of every page with its box; the sheets' sizes into `sheets` when given.
inline std::vector<Word> Words(const std::filesystem::path& pdf, std::vector<Sheet>* sheets = nullptr) {
    const std::string html = Run("pdftotext -bbox '" + pdf.string() + "' -");
    static const std::regex tag(
        R"re(<page width="([0-9.]+)" height="([0-9.]+)">|<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<Word> words;
    int page = -1;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[1].matched) {
            ++page;
            if (sheets) sheets->push_back({std::stod(m[1]), std::stod(m[2])});
            continue;
        }
        std::string text = m[7];
        for (auto [entity, plain] : {std::pair{"&amp;", "&"}, std::pair{"&lt;", "<"}, std::pair{"&gt;", ">"},
                                     std::pair{"&quot;", "\""}, std::pair{"&apos;", "'"}})
            for (std::size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, std::string(entity).size(), plain);
        words.push_back({page, std::stod(m[3]), std::stod(m[4]), std::stod(m[5]), std::stod(m[6]), text});
    }
    return words;
}

// The number of pages pdfinfo counts, and the first page's size in points.
inline int PageCount(const std::filesystem::path& pdf, Sheet* size = nullptr) {
    const std::string info = Run("pdfinfo '" + pdf.string() + "'");
    std::smatch m;
    if (size && std::regex_search(info, m, std::regex(R"(Page size:\s+([0-9.]+) x ([0-9.]+) pts)")))
        *size = {std::stod(m[1]), std::stod(m[2])};
    return std::regex_search(info, m, std::regex(R"(Pages:\s+([0-9]+))")) ? std::stoi(m[1]) : -1;
}

}  // namespace pdf_text
