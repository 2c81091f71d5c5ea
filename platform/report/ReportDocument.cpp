#include "platform/report/ReportDocument.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cctype>
#include <chrono>
#include <cstdlib>

#include "platform/report/ReportReader.h"

namespace {

QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct LayoutFailure {
    std::string message;
};

std::string Escape(const std::string& literal) {
    std::string out;
    for (char c : literal) {
        if (c == '{' || c == '}') out += c;
        out += c;
    }
    return out;
}

std::string ValueText(const WDataValue& value, const ReportNumberFormat& format) {
    if (value.IsNull()) return {};
    if (!format.isNumber) return value.AsText();
    if (value.IsText()) {
        char* end = nullptr;
        const std::string text = value.AsText();
        const double d = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0') return text;
        return FormatReportNumber(d, format);
    }
    return FormatReportNumber(value.AsDouble(), format);
}

// Fills the fields of texts: the current row's columns first, then the parameters, then the
// first row of a named dataset; {page} and {pages} stay for the page bands.
class Fields {
public:
    Fields(const ReportDefinition& report, const ReportData& data) : report_(report), data_(data) {}

    void SetRow(const ReportRows* rows, const std::vector<WDataValue>* row) {
        rows_ = rows;
        row_ = row;
    }

    std::string Fill(const ReportText& text, bool keepPageFields = false) const {
        std::vector<ReportPiece> pieces;
        std::string error;
        if (!SplitReportText(text.text, pieces, error)) Fail(text.line, error);
        std::string out;
        for (const ReportPiece& piece : pieces) {
            if (!piece.isField) {
                out += keepPageFields ? Escape(piece.text) : piece.text;
                continue;
            }
            const std::string key = Lower(piece.text);
            if (key == "page" || key == "pages") {
                out += keepPageFields ? "{" + key + "}" : "";
                continue;
            }
            std::string value = Resolve(piece, text.line);
            out += keepPageFields ? Escape(value) : value;
        }
        return out;
    }

    const WDataValue& Column(const std::string& column, int line) const {
        const int index = rows_ ? rows_->Find(column) : -1;
        if (index < 0) Fail(line, "the table's dataset has no column \"" + column + "\"");
        return (*row_)[static_cast<std::size_t>(index)];
    }

    [[noreturn]] static void Fail(int line, const std::string& message) {
        throw LayoutFailure{"line " + std::to_string(line) + ": " + message};
    }

private:
    std::string Resolve(const ReportPiece& piece, int line) const {
        if (rows_ && row_) {
            const int index = rows_->Find(piece.text);
            if (index >= 0) return ValueText((*row_)[static_cast<std::size_t>(index)], piece.format);
        }
        if (report_.FindParameter(piece.text)) return ValueText(data_.Parameter(piece.text), piece.format);
        const auto dot = piece.text.find('.');
        if (dot != std::string::npos) {
            const ReportRows* rows = data_.Rows(piece.text.substr(0, dot));
            const std::string column = piece.text.substr(dot + 1);
            if (rows) {
                const int index = rows->Find(column);
                if (index < 0) Fail(line, "the dataset \"" + piece.text.substr(0, dot) + "\" has no column \"" + column + "\"");
                return rows->rows.empty() ? std::string() : ValueText(rows->rows.front()[static_cast<std::size_t>(index)], piece.format);
            }
        }
        Fail(line, "no column, parameter or dataset field named \"" + piece.text + "\"");
    }

    const ReportDefinition& report_;
    const ReportData& data_;
    const ReportRows* rows_ = nullptr;
    const std::vector<WDataValue>* row_ = nullptr;
};

// One line of a table as it will be laid out: a group heading, a note or a detail row.
struct TableLine {
    enum class Kind { Heading, Note, Detail } kind = Kind::Detail;
    int level = 0;
    std::string text;                 // heading and note
    std::vector<std::string> cells;   // detail
};

// Makes the bands of the report's body, in file order.
class Builder {
public:
    Builder(const ReportDefinition& report, const ReportData& data, ReportBands& out)
        : report_(report), data_(data), fields_(report, data), out_(out) {}

    void Run() {
        for (const ReportBlock& block : report_.body) {
            switch (block.kind) {
            case ReportBlock::Kind::Title: Paragraph(ReportBand::Kind::Title, fields_.Fill(block.text)); break;
            case ReportBlock::Kind::Text: Paragraph(ReportBand::Kind::Text, fields_.Fill(block.text)); break;
            case ReportBlock::Kind::Table: Table(block.table); break;
            }
        }
    }

private:
    void Paragraph(ReportBand::Kind kind, const std::string& text) { out_.bands.push_back({kind, -1, 0, {ToQt(text)}}); }

    std::vector<TableLine> Lines(const ReportTable& table, const ReportRows& rows) {
        std::vector<TableLine> lines;
        std::vector<std::string> keys(table.groups.size());
        std::vector<bool> open(table.groups.size(), false);
        const int whenIndex = table.when.empty() ? -1 : rows.Find(table.when);
        if (!table.when.empty() && whenIndex < 0)
            Fields::Fail(table.line, "the dataset \"" + table.dataset + "\" has no column \"" + table.when + "\"");
        std::vector<int> keyIndex, noteIndex, columnIndex;
        for (const ReportGroup& g : table.groups) {
            keyIndex.push_back(rows.Find(g.key));
            if (keyIndex.back() < 0) Fields::Fail(g.line, "the dataset \"" + table.dataset + "\" has no column \"" + g.key + "\"");
            noteIndex.push_back(g.note.empty() ? -1 : rows.Find(g.note));
            if (!g.note.empty() && noteIndex.back() < 0)
                Fields::Fail(g.line, "the dataset \"" + table.dataset + "\" has no column \"" + g.note + "\"");
        }
        for (const ReportColumn& c : table.columns) {
            columnIndex.push_back(rows.Find(c.column));
            if (columnIndex.back() < 0) Fields::Fail(c.line, "the dataset \"" + table.dataset + "\" has no column \"" + c.column + "\"");
        }
        for (const auto& row : rows.rows) {
            fields_.SetRow(&rows, &row);
            bool changed = false;
            for (std::size_t g = 0; g < table.groups.size(); ++g) {
                const WDataValue& key = row[static_cast<std::size_t>(keyIndex[g])];
                const bool isNull = key.IsNull();
                const std::string text = key.AsText();
                if (!changed && open[g] == !isNull && (isNull || keys[g] == text)) continue;
                changed = true;   // every inner group starts again under a new outer heading
                keys[g] = text;
                open[g] = !isNull;
                if (isNull) continue;
                lines.push_back({TableLine::Kind::Heading, static_cast<int>(g), fields_.Fill(table.groups[g].heading), {}});
                if (noteIndex[g] >= 0) {
                    const std::string note = row[static_cast<std::size_t>(noteIndex[g])].AsText();
                    if (!note.empty()) lines.push_back({TableLine::Kind::Note, static_cast<int>(g), note, {}});
                }
            }
            if (whenIndex >= 0 && row[static_cast<std::size_t>(whenIndex)].IsNull()) continue;
            bool inside = true;
            for (bool o : open) inside = inside && o;
            if (!inside) continue;   // a row of a group without a key prints no detail line
            TableLine detail;
            for (std::size_t c = 0; c < table.columns.size(); ++c)
                detail.cells.push_back(ValueText(row[static_cast<std::size_t>(columnIndex[c])], table.columns[c].format));
            lines.push_back(std::move(detail));
        }
        fields_.SetRow(nullptr, nullptr);
        return lines;
    }

    void Table(const ReportTable& table) {
        const ReportRows* rows = data_.Rows(table.dataset);
        static const ReportRows none;
        if (!rows) rows = &none;
        if (rows->rows.empty()) {
            if (!table.empty.text.empty()) Paragraph(ReportBand::Kind::Empty, fields_.Fill(table.empty));
            return;
        }
        if (!table.heading.text.empty()) {
            fields_.SetRow(rows, &rows->rows.front());
            Paragraph(ReportBand::Kind::TableHeading, fields_.Fill(table.heading));
            fields_.SetRow(nullptr, nullptr);
        }
        const std::vector<TableLine> lines = Lines(table, *rows);
        const int shape = static_cast<int>(out_.tables.size());
        out_.tables.push_back(Shape(table));
        ReportBand titles{ReportBand::Kind::ColumnTitles, shape, 0, {}};
        for (const ReportColumn& column : table.columns) titles.cells.push_back(ToQt(column.title));
        out_.bands.push_back(std::move(titles));
        for (const TableLine& line : lines) {
            ReportBand band{ReportBand::Kind::Detail, shape, line.level, {}};
            if (line.kind == TableLine::Kind::Detail) {
                for (const std::string& cell : line.cells) band.cells.push_back(ToQt(cell));
            } else {
                band.kind = line.kind == TableLine::Kind::Heading ? ReportBand::Kind::Heading : ReportBand::Kind::Note;
                band.cells.push_back(ToQt(line.text));
            }
            out_.bands.push_back(std::move(band));
        }
    }

    // Columns with a width keep it; the others share what is left.
    static ReportTableShape Shape(const ReportTable& table) {
        ReportTableShape shape;
        shape.depth = static_cast<int>(table.groups.size());
        int given = 0, open = 0;
        for (const ReportColumn& c : table.columns) {
            given += c.widthPercent;
            if (c.widthPercent == 0) ++open;
        }
        for (const ReportColumn& c : table.columns) {
            shape.widths.push_back((c.widthPercent ? c.widthPercent : (open ? (100.0 - given) / open : 0)) / 100.0);
            shape.align.push_back(c.align);
        }
        return shape;
    }

    const ReportDefinition& report_;
    const ReportData& data_;
    Fields fields_;
    ReportBands& out_;
};

double SecondsSince(std::chrono::steady_clock::time_point& since) {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - since).count();
    since = now;
    return seconds;
}

}  // namespace

bool ReportDocument::Build(const ReportDefinition& report, const ReportData& data, ReportFailure& failure) {
    name_ = report.name;
    landscape_ = report.landscape;
    bands_ = {};
    layouts_.clear();
    try {
        Fields fields(report, data);
        bands_.header = {fields.Fill(report.pageHeader.left, true), fields.Fill(report.pageHeader.center, true),
                         fields.Fill(report.pageHeader.right, true)};
        bands_.footer = {fields.Fill(report.pageFooter.left, true), fields.Fill(report.pageFooter.center, true),
                         fields.Fill(report.pageFooter.right, true)};
        Builder(report, data, bands_).Run();
    } catch (const LayoutFailure& layout) {
        failure = {ReportLayoutFailed, "The report '" + report.name + "' cannot be laid out: " + layout.message + "."};
        return false;
    }
    return true;
}

std::string ReportDocument::PlainText() const { return ReportLayout::PlainText(bands_); }

QPageLayout ReportDocument::PageLayout() const {
    const QPageSize size(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
    return QPageLayout(size, landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(15, 12, 15, 12),
                       QPageLayout::Millimeter);
}

const ReportLayout& ReportDocument::Layout(const QPageLayout& page) const {
    for (const std::unique_ptr<ReportLayout>& layout : layouts_)
        if (layout->Page().isEquivalentTo(page) && layout->Page().orientation() == page.orientation()) return *layout;
    layouts_.push_back(std::make_unique<ReportLayout>(bands_, page));
    return *layouts_.back();
}

int ReportDocument::Paint(QPagedPaintDevice& device, QPainter& painter) const {
    const ReportLayout& layout = Layout(device.pageLayout());
    std::vector<int> pages(static_cast<std::size_t>(layout.PageCount()));
    for (std::size_t page = 0; page < pages.size(); ++page) pages[page] = static_cast<int>(page);
    return Paint(device, painter, layout, pages) ? layout.PageCount() : 0;
}

bool ReportDocument::Paint(QPagedPaintDevice& device, QPainter& painter, const ReportLayout& layout,
                           const std::vector<int>& pages) const {
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        layout.DrawPageOn(device, painter, pages[i]);
    }
    return true;
}

bool ReportDocument::SaveAsPdf(const std::string& path, PdfTimes* times) const {
    auto since = std::chrono::steady_clock::now();
    PdfTimes spent;
    QPdfWriter writer(ToQt(path));
    writer.setPageLayout(PageLayout());
    writer.setResolution(600);
    writer.setTitle(ToQt(name_));
    writer.setCreator(QStringLiteral("Kestavo"));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    spent.open = SecondsSince(since);
    Layout(writer.pageLayout());
    spent.layout = SecondsSince(since);
    Paint(writer, painter);
    spent.draw = SecondsSince(since);
    const bool written = painter.end();
    spent.finish = SecondsSince(since);
    if (times) *times = spent;
    return written;
}
