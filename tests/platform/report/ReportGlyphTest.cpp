// What the glyphs of a report look like on its page, through the real report control, the saved
// PDF drawn by poppler and the preview's own drawing: a bracket of right-to-left text is drawn
// mirrored in every role, as Qt's own shaped layout draws it; a colour emoji reaches the PDF
// and the preview alike instead of leaving a blank.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/report/FontMeasure.h"
#include "tests/platform/report/GroupsReportTest.h"
#include "tests/platform/report/PdfText.h"

namespace {

using namespace groups_report;

// The page's picture as poppler draws it from the PDF.
QImage PdfPage(const std::filesystem::path& pdf, int page, int dpi, const std::filesystem::path& stem) {
    const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -png -f " + std::to_string(page + 1) +
                                " -l " + std::to_string(page + 1) + " -singlefile '" + pdf.string() + "' '" +
                                stem.string() + "'";
    pdf_text::Run(command);
    return QImage(QString::fromStdString(stem.string() + ".png"));
}

// The sheet as the preview draws it: white paper, the page drawn at the printable area's
// top left, scaled to the resolution.
QImage PreviewPage(const ReportLayout& layout, int page, int dpi) {
    const double scale = dpi / static_cast<double>(ReportLayout::kUnitsPerInch);
    QImage sheet((layout.PaperRect().size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(layout.PrintableRect().topLeft());
    layout.DrawPage(painter, page);
    painter.end();
    return sheet;
}

bool IsInk(QRgb pixel) { return qGray(pixel) < 160; }

// A box of the page in points, in pixels of a picture of that resolution.
QRect Pixels(double xMin, double yMin, double xMax, double yMax, int dpi) {
    const double k = dpi / 72.0;
    return QRectF(QPointF(xMin * k, yMin * k), QPointF(xMax * k, yMax * k)).toAlignedRect();
}

// Which way the glyph in the columns points: a glyph that opens to the right ("(", "[", "«")
// has its ink further left halfway down than at its top and bottom (whose mean cancels the
// slant of italics); one that closes, the other way round.
enum class Facing { Opens, Closes, Unclear };

Facing FacingOf(const QImage& picture, const QRect& columns) {
    int top = columns.bottom(), bottom = columns.top();
    for (int y = columns.top(); y <= columns.bottom(); ++y)
        for (int x = columns.left(); x <= columns.right(); ++x)
            if (IsInk(picture.pixel(x, y))) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (bottom - top < 6) return Facing::Unclear;
    const auto meanX = [&](int from, int to) {
        double sum = 0;
        int count = 0;
        for (int y = from; y <= to; ++y)
            for (int x = columns.left(); x <= columns.right(); ++x)
                if (IsInk(picture.pixel(x, y))) {
                    sum += x;
                    ++count;
                }
        return count ? sum / count : 0.0;
    };
    const int height = bottom - top + 1;
    const double ends = (meanX(top, top + height / 6) + meanX(bottom - height / 6, bottom)) / 2;
    const double halfway = meanX(top + height * 5 / 12, top + height * 7 / 12);
    if (std::abs(ends - halfway) < 0.5) return Facing::Unclear;
    return halfway < ends ? Facing::Opens : Facing::Closes;
}

// The columns of the first glyph from the left (or from the right) of a box: ink up to the
// first column without any.
QRect EndGlyph(const QImage& picture, const QRect& box, bool fromLeft) {
    const QRect inside = box.intersected(picture.rect());
    const auto inked = [&](int x) {
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            if (IsInk(picture.pixel(x, y))) return true;
        return false;
    };
    const int step = fromLeft ? 1 : -1;
    int x = fromLeft ? inside.left() : inside.right();
    while (inside.contains(x, inside.top()) && !inked(x)) x += step;
    const int first = x;
    while (inside.contains(x, inside.top()) && inked(x)) x += step;
    const int last = x - step;
    return QRect(QPoint(std::min(first, last), inside.top()), QPoint(std::max(first, last), inside.bottom()));
}

bool IsBracket(char32_t c) { return c == '(' || c == ')' || c == '[' || c == ']' || c == 0xab || c == 0xbb; }

class ReportGlyphTest : public GroupsReportTest {};

// Read left to right along each line, the brackets drawn open and close in pairs. poppler gives
// each glyph of joined Arabic letters a box of its own, so most brackets stand alone; a
// bracketed Latin word is one box with a bracket at either end.
TEST_F(ReportGlyphTest, BracketsOfRightToLeftTextAreDrawnMirroredInEveryRole) {
    const std::string header = "رحلة (الصيف) [جبال] «٢٠٢٤» 2024";          // the page header
    const std::string heading = "شاي بالنعناع (feeds) [طازج] «ممتاز»";     // bold, a day's heading
    const std::string note = "ملاحظة [مهمة] «جدا» (حقا)";                   // italic
    const std::string cell = "زيت زيتون [بكر] ٥ لتر (ناعم) «ممتاز»";        // a cell
    Add({heading, "فطور", "Porridge", "Oats", note, cell});
    const ReportLayout* layout = Save(header);
    ASSERT_NE(layout, nullptr);

    constexpr int dpi = 300;
    const QImage page = PdfPage(Pdf(), 0, dpi, Folder().File("page"));
    ASSERT_FALSE(page.isNull());
    struct Drawn {
        double y, x;
        Facing facing;
    };
    std::vector<Drawn> brackets;
    for (const pdf_text::Word& word : pdf_text::Words(Pdf())) {
        const QList<uint> text = QString::fromStdString(word.text).normalized(QString::NormalizationForm_KC).toUcs4();
        if (word.page != 0 || text.isEmpty() || !IsBracket(text.front()) || !IsBracket(text.back())) continue;
        const QRect box = Pixels(word.xMin, word.yMin, word.xMax, word.yMax, dpi).adjusted(-2, -2, 2, 2);
        brackets.push_back({word.yMax, word.xMin, FacingOf(page, EndGlyph(page, box, true))});
        if (text.size() > 1) brackets.push_back({word.yMax, word.xMax, FacingOf(page, EndGlyph(page, box, false))});
    }
    ASSERT_EQ(brackets.size(), 2u * 4 * 3);   // (), [] and «» in the header, the heading, the note and a cell
    std::sort(brackets.begin(), brackets.end(), [](const Drawn& a, const Drawn& b) {
        return std::abs(a.y - b.y) > 3 ? a.y < b.y : a.x < b.x;
    });
    std::string line;
    double lineY = brackets.front().y;
    const auto expectPairs = [&line, &lineY] {
        for (std::size_t i = 0; i < line.size(); ++i) EXPECT_EQ(line[i], i % 2 ? ')' : '(') << "drawn: " << line << " at " << lineY << " pt";
    };
    for (const Drawn& bracket : brackets) {
        if (std::abs(bracket.y - lineY) > 3) {
            expectPairs();
            line.clear();
            lineY = bracket.y;
        }
        line += bracket.facing == Facing::Opens ? '(' : bracket.facing == Facing::Closes ? ')' : '?';
    }
    expectPairs();
}

// Qt's own shaped layout of the same line, with the report's font made to shape, draws the same
// pixels as the report's measure: Arabic, Hebrew, digits and blanks, and the brackets mirrored.
TEST(FontMeasureTest, ARightToLeftLineIsDrawnAsQtsOwnShapedLayoutDrawsIt) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(48);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setHintingPreference(QFont::PreferNoHinting);
    for (const char* text : {"سكر (ناعم)", "زيت زيتون [بكر] ٥ لتر", "«ممتاز» (٢)", "שלום (עולם) [טוב]"}) {
        for (bool bold : {false, true}) {
            font.setBold(bold);
            const QString line = QString::fromUtf8(text);
            QImage ours(900, 100, QImage::Format_ARGB32_Premultiplied), qts(ours.size(), ours.format());
            ours.fill(Qt::white);
            qts.fill(Qt::white);
            {
                QPainter painter(&ours);
                painter.setFont(font);
                FontMeasure measure(font, &ours);
                measure.Draw(painter, QPointF(10, 70), line);
            }
            {
                QFont shaped = font;
                shaped.setStyleStrategy(QFont::PreferDefault);
                QTextLayout layout(line, shaped, &qts);
                layout.beginLayout();
                layout.createLine();
                layout.endLayout();
                QPainter painter(&qts);
                layout.draw(&painter, QPointF(10, 70 - layout.lineAt(0).ascent()));
            }
            int differ = 0, ink = 0;
            for (int y = 0; y < ours.height(); ++y)
                for (int x = 0; x < ours.width(); ++x) {
                    ink += IsInk(qts.pixel(x, y));
                    differ += IsInk(ours.pixel(x, y)) != IsInk(qts.pixel(x, y));
                }
            ASSERT_GT(ink, 500) << text;
            EXPECT_LT(differ, ink / 100) << text << (bold ? " in bold" : "");
        }
    }
}

// The preview's widget paints left to right, a printer and a PDF writer leave the direction to
// the text: a line with right-to-left words must read the same on each, or the preview shows a
// "»" at the other end of the line than the paper.
TEST(FontMeasureTest, ALineIsDrawnAlikeWhateverThePaintersDirection) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(48);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setHintingPreference(QFont::PreferNoHinting);
    for (const char* text : {"سكر (ناعم) [بكر] «ممتاز»", "شاي بالنعناع (feeds 2)", "Tea «شاي» 🍎"}) {
        std::vector<QImage> drawn;
        for (Qt::LayoutDirection direction : {Qt::LayoutDirectionAuto, Qt::LeftToRight, Qt::RightToLeft}) {
            QImage picture(900, 100, QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            painter.setLayoutDirection(direction);
            painter.setFont(font);
            FontMeasure(font, &picture).Draw(painter, QPointF(10, 70), QString::fromUtf8(text));
            painter.end();
            drawn.push_back(picture);
        }
        EXPECT_TRUE(drawn[0] == drawn[1]) << text << ": left to right differs";
        EXPECT_TRUE(drawn[0] == drawn[2]) << text << ": right to left differs";
    }
}

// Whether a line fits is decided word by word, each word measured once; the sum must be the
// width of the line as it is laid out and drawn, or a cell runs over its column.
TEST(FontMeasureTest, ALineFitsTheWidthItIsDrawnInAndNoLess) {
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(28346);
    device.setDotsPerMeterY(28346);
    QFont font = QGuiApplication::font();
    font.setPixelSize(95);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setHintingPreference(QFont::PreferNoHinting);
    for (bool italic : {false, true}) {
        font.setItalic(italic);
        FontMeasure measure(font, &device);
        for (const char* text : {"مكون ابت (ناعم) [جاف]", "شاي بالنعناع (feeds 2)", "שלום עולם 12", "Coffee 🍎 office",
                                 "زيت  زيتون ٥ لتر", "AVA Wave (fine) «x»"}) {
            const QString line = QString::fromUtf8(text);
            const double width = measure.Width(line);
            EXPECT_TRUE(measure.Fits(line, width + 0.01)) << text;
            EXPECT_FALSE(measure.Fits(line, width - 1)) << text;
        }
    }
}

// Where the emoji stands, between two words of a line: coloured or dark pixels, in the PDF as
// poppler draws it at 150 dpi and in the preview's picture of the same page.
TEST_F(ReportGlyphTest, AColourEmojiIsDrawnOnThePdfAndThePreviewAlike) {
    Add({"Day 1", "Breakfast", "Porridge", "Oats", "Credit: 🍎🍎🍎🍎🍎🍎🍎🍎🍎 thanks", "A2 Apple 🍎 plain"});
    const ReportLayout* layout = Save("Trip 🏕️ camp");
    ASSERT_NE(layout, nullptr);

    constexpr int dpi = 150;
    const QImage pdf = PdfPage(Pdf(), 0, dpi, Folder().File("emoji"));
    const QImage preview = PreviewPage(*layout, 0, dpi);
    ASSERT_FALSE(pdf.isNull());
    ASSERT_LE((pdf.size() - preview.size()).width() + (pdf.size() - preview.size()).height(), 2);
    const std::vector<pdf_text::Word> words = pdf_text::Words(Pdf());
    const auto find = [&](const std::string& text) {
        const auto found = std::find_if(words.begin(), words.end(), [&](const pdf_text::Word& w) { return w.text == text; });
        EXPECT_NE(found, words.end()) << text;
        return found == words.end() ? pdf_text::Word{} : *found;
    };
    const auto inked = [](const QImage& picture, const QRect& box) {
        int count = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                count += qGray(c.rgb()) < 200 || c.saturation() > 60;
            }
        return count;
    };
    for (const auto& [before, after] : {std::pair{"Apple", "plain"}, std::pair{"Credit:", "thanks"}, std::pair{"Trip", "camp"}}) {
        const pdf_text::Word left = find(before), right = find(after);
        const QRect gap = Pixels(left.xMax, std::min(left.yMin, right.yMin), right.xMin,
                                 std::max(left.yMax, right.yMax), dpi).adjusted(1, 0, -1, 0);
        ASSERT_GT(gap.width(), 4) << before << " .. " << after;
        const int share = gap.width() * gap.height() / 10;
        EXPECT_GT(inked(pdf, gap), share) << "the PDF is blank between " << before << " and " << after;
        EXPECT_GT(inked(preview, gap), share) << "the preview is blank between " << before << " and " << after;
    }
}

}  // namespace
