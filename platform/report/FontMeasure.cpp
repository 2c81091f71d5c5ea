#include "platform/report/FontMeasure.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QStringView>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int kTabStop = 8;           // characters
constexpr double kUnboundedWidth = 1e6;   // a line laid out without a width to fit
// What UseOf answers: the face, and flags.
constexpr int kFaceMask = 3, kShaped = 4, kMark = 8, kColour = 16;

// A face whose glyphs are pictures (Noto Color Emoji's bitmaps, colour layers, SVG): the
// printer and the PDF writer draw glyphs as outlines, and these have none.
bool IsColourFace(const QRawFont& face) {
    for (const char* table : {"CBDT", "sbix", "COLR", "SVG "})
        if (!face.fontTable(table).isEmpty()) return true;
    return false;
}

// Whether a character starts or forces a run that reads right to left.
bool IsRightToLeft(QChar c) {
    switch (c.direction()) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirRLI: return true;
    default: return false;
    }
}

// The faces to fall back on, in the order they are tried: upright, then neither bold nor italic.
std::vector<QFont> UprightFaces(const QFont& font) {
    std::vector<QFont> faces;
    if (font.italic()) {
        QFont upright = font;
        upright.setItalic(false);
        faces.push_back(upright);
    }
    if (font.bold()) {
        QFont regular = font;
        regular.setItalic(false);
        regular.setBold(false);
        faces.push_back(regular);
    }
    return faces;
}

}  // namespace

FontMeasure::FontMeasure(const QFont& font, QPaintDevice* device) : device_(device) {
    const auto add = [this, device](const QFont& face) {
        QFont shaped(face, device);
        shaped.setStyleStrategy(QFont::StyleStrategy(face.styleStrategy() & ~QFont::PreferNoShaping));
        faces_.push_back({QFont(face, device), shaped, QFontMetricsF(face, device), QFontMetricsF(shaped, device),
                          QRawFont::fromFont(face)});
    };
    add(font);
    // Without a face of its own to ask, the font stays whole and the system falls back.
    if (faces_.front().raw.isValid())
        for (const QFont& face : UprightFaces(font)) add(face);
    ascii_.fill(-1);
    asciiUse_.fill(-1);
}

double FontMeasure::Width(const QString& text) {
    return NeedsLayout(text) ? LaidOutWidth(text) : faces_.front().metrics.horizontalAdvance(text);
}

bool FontMeasure::Fits(const QString& text, double width) {
    double sum = 0;
    bool plain = true;
    for (QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) return false;
        sum += Advance(c);
        plain = plain && c.unicode() < asciiUse_.size() && UseOf(c.unicode()) == 0;
    }
    // Joined letters are not as wide as the sum of their single forms: those lines are measured,
    // word by word as they are laid out (a blank is a run of its own, so the words' widths add
    // up to the line's), each word once for the whole report.
    if (!plain && NeedsLayout(text)) return WordsWidth(text) <= width;
    return sum <= width * 0.98 || Width(text) <= width;
}

QStringList FontMeasure::Wrap(const QString& text, double width) {
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < size && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r')) ++end;
        const QStringView paragraph = QStringView(text).sliced(start, end - start);
        if (paragraph.contains(QLatin1Char('\t'))) WrapParagraph(ExpandTabs(paragraph), width, lines);
        else WrapParagraph(paragraph, width, lines);
        if (end >= size) break;
        start = end + (text[end] == QLatin1Char('\r') && end + 1 < size && text[end + 1] == QLatin1Char('\n') ? 2 : 1);
        if (start >= size) break;   // a break at the very end opens no empty line
    }
    return lines;
}

QString FontMeasure::Elide(const QString& text, double width) {
    if (Width(text) <= width) return text;
    const QString dots = QStringLiteral("...");
    const double room = width - Width(dots);
    if (room < 0) return {};
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype kept = 0;
    double used = 0;
    for (qsizetype from = 0, to; (to = graphemes.toNextBoundary()) > 0; from = to) {
        used += WordWidth(QStringView(text).sliced(from, to - from));
        if (used > room) break;
        kept = to;
    }
    return text.left(kept) + dots;
}

void FontMeasure::Draw(QPainter& painter, const QPointF& at, const QString& line) {
    if (!NeedsLayout(line)) {
        painter.drawText(at, line);
        return;
    }
    QTextLayout layout(line, Font(), device_);
    const std::vector<int> uses = LayOut(layout);
    const QPointF origin(at.x(), at.y() - layout.lineAt(0).ascent());
    if (std::none_of(uses.begin(), uses.end(), [](int use) { return use & kColour; })) {
        layout.draw(&painter, origin);
    } else {
        DrawWithColourGlyphs(painter, layout, uses, origin);
    }
    painter.setFont(Font());
}

// A colour face's glyphs never reach the paint engine as text: a printer and a PDF draw them
// blank, and Qt's PDF writer, embedding such a face, changes its advances for every later
// layout. The line is drawn with a blank as wide in place of each run of them, and the glyphs
// as pictures, alike on the screen, on paper and in a PDF.
void FontMeasure::DrawWithColourGlyphs(QPainter& painter, const QTextLayout& layout, const std::vector<int>& uses,
                                       const QPointF& origin) {
    const QString& text = layout.text();
    QString standIn;
    std::vector<std::pair<int, double>> blanks;   // where the blanks stand in the stand-in, and how wide
    std::vector<QGlyphRun> colourRuns;
    for (std::size_t start = 0; start < uses.size();) {
        std::size_t end = start + 1;
        const bool colour = uses[start] & kColour;
        while (end < uses.size() && static_cast<bool>(uses[end] & kColour) == colour) ++end;
        if (!colour) {
            standIn += QStringView(text).sliced(static_cast<qsizetype>(start), static_cast<qsizetype>(end - start));
        } else {
            QRectF span;
            for (const QGlyphRun& run : layout.glyphRuns(static_cast<int>(start), static_cast<int>(end - start))) {
                span = span.united(GlyphBox(run));
                colourRuns.push_back(run);
            }
            blanks.emplace_back(static_cast<int>(standIn.size()), span.width());
            standIn += QLatin1Char(' ');
        }
        start = end;
    }
    QTextLayout drawn(standIn, Font(), device_);
    LayOut(drawn, blanks);
    drawn.draw(&painter, origin);
    for (const QGlyphRun& run : colourRuns) DrawGlyphsAsPicture(painter, run, origin);
}

// What a letter spacing adds to an advance in the layout: Qt scales it by a whole multiple of
// the device's resolution over 96 dpi.
double FontMeasure::LetterSpacingScale() {
    if (letterSpacingScale_ > 0) return letterSpacingScale_;
    constexpr double probe = 100;
    QFont wide = Font();
    wide.setLetterSpacing(QFont::AbsoluteSpacing, probe);
    QTextLayout layout(QStringLiteral(" "), wide, device_);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const double added = layout.lineAt(0).cursorToX(1) - Advance(QLatin1Char(' '));
    letterSpacingScale_ = added > 0 ? added / probe : 1;
    return letterSpacingScale_;
}

// The glyphs' box in the layout: their advances across, the face's ascent and descent down.
QRectF FontMeasure::GlyphBox(const QGlyphRun& run) {
    const QRawFont face = run.rawFont();
    const QList<QPointF> positions = run.positions();
    if (positions.isEmpty()) return {};
    const QList<QPointF> advances = face.advancesForGlyphIndexes(run.glyphIndexes());
    double left = positions.front().x(), right = left;
    for (qsizetype g = 0; g < positions.size(); ++g) {
        left = std::min(left, positions[g].x());
        right = std::max(right, positions[g].x() + (g < advances.size() ? advances[g].x() : 0));
    }
    const double baseline = positions.front().y();
    return QRectF(left, baseline - face.ascent(), right - left, face.ascent() + face.descent());
}

// Drawn on an image at the device's resolution, but at most the layout's: a colour face's
// bitmaps hold no more, and Qt does not scale them up.
void FontMeasure::DrawGlyphsAsPicture(QPainter& painter, const QGlyphRun& run, const QPointF& origin) {
    const QRectF box = GlyphBox(run).translated(origin);
    const double scale = std::min(1.0, std::sqrt(std::abs(painter.combinedTransform().determinant())));
    const QSize size = (box.size() * scale).toSize() + QSize(1, 1);
    if (box.isEmpty() || size.width() > 1 << 14 || size.height() > 1 << 14) return;
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter onPicture(&picture);
    onPicture.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    onPicture.scale(scale, scale);
    onPicture.translate(-box.topLeft());
    onPicture.setPen(painter.pen());
    onPicture.drawGlyphRun(origin, run);
    onPicture.end();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(box.topLeft(), QSizeF(size) / scale), picture);
    painter.restore();
}

QString FontMeasure::ExpandTabs(QStringView text) {
    if (!text.contains(QLatin1Char('\t'))) return text.toString();
    QString expanded;
    expanded.reserve(text.size() + 8 * kTabStop);
    qsizetype column = 0;
    for (QChar c : text) {
        if (c == QLatin1Char('\t')) {
            const qsizetype blanks = kTabStop - column % kTabStop;
            expanded.append(QString(blanks, QLatin1Char(' ')));
            column += blanks;
            continue;
        }
        expanded += c;
        column = c == QLatin1Char('\n') || c == QLatin1Char('\r') ? 0 : column + 1;
    }
    return expanded;
}

void FontMeasure::WrapParagraph(QStringView paragraph, double width, QStringList& lines) {
    QString line;
    double lineWidth = 0;
    bool started = false;
    const double blank = Advance(QLatin1Char(' '));
    qsizetype from = 0;
    const qsizetype size = paragraph.size();
    while (from <= size) {
        qsizetype to = from;
        while (to < size && paragraph[to] != QLatin1Char(' ')) ++to;
        const QStringView word = paragraph.sliced(from, to - from);
        from = to + 1;
        const double wordWidth = WordWidth(word);
        if (!started || lineWidth + blank + wordWidth <= width) {
            if (started && wordWidth <= width) {
                line += QLatin1Char(' ');
                line += word;
                lineWidth += blank + wordWidth;
                continue;
            }
            if (!started && wordWidth <= width) {
                line = word.toString();
                lineWidth = wordWidth;
                started = true;
                continue;
            }
        }
        if (started) lines << line;
        started = true;
        if (wordWidth <= width) {
            line = word.toString();
            lineWidth = wordWidth;
            continue;
        }
        BreakWord(word, width, lines, line, lineWidth);
    }
    lines << line;
}

// A word wider than the column, cut where the sum of its graphemes' widths passes the width;
// the last piece stays the open line.
void FontMeasure::BreakWord(QStringView word, double width, QStringList& lines, QString& line, double& lineWidth) {
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, word.data(), word.size());
    qsizetype pieceStart = 0;
    double pieceWidth = 0;
    for (qsizetype from = 0, to; (to = graphemes.toNextBoundary()) > 0; from = to) {
        const double cluster = WordWidth(word.sliced(from, to - from));
        if (pieceWidth + cluster > width && from > pieceStart) {
            lines << word.sliced(pieceStart, from - pieceStart).toString();
            pieceStart = from;
            pieceWidth = 0;
        }
        pieceWidth += cluster;
    }
    line = word.sliced(pieceStart).toString();
    lineWidth = pieceWidth;
}

// A word or a grapheme: one character from the table of advances, more shaped (and kept).
double FontMeasure::WordWidth(QStringView word) {
    if (word.isEmpty()) return 0;
    if (word.size() == 1) return Advance(word.front());
    QString key = word.toString();
    if (!NeedsLayout(key)) return faces_.front().metrics.horizontalAdvance(key);
    if (const auto found = laidOutWords_.constFind(key); found != laidOutWords_.cend()) return *found;
    const double width = LaidOutWidth(key);
    laidOutWords_.insert(std::move(key), width);
    return width;
}

double FontMeasure::WordsWidth(QStringView text) {
    double width = 0;
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype to = text.indexOf(QLatin1Char(' '), from);
        if (to < 0) to = text.size();
        width += WordWidth(text.sliced(from, to - from)) + (to < text.size() ? Advance(QLatin1Char(' ')) : 0);
        from = to + 1;
    }
    return width;
}

double FontMeasure::Advance(QChar c) {
    const char16_t code = c.unicode();
    if (code < ascii_.size()) {
        double& known = ascii_[code];
        if (known < 0) known = faces_[static_cast<std::size_t>(UseOf(code) & kFaceMask)].metrics.horizontalAdvance(c);
        return known;
    }
    auto found = others_.find(code);
    if (found == others_.end()) {
        const int face = c.isSurrogate() ? 0 : UseOf(code) & kFaceMask;
        found = others_.insert(code, faces_[static_cast<std::size_t>(face)].metrics.horizontalAdvance(c));
    }
    return *found;
}

// How a character is drawn: the first face that has it (the font's own when none has it, for
// the system to find one), and whether its script must be shaped. The font skips shaping, which
// keeps Latin text free of ligatures, but Arabic letters must join and Indic clusters form.
int FontMeasure::UseOf(char32_t code) {
    const auto find = [this](char32_t character) {
        int use = 0;
        if (faces_.front().raw.isValid() && !faces_.front().raw.supportsCharacter(character)) {
            for (std::size_t face = 1; face < faces_.size(); ++face)
                if (faces_[face].raw.supportsCharacter(character)) {
                    use = static_cast<int>(face);
                    break;
                }
            if (use == 0 && ComesFromAColourFace(character)) use |= kColour;
        }
        switch (QChar::script(character)) {
        case QChar::Script_Common:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Unknown: break;
        case QChar::Script_Inherited: use |= kMark; break;
        default: use |= kShaped; break;
        }
        return use;
    };
    if (code < asciiUse_.size()) {
        signed char& known = asciiUse_[code];
        if (known < 0) known = static_cast<signed char>(find(code));
        return known;
    }
    auto found = useOf_.find(code);
    if (found == useOf_.end()) found = useOf_.insert(code, find(code));
    return *found;
}

// Whether the system's fallback draws the character from a colour face.
bool FontMeasure::ComesFromAColourFace(char32_t character) {
    QTextLayout layout(QString::fromUcs4(&character, 1), Font(), device_);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return std::any_of(runs.begin(), runs.end(), [](const QGlyphRun& run) { return IsColourFace(run.rawFont()); });
}

// The use of each UTF-16 unit of the text; a combining mark goes with the character it marks.
// A bracket (any character with a mirror image) of a text that reads right to left somewhere is
// shaped: the bidi algorithm may resolve it right to left, and only shaping then mirrors it.
std::vector<int> FontMeasure::UsesOf(QStringView text) {
    std::vector<int> uses(static_cast<std::size_t>(text.size()), 0);
    int previous = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        int use = pair ? UseOf(QChar::surrogateToUcs4(text[i], text[i + 1]))
                  : text[i].isSurrogate() ? 0
                                          : UseOf(text[i].unicode());
        if (use & kMark) use = previous;
        uses[static_cast<std::size_t>(i)] = use;
        if (pair) uses[static_cast<std::size_t>(++i)] = use;
        previous = use;
    }
    if (std::any_of(text.begin(), text.end(), IsRightToLeft))
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text[i].hasMirrored()) uses[static_cast<std::size_t>(i)] |= kShaped;
    return uses;
}

bool FontMeasure::NeedsLayout(QStringView text) {
    const bool plain = std::all_of(text.begin(), text.end(), [this](QChar c) {
        return c.unicode() < asciiUse_.size() && UseOf(c.unicode()) == 0;
    });
    if (plain) return false;
    const std::vector<int> uses = UsesOf(text);
    return std::any_of(uses.begin(), uses.end(), [](int use) { return use != 0; });
}

// One line laid out with a font for each run of characters that another face draws or that
// must be shaped, and a blank for each of `blanks` as wide as it says. Answers each unit's use.
std::vector<int> FontMeasure::LayOut(QTextLayout& layout, const std::vector<std::pair<int, double>>& blanks) {
    const std::vector<int> uses = UsesOf(layout.text());
    QList<QTextLayout::FormatRange> runs;
    for (std::size_t i = 0; i < uses.size(); ++i) {
        const int use = uses[i];
        if (use == 0) continue;
        if (!runs.isEmpty() && i > 0 && uses[i - 1] == use && runs.back().start + runs.back().length == static_cast<int>(i)) {
            ++runs.back().length;
            continue;
        }
        const Face& face = faces_[static_cast<std::size_t>(use & kFaceMask)];
        QTextLayout::FormatRange run;
        run.start = static_cast<int>(i);
        run.length = 1;
        run.format.setFont(use & kShaped ? face.shaped : face.font);
        runs.append(run);
    }
    // A blank stretched to the width of what it stands for.
    for (const auto& [at, width] : blanks) {
        QFont wide = Font();
        wide.setLetterSpacing(QFont::AbsoluteSpacing, (width - Advance(QLatin1Char(' '))) / LetterSpacingScale());
        QTextLayout::FormatRange run;
        run.start = at;
        run.length = 1;
        run.format.setFont(wide);
        runs.append(run);
    }
    layout.setFormats(runs);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    // A line reads in the direction of its first strong character on every device: a widget's
    // painter says left to right, a printer's and a PDF writer's leave it to the text.
    option.setTextDirection(Qt::LayoutDirectionAuto);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(kUnboundedWidth);
    layout.endLayout();
    return uses;
}

// A text all of one run (most words) is measured in its font straight: a layout with formats
// costs several times as much.
double FontMeasure::LaidOutWidth(const QString& text) {
    const std::vector<int> uses = UsesOf(text);
    if (std::adjacent_find(uses.begin(), uses.end(), std::not_equal_to<>()) == uses.end() && !uses.empty()) {
        const Face& face = faces_[static_cast<std::size_t>(uses.front() & kFaceMask)];
        return (uses.front() & kShaped ? face.shapedMetrics : face.metrics).horizontalAdvance(text);
    }
    QTextLayout layout(text, Font(), device_);
    LayOut(layout);
    return layout.lineAt(0).horizontalAdvance();
}
