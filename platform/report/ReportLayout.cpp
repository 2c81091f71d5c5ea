#include "platform/report/ReportLayout.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platform/report/FontMeasure.h"
#include "platform/report/ReportReader.h"

namespace {

// Lengths below are in pixels of 96 dots per inch, as the report's look was set on screen;
// kScale makes them layout units.
constexpr double kScale = ReportLayout::kUnitsPerInch / 96.0;
constexpr int kMinPartLines = 2;   // the fewest lines of a band on either side of a page break
constexpr double kNoLimit = std::numeric_limits<double>::infinity();   // the room of no page
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
    font.setPixelSize(static_cast<int>(std::lround(faces[role].points * ReportLayout::kUnitsPerInch / 72.0)));
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

// A text for a band of one line: its line breaks as blanks, its tabs expanded.
QString OneLine(const QString& text) {
    QString line = FontMeasure::ExpandTabs(text);
    for (QChar& c : line)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
    return line;
}

// A page band's text with {page} and {pages} filled in, on one line.
QString PageText(const std::string& text, int page, int pages) {
    std::vector<ReportPiece> pieces;
    std::string error;
    if (!SplitReportText(text, pieces, error)) return OneLine(FromUtf8(text));
    std::string out;
    for (const ReportPiece& piece : pieces) {
        if (!piece.isField) out += piece.text;
        else out += std::to_string(FromUtf8(piece.text).compare(QLatin1String("page"), Qt::CaseInsensitive) == 0 ? page : pages);
    }
    return OneLine(FromUtf8(out));
}

}  // namespace

// The fonts at fixed pixel sizes in layout units, measured on an image of that resolution;
// without hinting their advances scale with the painter, whatever it paints on.
struct ReportLayout::Fonts {
    Fonts() : device(1, 1, QImage::Format_Mono) {
        const int dotsPerMeter = static_cast<int>(std::lround(kUnitsPerInch / 0.0254));
        device.setDotsPerMeterX(dotsPerMeter);
        device.setDotsPerMeterY(dotsPerMeter);
        for (int role = 0; role < RoleCount; ++role) roles.emplace_back(RoleFont(static_cast<Role>(role)), &device);
    }
    QImage device;
    std::vector<FontMeasure> roles;
};

ReportLayout::ReportLayout(const ReportBands& bands, const QPageLayout& page)
    : bands_(bands), page_(page), fonts_(std::make_unique<Fonts>()) {
    paper_ = QRectF(page.fullRectPixels(kUnitsPerInch));
    printable_ = QRectF(page.paintRectPixels(kUnitsPerInch));
    pageBand_ = fonts_->roles[PageBand].LineSpacing() * 2.2;
    bodyHeight_ = printable_.height() - 2 * pageBand_;
    Measure();
    Paginate();
}

ReportLayout::~ReportLayout() = default;

QRectF ReportLayout::BodyRect() const { return QRectF(0, pageBand_, printable_.width(), bodyHeight_); }

std::vector<QRectF> ReportLayout::CellBoxes(const ReportBand& band, double top, double height) const {
    const double scale = kScale, width = printable_.width();
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

double ReportLayout::MeasureBand(const ReportBand& band, const std::vector<QString>& cells, int& wrap, int& lineCount) {
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
    lineCount = static_cast<int>(lines);
    return static_cast<double>(lines) * font.LineSpacing() + (style.padTop + style.padBottom) * kScale;
}

void ReportLayout::Measure() {
    heights_.resize(bands_.bands.size());
    wrapOf_.resize(bands_.bands.size());
    linesOf_.resize(bands_.bands.size());
    for (std::size_t i = 0; i < bands_.bands.size(); ++i)
        heights_[i] = MeasureBand(bands_.bands[i], bands_.bands[i].cells, wrapOf_[i], linesOf_[i]);
}

// Where the pagination stands: how far down the page it is, the margin the last paragraph
// leaves, and what a page that a table runs onto must repeat.
struct ReportLayout::Cursor {
    double y = 0;
    double pageTop = 0;             // below what a new page repeats
    double lastMargin = 0;
    bool afterTable = false;
    int titles = -1;                // the column titles of the table being placed, -1: none
    bool titlesFit = false;         // they are printed
    std::vector<int> openHeadings;  // of that table, by level; -1 for a level without one
};

void ReportLayout::Place(Cursor& cursor, const Placed& placed) {
    cursor.y += placed.height;
    pages_.back().push_back(placed);
}

double ReportLayout::PartHeight(std::size_t band, int lines) const {
    const BandStyle style = StyleOf(bands_.bands[band]);
    return lines * fonts_->roles[style.role].LineSpacing() + (style.padTop + style.padBottom) * kScale;
}

// Between two bands that go together, paragraphs keep the larger of their margins.
double ReportLayout::ChainGap(std::size_t band, std::size_t next) const {
    const ReportBand& below = bands_.bands[next];
    if (below.IsRow() && below.kind != ReportBand::Kind::ColumnTitles) return 0;
    return std::max(StyleOf(bands_.bands[band]).marginBottom, StyleOf(below).marginTop) * kScale;
}

// What must go onto one page with the band: it and what it keeps with it, up to the first row
// it heads (column titles that give way count nothing); of a band that may be split on a page
// with `room` below its repeats, the first lines.
double ReportLayout::LeastWith(std::size_t band, double room) const {
    double needed = 0;
    for (std::size_t next = band; next < heights_.size(); ++next) {
        if (next > band && bands_.bands[next].kind == ReportBand::Kind::ColumnTitles && !TitlesFit(next)) continue;
        if (next > band) needed += ChainGap(next - 1, next);
        if (Splittable(next, room)) return needed + PartHeight(next, kMinPartLines);
        needed += heights_[next];
        if (!KeepsWithNext(bands_.bands[next])) break;
    }
    return needed;
}

// The same with the band itself whole, what follows it on a page with `room` below its repeats.
double ReportLayout::WholeWith(std::size_t band, double room) const {
    if (!KeepsWithNext(bands_.bands[band]) || band + 1 >= heights_.size()) return heights_[band];
    return heights_[band] + ChainGap(band, band + 1) + LeastWith(band + 1, room);
}

// A band is split only where each part keeps at least two of its lines; a heading only where it
// cannot go whole, with what it keeps with it, onto a page whose body has `room` below its
// repeats. The headings below it count whole there: where one of them does not fit, neither
// does it.
bool ReportLayout::Splittable(std::size_t band, double room) const {
    if (linesOf_[band] < 2 * kMinPartLines) return false;
    if (bands_.bands[band].kind != ReportBand::Kind::Heading) return true;
    return room < kNoLimit && WholeWith(band, kNoLimit) > room + 1e-6;
}

// What must go with the band where that fits on a page with `room` below its repeats; else
// the band alone, or its first lines where it may be split.
double ReportLayout::KeptHeight(std::size_t band, double room) const {
    const double needed = LeastWith(band, room);
    if (needed <= room + 1e-6) return needed;
    return Splittable(band, room) ? PartHeight(band, kMinPartLines) : heights_[band];
}

// Column titles that do not fit on a page with what must follow them give way: they are not
// printed, so that no page holds only them or ends with them.
bool ReportLayout::TitlesFit(std::size_t titles) const {
    return WholeWith(titles, bodyHeight_ - heights_[titles]) <= bodyHeight_ + 1e-6;
}

// A repeated heading, "(continued)", on one line: cut with "..." where it is longer.
ReportLayout::Placed ReportLayout::ContinuedLine(int heading) {
    const ReportBand& band = bands_.bands[static_cast<std::size_t>(heading)];
    FontMeasure& font = fonts_->roles[StyleOf(band).role];
    const double width = CellBoxes(band, 0, 0).front().width();
    const QString own = OneLine(band.cells.front());
    QString text = ContinuedHeading(own);
    if (!font.Fits(text, width)) {
        const double words = font.Width(ContinuedHeading(QString()));
        text = font.Elide(ContinuedHeading(font.Elide(own, width - words)), width);
    }
    Placed placed{heading, 0, PartHeight(static_cast<std::size_t>(heading), 1), static_cast<int>(wraps_.size()), true, 0, 1};
    wraps_.push_back({{text}});
    return placed;
}

// What a page started for the band `next` repeats: the column titles of the table it lies in and
// the headings of the groups it lies inside, "(continued)". They take at most half the page, and
// leave the band what must go with it, so that the rows they head have room: the outermost
// headings give way first, then the titles.
ReportLayout::Repeated ReportLayout::Repeats(const Cursor& cursor, std::size_t next) const {
    Repeated repeated;
    const ReportBand& band = bands_.bands[next];
    if (!band.IsRow() || band.kind == ReportBand::Kind::ColumnTitles || cursor.titles < 0) return repeated;
    const std::size_t inside = band.kind == ReportBand::Kind::Heading ? static_cast<std::size_t>(band.level)
                               : band.kind == ReportBand::Kind::Note  ? static_cast<std::size_t>(band.level) + 1
                                                                      : cursor.openHeadings.size();
    const double titles = heights_[static_cast<std::size_t>(cursor.titles)];
    repeated.titles = cursor.titlesFit;
    repeated.toLevel = std::min(inside, cursor.openHeadings.size());
    repeated.height = repeated.titles ? titles : 0;
    for (std::size_t level = 0; level < repeated.toLevel; ++level) repeated.height += ContinuedHeight(cursor, level);
    auto crowded = [&] {
        const double room = bodyHeight_ - repeated.height;
        return repeated.height > bodyHeight_ / 2 + 1e-6 || LeastWith(next, room) > room + 1e-6;
    };
    for (; repeated.fromLevel < repeated.toLevel && crowded(); ++repeated.fromLevel)
        repeated.height -= ContinuedHeight(cursor, repeated.fromLevel);
    if (repeated.titles && crowded()) {
        repeated.titles = false;
        repeated.height -= titles;
    }
    return repeated;
}

// The open heading of that level, repeated on one line; 0 for a level without one.
double ReportLayout::ContinuedHeight(const Cursor& cursor, std::size_t level) const {
    const int heading = cursor.openHeadings[level];
    return heading < 0 ? 0 : PartHeight(static_cast<std::size_t>(heading), 1);
}

// The body a page started for the band `next` has below what it repeats.
double ReportLayout::FreshRoom(const Cursor& cursor, std::size_t next) const {
    return bodyHeight_ - Repeats(cursor, next).height;
}

// The same for the band after `index`, once `index` is placed.
double ReportLayout::FreshRoomAfter(const Cursor& cursor, std::size_t index) const {
    Cursor after = cursor;
    Track(after, index);
    return FreshRoom(after, index + 1);
}

// A new page, starting with what it repeats for the band `next`.
void ReportLayout::StartPage(Cursor& cursor, std::size_t next) {
    const Repeated repeated = Repeats(cursor, next);
    pages_.emplace_back();
    cursor.y = 0;
    if (repeated.titles) {
        const auto titles = static_cast<std::size_t>(cursor.titles);
        Place(cursor, {cursor.titles, 0, heights_[titles], wrapOf_[titles]});
    }
    for (std::size_t level = repeated.fromLevel; level < repeated.toLevel; ++level) {
        if (cursor.openHeadings[level] < 0) continue;
        Placed placed = ContinuedLine(cursor.openHeadings[level]);
        placed.top = cursor.y;
        Place(cursor, placed);
    }
    cursor.pageTop = cursor.y;
}

// The band whole where it fits; else as many of its lines as the page has room for, the rest
// on the next pages. A band that cannot keep two lines on each side of a break goes whole to
// the next page, where it is cut only when it is taller than the page. A band that belongs to
// the next one keeps its last lines with it. No line is placed below the body.
void ReportLayout::PlaceSplit(Cursor& cursor, std::size_t index) {
    const int total = linesOf_[index];
    const double lineHeight = fonts_->roles[StyleOf(bands_.bands[index]).role].LineSpacing();
    const double pads = PartHeight(index, 0);
    const bool splittable = linesOf_[index] >= 2 * kMinPartLines && Splittable(index, FreshRoom(cursor, index));
    const double after = KeepsWithNext(bands_.bands[index]) && index + 1 < heights_.size()
                             ? KeptHeight(index + 1, FreshRoomAfter(cursor, index))
                             : 0;
    int from = 0;
    for (;;) {
        const int rest = total - from;
        const double height = from == 0 ? heights_[index] : PartHeight(index, rest);
        const double room = bodyHeight_ - cursor.y;
        const bool fresh = cursor.y <= cursor.pageTop + 1e-6;
        const bool fits = height <= room + 1e-6;
        if (fits && (height + after <= room + 1e-6 || !splittable || rest <= kMinPartLines)) {
            Place(cursor, {static_cast<int>(index), cursor.y, height, wrapOf_[index], false, from, rest});
            return;
        }
        // Where the rest fits but strands what follows, this leaves its last lines to go with it.
        int fit = std::max(0, static_cast<int>(std::floor((room - pads + 1e-6) / lineHeight)));
        if (fresh) {
            fit = std::clamp(std::min(fit, rest - kMinPartLines), 1, rest);
        } else {
            fit = std::min(fit, rest - kMinPartLines);
            if (fit < kMinPartLines) fit = 0;
        }
        if (fit > 0) {
            Place(cursor, {static_cast<int>(index), cursor.y, PartHeight(index, fit), wrapOf_[index], false, from, fit});
            from += fit;
            if (from >= total) return;
        }
        StartPage(cursor, index);
    }
}

// What the band just placed opens or closes.
void ReportLayout::Track(Cursor& cursor, std::size_t index) const {
    const ReportBand& band = bands_.bands[index];
    if (band.kind == ReportBand::Kind::ColumnTitles) {
        cursor.titles = static_cast<int>(index);
        cursor.titlesFit = TitlesFit(index);
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
    const double tableGap = fonts_->roles[Body].LineSpacing();   // the empty line after a table
    pages_.assign(1, {});
    Cursor cursor;
    for (std::size_t i = 0; i < bands_.bands.size(); ++i) {
        const ReportBand& band = bands_.bands[i];
        if (band.kind == ReportBand::Kind::ColumnTitles && !TitlesFit(i)) {
            Track(cursor, i);
            continue;
        }
        const BandStyle style = StyleOf(band);
        const bool paragraph = !band.IsRow() || band.kind == ReportBand::Kind::ColumnTitles;
        double gap = 0;
        if (paragraph) gap = std::max(cursor.lastMargin, style.marginTop * kScale) + (cursor.afterTable ? tableGap : 0);
        // What goes with a band that keeps nothing with it does not depend on a fresh page's room.
        const double room = KeepsWithNext(band) ? FreshRoom(cursor, i) : bodyHeight_;
        if (!pages_.back().empty() && cursor.y + gap + KeptHeight(i, room) > bodyHeight_) StartPage(cursor, i);
        if (cursor.y <= cursor.pageTop + 1e-6) gap = 0;   // the top of a page takes no margin
        if (paragraph) {
            cursor.lastMargin = style.marginBottom * kScale;
            cursor.afterTable = false;
        }
        cursor.y += gap;
        PlaceSplit(cursor, i);
        Track(cursor, i);
    }
}

void ReportLayout::DrawBand(QPainter& painter, const Placed& placed) const {
    const ReportBand& band = bands_.bands[static_cast<std::size_t>(placed.band)];
    const BandStyle style = StyleOf(band);
    const double top = pageBand_ + placed.top;
    if (style.shaded) painter.fillRect(QRectF(0, top, printable_.width(), placed.height), QColor(0xe6, 0xe6, 0xe6));
    if (style.ruled)
        painter.fillRect(QRectF(0, top + placed.height - kTitleRule * kScale, printable_.width(), kTitleRule * kScale),
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
        const QStringList& lines =
            placed.wrap >= 0 ? wraps_[static_cast<std::size_t>(placed.wrap)][c] : QStringList{band.cells[c]};
        const qsizetype first = placed.firstLine;
        const qsizetype end =
            placed.lines < 0 ? lines.size() : std::min<qsizetype>(lines.size(), first + placed.lines);
        double baseline = boxes[c].top() + font.Ascent();
        for (qsizetype l = first; l < end; ++l) {
            const QString& line = lines[l];
            double x = boxes[c].left();
            if (align != ReportAlign::Left) {
                const double free = boxes[c].width() - font.Width(line);
                x += align == ReportAlign::Right ? free : free / 2;
            }
            if (!line.isEmpty()) font.Draw(painter, QPointF(x, baseline), line);
            baseline += font.LineSpacing();
        }
    }
}

// The centre text keeps the middle of the band, as wide as the wider side text leaves it (but
// a third of the band at least); the side texts share what is left beside it.
ReportLayout::PageBandTexts ReportLayout::FitPageBand(const ReportPageTexts& texts, double top, int page) const {
    FontMeasure& font = fonts_->roles[PageBand];
    const int pages = PageCount();
    const double width = printable_.width(), height = font.LineSpacing(), gap = 3 * kNumberGap * kScale;
    PageBandTexts fitted;
    fitted.texts = {PageText(texts.left, page, pages), PageText(texts.center, page, pages),
                    PageText(texts.right, page, pages)};
    QString& left = fitted.texts[0];
    QString& center = fitted.texts[1];
    QString& right = fitted.texts[2];
    double leftWidth = font.Width(left), rightWidth = font.Width(right);
    if (!center.isEmpty()) {
        const double sides = std::max(leftWidth, rightWidth);
        const double room = std::clamp(width - 2 * (sides + (sides > 0 ? gap : 0)), width / 3, width);
        center = font.Elide(center, room);
        const double centerWidth = center.isEmpty() ? 0 : font.Width(center);
        const double side = std::max(0.0, (width - centerWidth) / 2 - gap);
        left = font.Elide(left, side);
        right = font.Elide(right, side);
        fitted.boxes[1] = QRectF((width - centerWidth) / 2, top, centerWidth, height);
    } else if (leftWidth + rightWidth + gap > width) {
        const double half = (width - gap) / 2;
        if (leftWidth <= half) right = font.Elide(right, width - leftWidth - gap);
        else if (rightWidth <= half) left = font.Elide(left, width - rightWidth - gap);
        else {
            left = font.Elide(left, half);
            right = font.Elide(right, half);
        }
        fitted.boxes[1] = QRectF(width / 2, top, 0, height);
    } else {
        fitted.boxes[1] = QRectF(width / 2, top, 0, height);
    }
    leftWidth = left.isEmpty() ? 0 : font.Width(left);
    rightWidth = right.isEmpty() ? 0 : font.Width(right);
    fitted.boxes[0] = QRectF(0, top, leftWidth, height);
    fitted.boxes[2] = QRectF(width - rightWidth, top, rightWidth, height);
    return fitted;
}

ReportLayout::PageBandTexts ReportLayout::HeaderTexts(int page) const { return FitPageBand(bands_.header, 0, page + 1); }

ReportLayout::PageBandTexts ReportLayout::FooterTexts(int page) const {
    return FitPageBand(bands_.footer, printable_.height() - fonts_->roles[PageBand].LineSpacing(), page + 1);
}

void ReportLayout::DrawPageBand(QPainter& painter, const ReportPageTexts& texts, double top, int page,
                                bool ruleBelow) const {
    FontMeasure& font = fonts_->roles[PageBand];
    const PageBandTexts fitted = FitPageBand(texts, top, page);
    painter.setFont(font.Font());
    painter.setPen(Qt::black);
    const double baseline = top + font.Ascent();
    for (std::size_t i = 0; i < fitted.texts.size(); ++i)
        if (!fitted.texts[i].isEmpty()) font.Draw(painter, QPointF(fitted.boxes[i].left(), baseline), fitted.texts[i]);
    const double height = font.LineSpacing(), width = printable_.width();
    const double y = ruleBelow ? top + height * 1.4 : top - height * 0.4;
    painter.setPen(QPen(Qt::gray, std::max(1.0, kUnitsPerInch / 150.0)));
    painter.drawLine(QPointF(0, y), QPointF(width, y));
}

void ReportLayout::DrawPage(QPainter& painter, int page, const QRectF& exposed) const {
    if (page < 0 || page >= PageCount()) return;
    painter.save();
    DrawPageBand(painter, bands_.header, 0, page + 1, true);
    DrawPageBand(painter, bands_.footer, printable_.height() - fonts_->roles[PageBand].LineSpacing(), page + 1, false);
    painter.setClipRect(BodyRect(), painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    for (const Placed& placed : pages_[static_cast<std::size_t>(page)]) {
        const QRectF box(0, pageBand_ + placed.top, printable_.width(), placed.height);
        if (exposed.isEmpty() || exposed.intersects(box)) DrawBand(painter, placed);
    }
    painter.restore();
}

void ReportLayout::DrawPageOn(QPaintDevice& device, QPainter& painter, int page) const {
    painter.save();
    painter.scale(device.logicalDpiX() / static_cast<double>(kUnitsPerInch),
                  device.logicalDpiY() / static_cast<double>(kUnitsPerInch));
    DrawPage(painter, page);
    painter.restore();
}

std::vector<QString> ReportLayout::LastLines() const {
    std::vector<QString> last;
    for (const std::vector<Placed>& page : pages_) {
        QString text;
        if (!page.empty()) {
            const Placed& placed = page.back();
            const ReportBand& band = bands_.bands[static_cast<std::size_t>(placed.band)];
            const int total = linesOf_[static_cast<std::size_t>(placed.band)];
            const qsizetype line = (placed.lines < 0 ? total : placed.firstLine + placed.lines) - 1;
            for (std::size_t c = 0; c < band.cells.size(); ++c) {
                const QStringList lines =
                    placed.wrap >= 0 ? wraps_[static_cast<std::size_t>(placed.wrap)][c] : QStringList{band.cells[c]};
                if (line < lines.size() && !lines[line].isEmpty())
                    text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + lines[line];
            }
        }
        last.push_back(text);
    }
    return last;
}

std::string ReportLayout::PlainText(const ReportBands& bands) {
    QString text;
    for (const ReportBand& band : bands.bands)
        for (const QString& cell : band.cells) text += cell + QLatin1Char('\n');
    return text.toStdString();
}

// A left-to-right heading reads "Day 2 (continued)"; in a right-to-left one the words stand as
// one isolated run at its end, so they neither take its digits nor land inside it.
QString ReportLayout::ContinuedHeading(const QString& heading) {
    if (!heading.isRightToLeft()) return heading + QStringLiteral(" (continued)");
    return heading + QStringLiteral(" \u2066(continued)\u2069");
}
