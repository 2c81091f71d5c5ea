#include "platform/report/FontMeasure.h"

#include <QPainter>
#include <QPointF>
#include <QStringView>
#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace {

constexpr int kTabStop = 8;           // characters
constexpr double kUnboundedWidth = 1e6;   // a line laid out without a width to fit

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
    QFont own(font, device);
    faces_.push_back({own, QFontMetricsF(own, device), QRawFont::fromFont(own)});
    // Without a face of its own to ask, the font stays whole and the system falls back.
    if (faces_.front().raw.isValid())
        for (const QFont& face : UprightFaces(own))
            faces_.push_back({QFont(face, device), QFontMetricsF(face, device), QRawFont::fromFont(face)});
    ascii_.fill(-1);
    asciiFace_.fill(-1);
}

double FontMeasure::Width(const QString& text) {
    return NeedsOtherFaces(text) ? LaidOutWidth(text) : faces_.front().metrics.horizontalAdvance(text);
}

bool FontMeasure::Fits(const QString& text, double width) {
    double sum = 0;
    for (QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) return false;
        sum += Advance(c);
    }
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
    if (!NeedsOtherFaces(line)) {
        painter.drawText(at, line);
        return;
    }
    QTextLayout layout(line, Font(), device_);
    LayOut(layout, painter.layoutDirection());
    layout.draw(&painter, QPointF(at.x(), at.y() - layout.lineAt(0).ascent()));
    painter.setFont(Font());
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

// A word or a grapheme: one character from the table of advances, more shaped.
double FontMeasure::WordWidth(QStringView word) {
    if (word.isEmpty()) return 0;
    if (word.size() == 1) return Advance(word.front());
    return Width(word.toString());
}

double FontMeasure::Advance(QChar c) {
    const char16_t code = c.unicode();
    if (code < ascii_.size()) {
        double& known = ascii_[code];
        if (known < 0) known = faces_[static_cast<std::size_t>(FaceOf(code))].metrics.horizontalAdvance(c);
        return known;
    }
    auto found = others_.find(code);
    if (found == others_.end()) {
        const int face = c.isSurrogate() ? 0 : FaceOf(code);
        found = others_.insert(code, faces_[static_cast<std::size_t>(face)].metrics.horizontalAdvance(c));
    }
    return *found;
}

// The first face that has the character; the font's own when none has it, for the system to
// find one.
int FontMeasure::FaceOf(char32_t code) {
    const auto find = [this](char32_t character) {
        if (faces_.size() == 1 || faces_.front().raw.supportsCharacter(character)) return 0;
        for (std::size_t face = 1; face < faces_.size(); ++face)
            if (faces_[face].raw.supportsCharacter(character)) return static_cast<int>(face);
        return 0;
    };
    if (code < asciiFace_.size()) {
        signed char& known = asciiFace_[code];
        if (known < 0) known = static_cast<signed char>(find(code));
        return known;
    }
    auto found = faceOf_.find(code);
    if (found == faceOf_.end()) found = faceOf_.insert(code, find(code));
    return *found;
}

bool FontMeasure::NeedsOtherFaces(QStringView text) {
    if (faces_.size() == 1) return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < asciiFace_.size() && asciiFace_[c.unicode()] == 0) continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (FaceOf(QChar::surrogateToUcs4(c, text[++i])) != 0) return true;
        } else if (!c.isSurrogate() && FaceOf(c.unicode()) != 0) {
            return true;
        }
    }
    return false;
}

// One line laid out with a font for each run of characters that its face has.
void FontMeasure::LayOut(QTextLayout& layout, Qt::LayoutDirection direction) {
    const QString& text = layout.text();
    QList<QTextLayout::FormatRange> runs;
    int runFace = 0;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype size = pair ? 2 : 1;
        const int face = pair ? FaceOf(QChar::surrogateToUcs4(text[i], text[i + 1]))
                         : text[i].isSurrogate() ? 0
                                                 : FaceOf(text[i].unicode());
        if (face != 0 && face == runFace && !runs.isEmpty() && runs.back().start + runs.back().length == i) {
            runs.back().length += static_cast<int>(size);
        } else if (face != 0) {
            QTextLayout::FormatRange run;
            run.start = static_cast<int>(i);
            run.length = static_cast<int>(size);
            run.format.setFont(faces_[static_cast<std::size_t>(face)].font);
            runs.append(run);
        }
        runFace = face;
        i += size;
    }
    layout.setFormats(runs);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(kUnboundedWidth);
    layout.endLayout();
}

double FontMeasure::LaidOutWidth(const QString& text) {
    QTextLayout layout(text, Font(), device_);
    LayOut(layout, Qt::LeftToRight);
    return layout.lineAt(0).horizontalAdvance();
}
