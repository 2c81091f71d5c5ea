#include "platform/report/ReportReader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Lines with any of LF, CRLF or CR endings; a leading byte order mark is dropped.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

struct ReadFailure {
    int line;
    std::string message;
};

// The words of a statement line: bare words end at a blank, quoted ones at the closing quote
// (\" and \\ inside).
std::vector<std::string> Words(const std::string& line, int number) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') { ++i; continue; }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') { closed = true; break; }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) { word += line[i++]; continue; }
                word += c;
            }
            if (!closed) throw ReadFailure{number, "a quoted text is not closed"};
            if (i < line.size() && line[i] != ' ' && line[i] != '\t')
                throw ReadFailure{number, "a blank must follow a quoted text"};
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                if (line[i] == '"') throw ReadFailure{number, "a quote inside a word"};
                word += line[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

bool ParseWholeNumber(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

bool ParseReal(const std::string& text) {
    if (text.empty()) return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return *end == '\0';
}

class Parser {
public:
    explicit Parser(const std::string& text) : lines_(SplitLines(text)) {}

    ReportDefinition Run() {
        for (index_ = 0; index_ < lines_.size(); ++index_) {
            const std::string trimmed = Trim(lines_[index_]);
            if (trimmed.empty() || trimmed[0] == '#') continue;
            Statement(Words(trimmed, Number()));
        }
        if (table_) throw ReadFailure{table_->line, "the table is not closed with \"end\""};
        if (!seenReport_) throw ReadFailure{0, "the file is empty: it must start with a \"report\" line"};
        if (def_.body.empty()) throw ReadFailure{0, "the report shows nothing: it has no title, text or table"};
        return std::move(def_);
    }

private:
    int Number() const { return static_cast<int>(index_) + 1; }

    [[noreturn]] void Fail(const std::string& message) const { throw ReadFailure{Number(), message}; }

    void Expect(const std::vector<std::string>& w, std::size_t least, std::size_t most, const char* usage) const {
        if (w.size() < least || w.size() > most) Fail(std::string("expected: ") + usage);
    }

    ReportText Text(const std::string& text, bool rowContext) const {
        std::vector<ReportPiece> pieces;
        std::string error;
        if (!SplitReportText(text, pieces, error)) Fail(error);
        for (const ReportPiece& piece : pieces) {
            if (!piece.isField) continue;
            const std::string& name = piece.text;
            const auto dot = name.find('.');
            if (dot != std::string::npos && def_.FindDataset(name.substr(0, dot))) continue;
            if (def_.FindParameter(name)) continue;
            if (SameName(name, "page") || SameName(name, "pages")) continue;
            if (rowContext) continue;   // a column of the table's rows, known when it has run
            Fail("no parameter or dataset field named \"" + name + "\"");
        }
        return {text, Number()};
    }

    void Statement(const std::vector<std::string>& w) {
        const std::string keyword = Lower(w[0]);
        if (!seenReport_ && keyword != "report") Fail("the file must start with a \"report\" line");
        if (table_) return TableStatement(keyword, w);
        if (keyword == "report") {
            if (seenReport_) Fail("a second \"report\" line");
            Expect(w, 2, 2, "report <name>");
            def_.name = w[1];
            seenReport_ = true;
        } else if (keyword == "page") {
            Expect(w, 2, 2, "page portrait | landscape");
            const std::string o = Lower(w[1]);
            if (o != "portrait" && o != "landscape") Fail("the page is portrait or landscape, not \"" + w[1] + "\"");
            def_.landscape = o == "landscape";
        } else if (keyword == "parameter") {
            Parameter(w);
        } else if (keyword == "dataset") {
            Dataset(w);
        } else if (keyword == "pageheader" || keyword == "pagefooter") {
            Expect(w, 3, 3, "pageheader | pagefooter  left | center | right  <text>");
            ReportPageBand& band = keyword == "pageheader" ? def_.pageHeader : def_.pageFooter;
            const std::string where = Lower(w[1]);
            ReportText* slot = where == "left" ? &band.left : where == "center" ? &band.center
                             : where == "right" ? &band.right : nullptr;
            if (!slot) Fail("a page band has left, center and right, not \"" + w[1] + "\"");
            *slot = Text(w[2], false);
        } else if (keyword == "title" || keyword == "text") {
            Expect(w, 2, 2, (keyword + " <text>").c_str());
            ReportBlock block;
            block.kind = keyword == "title" ? ReportBlock::Kind::Title : ReportBlock::Kind::Text;
            block.text = Text(w[1], false);
            def_.body.push_back(std::move(block));
        } else if (keyword == "table") {
            Expect(w, 2, 2, "table <dataset>");
            if (!def_.FindDataset(w[1])) Fail("no dataset named \"" + w[1] + "\" before this table");
            ReportBlock block;
            block.kind = ReportBlock::Kind::Table;
            block.table.dataset = w[1];
            block.table.line = Number();
            def_.body.push_back(std::move(block));
            table_ = &def_.body.back().table;
        } else if (keyword == "end") {
            Fail("\"end\" without a table or dataset to close");
        } else {
            Fail("unknown statement \"" + w[0] + "\"");
        }
    }

    void Parameter(const std::vector<std::string>& w) {
        Expect(w, 3, 5, "parameter <name> integer | number | text [default <value>]");
        if (w.size() == 4) Fail("expected: parameter <name> <type> default <value>");
        ReportParameter p;
        p.name = w[1];
        p.line = Number();
        if (p.name.empty() || p.name.find_first_of("{}|") != std::string::npos)
            Fail("a parameter's name must not be empty or hold braces or '|'");
        if (def_.FindParameter(p.name)) Fail("a second parameter named \"" + p.name + "\"");
        const std::string type = Lower(w[2]);
        if (type == "integer") p.type = ReportParameterType::Integer;
        else if (type == "number") p.type = ReportParameterType::Number;
        else if (type == "text") p.type = ReportParameterType::Text;
        else Fail("a parameter is integer, number or text, not \"" + w[2] + "\"");
        if (w.size() == 5) {
            if (Lower(w[3]) != "default") Fail("expected \"default\" after the parameter's type");
            long whole = 0;
            if (p.type == ReportParameterType::Integer && !ParseWholeNumber(w[4], whole))
                Fail("the default of an integer parameter must be a whole number");
            if (p.type == ReportParameterType::Number && !ParseReal(w[4]))
                Fail("the default of a number parameter must be a number");
            p.hasDefault = true;
            p.defaultValue = w[4];
        }
        def_.parameters.push_back(std::move(p));
    }

    void Dataset(const std::vector<std::string>& w) {
        Expect(w, 2, 2, "dataset <name>");
        ReportDataset d;
        d.name = w[1];
        d.line = Number();
        if (d.name.find('.') != std::string::npos) Fail("a dataset's name must not hold a point");
        if (def_.FindDataset(d.name)) Fail("a second dataset named \"" + d.name + "\"");
        std::string sql;
        bool closed = false;
        for (++index_; index_ < lines_.size(); ++index_) {
            if (Lower(Trim(lines_[index_])) == "end") { closed = true; break; }
            sql += BindParameters(lines_[index_], d.parameterOrder);
            sql += '\n';
        }
        if (!closed) throw ReadFailure{d.line, "the dataset \"" + d.name + "\" is not closed with \"end\""};
        if (Trim(sql).find_first_not_of(" \t\n") == std::string::npos)
            throw ReadFailure{d.line, "the dataset \"" + d.name + "\" has no SQL"};
        d.sql = std::move(sql);
        def_.datasets.push_back(std::move(d));
    }

    // {name} outside quotes and comments becomes a '?' bound to that parameter. A block comment
    // or quote does not run on past its line.
    std::string BindParameters(const std::string& line, std::vector<int>& order) const {
        std::string out;
        char quote = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (quote) {
                out += c;
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '\'' || c == '"') { quote = c; out += c; continue; }
            if (c == '-' && i + 1 < line.size() && line[i + 1] == '-') { out += line.substr(i); break; }
            if (c != '{') { out += c; continue; }
            const auto close = line.find('}', i);
            if (close == std::string::npos) Fail("a parameter in braces is not closed");
            const std::string name = Trim(line.substr(i + 1, close - i - 1));
            const auto found = std::find_if(def_.parameters.begin(), def_.parameters.end(),
                                            [&](const ReportParameter& p) { return SameName(p.name, name); });
            if (found == def_.parameters.end()) Fail("no parameter named \"" + name + "\" (declare it before the dataset)");
            order.push_back(static_cast<int>(found - def_.parameters.begin()));
            out += '?';
            i = close;
        }
        return out;
    }

    void TableStatement(const std::string& keyword, const std::vector<std::string>& w) {
        ReportTable& t = *table_;
        if (keyword == "end") {
            Expect(w, 1, 1, "end");
            if (t.columns.empty()) throw ReadFailure{t.line, "the table has no columns"};
            table_ = nullptr;
        } else if (keyword == "heading" || keyword == "empty") {
            Expect(w, 2, 2, (keyword + " <text>").c_str());
            (keyword == "heading" ? t.heading : t.empty) = Text(w[1], keyword == "heading");
        } else if (keyword == "group") {
            Expect(w, 3, 5, "group <key column> <text> [note <column>]");
            if (w.size() == 4 || (w.size() == 5 && Lower(w[3]) != "note"))
                Fail("expected: group <key column> <text> note <column>");
            ReportGroup g;
            g.key = w[1];
            g.heading = Text(w[2], true);
            if (w.size() == 5) g.note = w[4];
            g.line = Number();
            t.groups.push_back(std::move(g));
        } else if (keyword == "column") {
            Column(w);
        } else if (keyword == "when") {
            Expect(w, 2, 2, "when <column>");
            t.when = w[1];
        } else {
            Fail("unknown statement \"" + w[0] + "\" in a table");
        }
    }

    void Column(const std::vector<std::string>& w) {
        if (w.size() < 3) Fail("expected: column <title> <column> [left | center | right] [width <percent>] [number <pattern> [up | nearest]]");
        ReportColumn c;
        c.title = w[1];
        c.column = w[2];
        c.line = Number();
        for (std::size_t i = 3; i < w.size(); ++i) {
            const std::string word = Lower(w[i]);
            if (word == "left") c.align = ReportAlign::Left;
            else if (word == "center") c.align = ReportAlign::Center;
            else if (word == "right") c.align = ReportAlign::Right;
            else if (word == "width") {
                long percent = 0;
                if (i + 1 >= w.size() || !ParseWholeNumber(w[i + 1], percent) || percent < 1 || percent > 100)
                    Fail("a column's width is a whole percent from 1 to 100");
                c.widthPercent = static_cast<int>(percent);
                ++i;
            } else if (word == "number") {
                if (i + 1 >= w.size() || !ReportReader::ParseNumberPattern(w[i + 1], c.format))
                    Fail("a number pattern is \"0\", or \"0.\" followed by '0's and then '#'s (\"0.##\")");
                ++i;
                if (i + 1 < w.size() && (Lower(w[i + 1]) == "up" || Lower(w[i + 1]) == "nearest")) {
                    c.format.rounding = Lower(w[i + 1]) == "up" ? ReportRounding::Up : ReportRounding::Nearest;
                    ++i;
                }
            } else {
                Fail("unknown column setting \"" + w[i] + "\"");
            }
        }
        int total = c.widthPercent;
        for (const ReportColumn& other : table_->columns) total += other.widthPercent;
        if (total > 100) Fail("the columns' widths add up to more than 100 percent");
        table_->columns.push_back(std::move(c));
    }

    std::vector<std::string> lines_;
    std::size_t index_ = 0;
    ReportDefinition def_;
    bool seenReport_ = false;
    ReportTable* table_ = nullptr;
};

}  // namespace

const ReportParameter* ReportDefinition::FindParameter(const std::string& name) const {
    for (const ReportParameter& p : parameters)
        if (SameName(p.name, name)) return &p;
    return nullptr;
}

const ReportDataset* ReportDefinition::FindDataset(const std::string& name) const {
    for (const ReportDataset& d : datasets)
        if (SameName(d.name, name)) return &d;
    return nullptr;
}

std::string ReportReadError::Text() const {
    return line > 0 ? "line " + std::to_string(line) + ": " + message : message;
}

std::optional<ReportDefinition> ReportReader::Read(const std::string& fileText) {
    error_ = {};
    try {
        Parser parser(fileText);
        return parser.Run();
    } catch (const ReadFailure& failure) {
        error_ = {failure.line, failure.message};
        return std::nullopt;
    }
}

bool ReportReader::ParseNumberPattern(const std::string& pattern, ReportNumberFormat& format) {
    if (pattern.empty() || pattern[0] != '0') return false;
    if (pattern == "0") {
        format = {true, 0, 0, format.rounding};
        return true;
    }
    if (pattern.size() < 3 || pattern[1] != '.') return false;
    int zeros = 0, hashes = 0;
    for (std::size_t i = 2; i < pattern.size(); ++i) {
        if (pattern[i] == '0' && hashes == 0) ++zeros;
        else if (pattern[i] == '#') ++hashes;
        else return false;
    }
    if (zeros + hashes > 6) return false;
    format.isNumber = true;
    format.minDecimals = zeros;
    format.maxDecimals = zeros + hashes;
    return true;
}

bool SplitReportText(const std::string& text, std::vector<ReportPiece>& pieces, std::string& error) {
    pieces.clear();
    std::string literal;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' && i + 1 < text.size() && text[i + 1] == '{') { literal += '{'; ++i; continue; }
        if (c == '}' && i + 1 < text.size() && text[i + 1] == '}') { literal += '}'; ++i; continue; }
        if (c == '}') { error = "a '}' without its '{' (write \"}}\" for a brace)"; return false; }
        if (c != '{') { literal += c; continue; }
        const auto close = text.find('}', i);
        if (close == std::string::npos) { error = "a field in braces is not closed"; return false; }
        std::string field = Trim(text.substr(i + 1, close - i - 1));
        ReportPiece piece;
        piece.isField = true;
        const auto bar = field.find('|');
        if (bar != std::string::npos) {
            std::string pattern = Trim(field.substr(bar + 1));
            field = Trim(field.substr(0, bar));
            const auto blank = pattern.find(' ');
            std::string rounding;
            if (blank != std::string::npos) {
                rounding = Lower(Trim(pattern.substr(blank + 1)));
                pattern = pattern.substr(0, blank);
            }
            if (!ReportReader::ParseNumberPattern(pattern, piece.format) ||
                (!rounding.empty() && rounding != "up" && rounding != "nearest")) {
                error = "the field \"" + field + "\" has a bad number pattern";
                return false;
            }
            if (rounding == "up") piece.format.rounding = ReportRounding::Up;
        }
        if (field.empty()) { error = "an empty field \"{}\""; return false; }
        if (!literal.empty()) pieces.push_back({false, std::move(literal), {}});
        literal.clear();
        piece.text = std::move(field);
        pieces.push_back(std::move(piece));
        i = close;
    }
    if (!literal.empty()) pieces.push_back({false, std::move(literal), {}});
    return true;
}

std::string FormatReportNumber(double value, const ReportNumberFormat& format) {
    if (!std::isfinite(value)) return {};
    const double scale = std::pow(10.0, format.maxDecimals);
    double scaled = value * scale;
    // Arithmetic leaves 1500 g x 0.001 a hair above 1.5: a value within a few units of the last
    // place of a shown digit is that digit, and only what is left over rounds up.
    const double whole = std::round(scaled);
    if (std::fabs(scaled - whole) <= 1e-9 * std::max(1.0, std::fabs(scaled))) scaled = whole;
    else if (format.rounding == ReportRounding::Up) scaled = std::ceil(scaled);
    // 2.345 is stored a hair below itself; the typed half still rounds away from zero.
    else scaled = std::round(scaled + std::copysign(1e-9 * std::max(1.0, std::fabs(scaled)), scaled));
    if (scaled == 0.0) scaled = 0.0;   // no "-0"
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", format.maxDecimals, scaled / scale);
    std::string out = text;
    if (format.maxDecimals > format.minDecimals) {
        const auto point = out.find('.');
        std::size_t keep = out.size();
        while (keep > point + 1 + static_cast<std::size_t>(format.minDecimals) && out[keep - 1] == '0') --keep;
        if (keep == point + 1) --keep;
        out.resize(keep);
    }
    return out == "-0" ? "0" : out;
}
