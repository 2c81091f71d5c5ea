#include "platform/report/ReportDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextTable>
#include <cctype>
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

constexpr double kBodyPoints = 9.5;
constexpr double kIndentPoints = 14.0;

QTextCharFormat CharFormat(double points, bool bold, bool italic = false) {
    QTextCharFormat f;
    f.setFontPointSize(points);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    return f;
}

// One line of a table as it will be laid out: a group heading, a note or a detail row.
struct TableLine {
    enum class Kind { Heading, Note, Detail } kind = Kind::Detail;
    int level = 0;
    std::string text;                 // heading and note
    std::vector<std::string> cells;   // detail
};

class Builder {
public:
    Builder(const ReportDefinition& report, const ReportData& data, QTextDocument& doc)
        : report_(report), data_(data), fields_(report, data), doc_(doc), cursor_(&doc) {}

    void Run() {
        bool first = true;
        for (const ReportBlock& block : report_.body) {
            switch (block.kind) {
            case ReportBlock::Kind::Title: Paragraph(fields_.Fill(block.text), CharFormat(15, true), first, 0, 8); break;
            case ReportBlock::Kind::Text: Paragraph(fields_.Fill(block.text), CharFormat(kBodyPoints + 0.5, false), first, 0, 3); break;
            case ReportBlock::Kind::Table: Table(block.table, first); break;
            }
            first = false;
        }
    }

private:
    void Paragraph(const std::string& text, const QTextCharFormat& format, bool first, double top, double bottom,
                   Qt::Alignment align = Qt::AlignLeft) {
        QTextBlockFormat block;
        block.setTopMargin(top);
        block.setBottomMargin(bottom);
        block.setAlignment(align);
        if (first) {
            cursor_.setBlockFormat(block);
            cursor_.setBlockCharFormat(format);
        } else {
            cursor_.insertBlock(block, format);
        }
        cursor_.insertText(ToQt(text), format);
    }

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

    void Table(const ReportTable& table, bool first) {
        const ReportRows* rows = data_.Rows(table.dataset);
        static const ReportRows none;
        if (!rows) rows = &none;
        if (rows->rows.empty()) {
            if (!table.empty.text.empty())
                Paragraph(fields_.Fill(table.empty), CharFormat(kBodyPoints, false, true), first, 6, 3);
            return;
        }
        if (!table.heading.text.empty()) {
            fields_.SetRow(rows, &rows->rows.front());
            Paragraph(fields_.Fill(table.heading), CharFormat(11, true), first, 10, 3);
            fields_.SetRow(nullptr, nullptr);
            first = false;
        }
        const std::vector<TableLine> lines = Lines(table, *rows);
        if (first) cursor_.insertBlock();   // a table cannot be the document's first block
        const int columns = static_cast<int>(table.columns.size());
        QTextTableFormat format;
        format.setHeaderRowCount(1);
        format.setBorder(0);
        format.setCellSpacing(0);
        format.setCellPadding(2);
        format.setTopMargin(4);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        int given = 0, open = 0;
        for (const ReportColumn& c : table.columns) {
            given += c.widthPercent;
            if (c.widthPercent == 0) ++open;
        }
        QList<QTextLength> widths;
        for (const ReportColumn& c : table.columns)
            widths << QTextLength(QTextLength::PercentageLength,
                                  c.widthPercent ? c.widthPercent : (open ? (100.0 - given) / open : 0));
        format.setColumnWidthConstraints(widths);
        QTextTable* t = cursor_.insertTable(static_cast<int>(lines.size()) + 1, columns, format);

        const int depth = static_cast<int>(table.groups.size());
        const QTextCharFormat titleFormat = CharFormat(kBodyPoints, true);
        QTextBlockFormat ruled;
        for (int c = 0; c < columns; ++c) {
            const ReportColumn& column = table.columns[static_cast<std::size_t>(c)];
            QTextTableCell cell = t->cellAt(0, c);
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBottomBorder(0.8);
            cf.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            cf.setBottomBorderBrush(Qt::black);
            cell.setFormat(cf);
            WriteCell(cell, column.title, titleFormat, Align(column.align), c == 0 ? depth * kIndentPoints : 0);
        }
        const QTextCharFormat detailFormat = CharFormat(kBodyPoints, false);
        const QTextCharFormat noteFormat = CharFormat(kBodyPoints - 0.5, false, true);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            const TableLine& line = lines[i];
            if (line.kind == TableLine::Kind::Detail) {
                for (int c = 0; c < columns; ++c)
                    WriteCell(t->cellAt(r, c), line.cells[static_cast<std::size_t>(c)], detailFormat,
                              Align(table.columns[static_cast<std::size_t>(c)].align), c == 0 ? depth * kIndentPoints : 0);
                continue;
            }
            if (columns > 1) t->mergeCells(r, 0, 1, columns);
            QTextTableCell cell = t->cellAt(r, 0);
            if (line.kind == TableLine::Kind::Heading) {
                if (line.level == 0) {
                    QTextTableCellFormat cf = cell.format().toTableCellFormat();
                    cf.setBackground(QColor(0xe6, 0xe6, 0xe6));
                    cf.setTopPadding(4);
                    cell.setFormat(cf);
                }
                WriteCell(cell, line.text, CharFormat(line.level == 0 ? kBodyPoints + 1 : kBodyPoints, true),
                          Qt::AlignLeft, line.level * kIndentPoints);
            } else {
                WriteCell(cell, line.text, noteFormat, Qt::AlignLeft, (line.level + 1) * kIndentPoints);
            }
        }
        cursor_.movePosition(QTextCursor::End);
    }

    static Qt::Alignment Align(ReportAlign a) {
        return a == ReportAlign::Right ? Qt::AlignRight : a == ReportAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft;
    }

    static void WriteCell(const QTextTableCell& cell, const std::string& text, const QTextCharFormat& format,
                          Qt::Alignment align, double indent) {
        QTextCursor c = cell.firstCursorPosition();
        QTextBlockFormat block;
        block.setAlignment(align);
        block.setLeftMargin(indent);
        // A right-aligned number keeps its distance from the measure beside it.
        if (align & Qt::AlignRight) block.setRightMargin(8);
        c.setBlockFormat(block);
        c.insertText(ToQt(text), format);
    }

    const ReportDefinition& report_;
    const ReportData& data_;
    Fields fields_;
    QTextDocument& doc_;
    QTextCursor cursor_;
};

}  // namespace

bool ReportDocument::Build(const ReportDefinition& report, const ReportData& data, ReportFailure& failure) {
    name_ = report.name;
    landscape_ = report.landscape;
    body_.clear();
    QFont font = body_.defaultFont();
    font.setPointSizeF(kBodyPoints);
    body_.setDefaultFont(font);
    body_.setDocumentMargin(0);
    try {
        Fields fields(report, data);
        header_ = {fields.Fill(report.pageHeader.left, true), fields.Fill(report.pageHeader.center, true),
                   fields.Fill(report.pageHeader.right, true)};
        footer_ = {fields.Fill(report.pageFooter.left, true), fields.Fill(report.pageFooter.center, true),
                   fields.Fill(report.pageFooter.right, true)};
        Builder(report, data, body_).Run();
    } catch (const LayoutFailure& layout) {
        failure = {ReportLayoutFailed, "The report '" + report.name + "' cannot be laid out: " + layout.message + "."};
        return false;
    }
    return true;
}

std::string ReportDocument::PlainText() const { return body_.toPlainText().toStdString(); }

QPageLayout ReportDocument::PageLayout() const {
    const QPageSize size(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
    return QPageLayout(size, landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(15, 12, 15, 12),
                       QPageLayout::Millimeter);
}

std::string ReportDocument::PageText(const std::string& text, int page, int pages) {
    std::vector<ReportPiece> pieces;
    std::string error;
    if (!SplitReportText(text, pieces, error)) return text;
    std::string out;
    for (const ReportPiece& piece : pieces) {
        if (!piece.isField) out += piece.text;
        else out += std::to_string(Lower(piece.text) == "page" ? page : pages);
    }
    return out;
}

int ReportDocument::Paint(QPagedPaintDevice& device, QPainter& painter) const {
    // The body is laid out for this device, so that fonts measure as they will print.
    std::unique_ptr<QTextDocument> doc(body_.clone());
    doc->documentLayout()->setPaintDevice(&device);
    const QRectF paper = device.pageLayout().paintRectPixels(device.logicalDpiX());
    QFont bandFont = doc->defaultFont();
    bandFont.setPointSizeF(8);
    const QFontMetricsF metrics(bandFont, &device);
    const double band = metrics.height() * 2.2;
    const double width = paper.width();
    const double bodyHeight = paper.height() - 2 * band;
    doc->setPageSize(QSizeF(width, bodyHeight));
    const int pages = std::max(1, doc->pageCount());

    auto drawBand = [&](const Band& texts, double top, int page, bool ruleBelow) {
        const QRectF box(0, top, width, metrics.height());
        painter.setFont(bandFont);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, ToQt(PageText(texts.left, page, pages)));
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, ToQt(PageText(texts.center, page, pages)));
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, ToQt(PageText(texts.right, page, pages)));
        const double y = ruleBelow ? top + metrics.height() * 1.4 : top - metrics.height() * 0.4;
        painter.setPen(QPen(Qt::gray, std::max(1.0, device.logicalDpiX() / 150.0)));
        painter.drawLine(QPointF(0, y), QPointF(width, y));
    };

    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        drawBand(header_, 0, page + 1, true);
        painter.save();
        painter.translate(0, band - page * bodyHeight);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * bodyHeight, width, bodyHeight);
        painter.setClipRect(context.clip);
        context.palette.setColor(QPalette::Text, Qt::black);
        doc->documentLayout()->draw(&painter, context);
        painter.restore();
        drawBand(footer_, paper.height() - metrics.height(), page + 1, false);
    }
    return pages;
}

bool ReportDocument::SaveAsPdf(const std::string& path) const {
    QPdfWriter writer(ToQt(path));
    writer.setPageLayout(PageLayout());
    writer.setResolution(600);
    writer.setTitle(ToQt(name_));
    writer.setCreator(QStringLiteral("Kestavo"));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    Paint(writer, painter);
    return painter.end();
}
