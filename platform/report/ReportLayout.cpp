#include "platform/report/ReportLayout.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/report/ReportReader.h"

namespace {

// Lengths below are in pixels of 96 dots per inch, as the report's look was set on screen.
constexpr double kCellPadding = 2, kTopHeadingPadding = 4, kIndent = 14, kNumberGap = 8, kTitleRule = 0.8;

enum Role { Body, BodyBold, Title, Text, TableHeading, EmptyText, TopHeading, NoteText, PageBand, RoleCount };

QFont RoleFont(Role role) {
    struct Face {
        double points;
        bool bold, italic;
    };
    static constexpr Face faces[RoleCount] = {{9.5, false, false}, {9.5, true, false}, {15, true, false},
                                              {10, false, false},  {11, true, false},  {9.5, false, true},
                                              {10.5, true, false}, {9, false, true},   {8, false, false}};
    QFont font = QGuiApplication::font();
    font.setPointSizeF(faces[role].points);
    font.setBold(faces[role].bold);
    font.setItalic(faces[role].italic);
    // Latin text drawn without shaping has no ligatures, so a PDF's text reads "Coffee" and
    // "fl oz" letter for letter; unhinted glyphs measure alike at every resolution.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// How a band looks: its font, the space around a paragraph (margins meet as the larger of the
// two), a row's padding and indent, the grey of an outer heading, the rule under the titles.
struct BandStyle {
    Role role = Body;
    double marginTop = 0, marginBottom = 0;
    double padTop = 0, padBottom = 0;
    double indent = 0;
    bool shaded = false, ruled = false;
};

BandStyle StyleOf(const ReportBand& band) {
    switch (band.kind) {
    case ReportBand::Kind::Title: return {Title, 0, 8};
    case ReportBand::Kind::Text: return {Text, 0, 3};
    case ReportBand::Kind::TableHeading: return {TableHeading, 10, 3};
    case ReportBand::Kind::Empty: return {EmptyText, 6, 3};
    case ReportBand::Kind::ColumnTitles: return {BodyBold, 4, 0, kCellPadding, kCellPadding, 0, false, true};
    case ReportBand::Kind::Heading:
        if (band.level == 0) return {TopHeading, 0, 0, kTopHeadingPadding, kCellPadding, 0, true};
        return {BodyBold, 0, 0, kCellPadding, kCellPadding, band.level * kIndent};
    case ReportBand::Kind::Note: return {NoteText, 0, 0, kCellPadding, kCellPadding, (band.level + 1) * kIndent};
    case ReportBand::Kind::Detail: return {Body, 0, 0, kCellPadding, kCellPadding};
    }
    return {};
}

// Bands that must not end a page: they belong to what follows them.
bool KeepsWithNext(const ReportBand& band) {
    return band.kind == ReportBand::Kind::TableHeading || band.kind == ReportBand::Kind::ColumnTitles ||
           band.kind == ReportBand::Kind::Heading || band.kind == ReportBand::Kind::Note;
}

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString ContinuedText(const QString& heading) { return heading + QStringLiteral(" (continued)"); }

// A page band's text with {page} and {pages} filled in.
QString PageText(const std::string& text, int page, int pages) {
    std::vector<ReportPiece> pieces;
    std::string error;
    if (!SplitReportText(text, pieces, error)) return FromUtf8(text);
    std::string out;
    for (const ReportPiece& piece : pieces) {
        if (!piece.isField) out += piece.text;
        else out += std::to_string(FromUtf8(piece.text).compare(QLatin1String("page"), Qt::CaseInsensitive) == 0 ? page : pages);
    }
    return FromUtf8(out);
}

}  // namespace

// One font at the layout's resolution. Most cells are far narrower than their column: the sum
// of their characters' advances (kept as they are met) settles that without shaping the text.
class FontMeasure {
public:
    FontMeasure(const QFont& font, QPaintDevice* device) : font_(font, device), metrics_(font_, device) {
        ascii_.fill(-1);
    }

    const QFont& Font() const { return font_; }
    double Ascent() const { return metrics_.ascent(); }
    double LineSpacing() const { return metrics_.lineSpacing(); }
    double Width(const QString& text) const { return metrics_.horizontalAdvance(text); }

    bool Fits(const QString& text, double width) {
        double sum = 0;
        for (QChar c : text) sum += Advance(c);
        return sum <= width * 0.98 || Width(text) <= width;
    }

    // The text cut into lines no wider than the width, at blanks where it can, else anywhere.
    QStringList Wrap(const QString& text, double width) {
        QStringList lines;
        QString line;
        for (const QString& word : text.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (Width(candidate) <= width || candidate.isEmpty()) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty()) lines << line;
            line = word;
            while (line.size() > 1 && Width(line) > width) {
                qsizetype cut = line.size() - 1;
                while (cut > 1 && Width(line.left(cut)) > width) --cut;
                lines << line.left(cut);
                line = line.mid(cut);
            }
        }
        lines << line;
        return lines;
    }

private:
    double Advance(QChar c) {
        const char16_t code = c.unicode();
        if (code < ascii_.size()) {
            double& known = ascii_[code];
            if (known < 0) known = metrics_.horizontalAdvance(c);
            return known;
        }
        auto found = others_.find(code);
        if (found == others_.end()) found = others_.insert(code, metrics_.horizontalAdvance(c));
        return *found;
    }

    QFont font_;
    QFontMetricsF metrics_;
    std::array<double, 128> ascii_;
    QHash<char16_t, double> others_;
};

struct ReportLayout::Fonts {
    explicit Fonts(int dpi) : device(1, 1, QImage::Format_Mono) {
        const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
        device.setDotsPerMeterX(dotsPerMeter);
        device.setDotsPerMeterY(dotsPerMeter);
        for (int role = 0; role < RoleCount; ++role) roles.emplace_back(RoleFont(static_cast<Role>(role)), &device);
    }
    QImage device;   // measures as the device of that resolution will draw
    std::vector<FontMeasure> roles;
};

ReportLayout::ReportLayout(const ReportBands& bands, const QPageLayout& page, int dpi)
    : bands_(bands), dpi_(dpi), fonts_(std::make_unique<Fonts>(dpi)) {
    paper_ = QRectF(page.fullRectPixels(dpi));
    printable_ = QRectF(page.paintRectPixels(dpi));
    pageBand_ = fonts_->roles[PageBand].LineSpacing() * 2.2;
    bodyHeight_ = printable_.height() - 2 * pageBand_;
    Measure();
    Paginate();
}

ReportLayout::~ReportLayout() = default;

std::vector<QRectF> ReportLayout::CellBoxes(const ReportBand& band, double top, double height) const {
    const double scale = dpi_ / 96.0, width = printable_.width();
    const BandStyle style = StyleOf(band);
    if (!band.IsRow()) return {QRectF(0, top, width, height)};
    const double pad = kCellPadding * scale, textTop = top + style.padTop * scale;
    const double textHeight = height - (style.padTop + style.padBottom) * scale;
    if (band.kind == ReportBand::Kind::Heading || band.kind == ReportBand::Kind::Note) {
        const double indent = style.indent * scale;
        return {QRectF(pad + indent, textTop, std::max(1.0, width - 2 * pad - indent), textHeight)};
    }
    const ReportTableShape& shape = bands_.tables[static_cast<std::size_t>(band.table)];
    std::vector<QRectF> boxes;
    double left = 0;
    for (std::size_t c = 0; c < shape.widths.size(); ++c) {
        const double column = shape.widths[c] * width;
        const double indent = c == 0 ? shape.depth * kIndent * scale : 0;
        const double gap = shape.align[c] == ReportAlign::Right ? kNumberGap * scale : 0;
        boxes.emplace_back(left + pad + indent, textTop, std::max(1.0, column - 2 * pad - indent - gap), textHeight);
        left += column;
    }
    return boxes;
}

double ReportLayout::MeasureBand(const ReportBand& band, const std::vector<QString>& cells, int& wrap) {
    const BandStyle style = StyleOf(band);
    FontMeasure& font = fonts_->roles[style.role];
    const std::vector<QRectF> boxes = CellBoxes(band, 0, 0);
    std::size_t lines = 1;
    std::vector<QStringList> wrapped;
    for (std::size_t c = 0; c < cells.size() && c < boxes.size(); ++c) {
        if (font.Fits(cells[c], boxes[c].width())) continue;
        if (wrapped.empty())
            for (const QString& cell : cells) wrapped.push_back({cell});
        wrapped[c] = font.Wrap(cells[c], boxes[c].width());
        lines = std::max(lines, static_cast<std::size_t>(wrapped[c].size()));
    }
    wrap = -1;
    if (!wrapped.empty()) {
        wrap = static_cast<int>(wraps_.size());
        wraps_.push_back(std::move(wrapped));
    }
    return static_cast<double>(lines) * font.LineSpacing() + (style.padTop + style.padBottom) * dpi_ / 96.0;
}

void ReportLayout::Measure() {
    heights_.resize(bands_.bands.size());
    wrapOf_.resize(bands_.bands.size());
    for (std::size_t i = 0; i < bands_.bands.size(); ++i)
        heights_[i] = MeasureBand(bands_.bands[i], bands_.bands[i].cells, wrapOf_[i]);
}

// Where the pagination stands: how far down the page it is, the margin the last paragraph
// leaves, and what a page that a table runs onto must repeat.
struct ReportLayout::Cursor {
    double y = 0;
    double lastMargin = 0;
    bool afterTable = false;
    int titles = -1;                // the column titles of the table being placed, -1: none
    std::vector<int> openHeadings;  // of that table, by level; -1 for a level without one
};

void ReportLayout::Place(Cursor& cursor, const Placed& placed) {
    cursor.y += placed.height;
    pages_.back().push_back(placed);
}

// A heading goes with what follows it, up to the first row it heads (unless that is more
// than a page).
double ReportLayout::KeptHeight(std::size_t band) const {
    double needed = heights_[band];
    for (std::size_t next = band; next + 1 < heights_.size() && KeepsWithNext(bands_.bands[next]); ++next)
        needed += heights_[next + 1];
    return needed > bodyHeight_ ? heights_[band] : needed;
}

// A new page; one that a table's rows run onto starts with its column titles and the headings
// of the groups the next band lies inside, "(continued)".
void ReportLayout::StartPage(Cursor& cursor, const ReportBand& next) {
    pages_.emplace_back();
    cursor.y = 0;
    cursor.lastMargin = 0;
    if (!next.IsRow() || next.kind == ReportBand::Kind::ColumnTitles || cursor.titles < 0) return;
    const auto titles = static_cast<std::size_t>(cursor.titles);
    Place(cursor, {cursor.titles, cursor.y, heights_[titles], wrapOf_[titles]});
    const std::size_t inside = next.kind == ReportBand::Kind::Heading ? static_cast<std::size_t>(next.level)
                               : next.kind == ReportBand::Kind::Note  ? static_cast<std::size_t>(next.level) + 1
                                                                      : cursor.openHeadings.size();
    for (std::size_t level = 0; level < inside && level < cursor.openHeadings.size(); ++level) {
        const int heading = cursor.openHeadings[level];
        if (heading < 0) continue;
        const QString text = ContinuedText(bands_.bands[static_cast<std::size_t>(heading)].cells.front());
        Placed placed{heading, cursor.y, 0, -1, true};
        placed.height = MeasureBand(bands_.bands[static_cast<std::size_t>(heading)], {text}, placed.wrap);
        if (placed.wrap < 0) {   // drawn from wraps_ all the same, for its own text
            placed.wrap = static_cast<int>(wraps_.size());
            wraps_.push_back({{text}});
        }
        Place(cursor, placed);
    }
}

// What the band just placed opens or closes.
void ReportLayout::Track(Cursor& cursor, std::size_t index) {
    const ReportBand& band = bands_.bands[index];
    if (band.kind == ReportBand::Kind::ColumnTitles) {
        cursor.titles = static_cast<int>(index);
        cursor.openHeadings.clear();
    } else if (band.kind == ReportBand::Kind::Heading) {
        cursor.openHeadings.resize(static_cast<std::size_t>(band.level), -1);
        cursor.openHeadings.push_back(static_cast<int>(index));
    } else if (!band.IsRow()) {
        cursor.titles = -1;
        cursor.openHeadings.clear();
    }
    const bool last = index + 1 == bands_.bands.size();
    if (band.IsRow() && (last || !bands_.bands[index + 1].IsRow() ||
                         bands_.bands[index + 1].kind == ReportBand::Kind::ColumnTitles)) {
        cursor.afterTable = true;   // the table ends here
        cursor.lastMargin = 0;
    }
}

void ReportLayout::Paginate() {
    const double scale = dpi_ / 96.0;
    const double tableGap = fonts_->roles[Body].LineSpacing();   // the empty line after a table
    pages_.assign(1, {});
    Cursor cursor;
    for (std::size_t i = 0; i < bands_.bands.size(); ++i) {
        const ReportBand& band = bands_.bands[i];
        const BandStyle style = StyleOf(band);
        double gap = 0;
        if (!band.IsRow() || band.kind == ReportBand::Kind::ColumnTitles) {
            gap = std::max(cursor.lastMargin, style.marginTop * scale) + (cursor.afterTable ? tableGap : 0);
            cursor.lastMargin = style.marginBottom * scale;
            cursor.afterTable = false;
        }
        if (!pages_.back().empty() && cursor.y + gap + KeptHeight(i) > bodyHeight_) {
            StartPage(cursor, band);
            gap = 0;   // the top of a page takes no margin
        }
        if (pages_.back().empty()) gap = 0;
        cursor.y += gap;
        Place(cursor, {static_cast<int>(i), cursor.y, heights_[i], wrapOf_[i]});
        Track(cursor, i);
    }
}

void ReportLayout::DrawBand(QPainter& painter, const Placed& placed) const {
    const ReportBand& band = bands_.bands[static_cast<std::size_t>(placed.band)];
    const BandStyle style = StyleOf(band);
    const double top = pageBand_ + placed.top;
    const double scale = dpi_ / 96.0;
    if (style.shaded) painter.fillRect(QRectF(0, top, printable_.width(), placed.height), QColor(0xe6, 0xe6, 0xe6));
    if (style.ruled)
        painter.fillRect(QRectF(0, top + placed.height - kTitleRule * scale, printable_.width(), kTitleRule * scale),
                         Qt::black);
    FontMeasure& font = fonts_->roles[style.role];
    painter.setFont(font.Font());
    painter.setPen(Qt::black);
    const std::vector<QRectF> boxes = CellBoxes(band, top, placed.height);
    const ReportTableShape* shape =
        band.kind == ReportBand::Kind::Detail || band.kind == ReportBand::Kind::ColumnTitles
            ? &bands_.tables[static_cast<std::size_t>(band.table)]
            : nullptr;
    for (std::size_t c = 0; c < boxes.size() && c < band.cells.size(); ++c) {
        const ReportAlign align = shape ? shape->align[c] : ReportAlign::Left;
        const QStringList lines = placed.wrap >= 0 ? wraps_[static_cast<std::size_t>(placed.wrap)][c] : QStringList{band.cells[c]};
        double baseline = boxes[c].top() + font.Ascent();
        for (const QString& line : lines) {
            double x = boxes[c].left();
            if (align != ReportAlign::Left) {
                const double free = boxes[c].width() - font.Width(line);
                x += align == ReportAlign::Right ? free : free / 2;
            }
            if (!line.isEmpty()) painter.drawText(QPointF(x, baseline), line);
            baseline += font.LineSpacing();
        }
    }
}

void ReportLayout::DrawPageBand(QPainter& painter, const ReportPageTexts& texts, double top, int page,
                                bool ruleBelow) const {
    const FontMeasure& font = fonts_->roles[PageBand];
    const double width = printable_.width(), height = font.LineSpacing();
    const QRectF box(0, top, width, height);
    const int pages = PageCount();
    painter.setFont(font.Font());
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, PageText(texts.left, page, pages));
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, PageText(texts.center, page, pages));
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, PageText(texts.right, page, pages));
    const double y = ruleBelow ? top + height * 1.4 : top - height * 0.4;
    painter.setPen(QPen(Qt::gray, std::max(1.0, dpi_ / 150.0)));
    painter.drawLine(QPointF(0, y), QPointF(width, y));
}

void ReportLayout::DrawPage(QPainter& painter, int page, const QRectF& exposed) const {
    if (page < 0 || page >= PageCount()) return;
    painter.save();
    DrawPageBand(painter, bands_.header, 0, page + 1, true);
    for (const Placed& placed : pages_[static_cast<std::size_t>(page)]) {
        const QRectF box(0, pageBand_ + placed.top, printable_.width(), placed.height);
        if (exposed.isEmpty() || exposed.intersects(box)) DrawBand(painter, placed);
    }
    DrawPageBand(painter, bands_.footer, printable_.height() - fonts_->roles[PageBand].LineSpacing(), page + 1, false);
    painter.restore();
}

std::string ReportLayout::PlainText(const ReportBands& bands) {
    QString text;
    for (const ReportBand& band : bands.bands)
        for (const QString& cell : band.cells) text += cell + QLatin1Char('\n');
    return text.toStdString();
}
