#pragma once
// One font of a report at the layout's resolution: measures, wraps, cuts and draws lines of text.
// Most cells are far narrower than their column: the sum of their characters' advances (kept as
// they are met) settles that without shaping the text.
//
// A character that the font's own face lacks (an italic face without Arabic, say) is measured
// and drawn in the family's upright face where that has it, else in whatever face the system
// falls back to. Text of a script that must be shaped (Arabic, the Indic scripts) is shaped;
// Latin text is not, so that it has no ligatures. A line that needs another face or shaping is
// laid out with one font per run, so that the screen, the paper and a PDF show every character,
// measured as drawn.
//
// A bracket in right-to-left text is mirrored where the bidi algorithm turns it, as Qt's own
// widgets show it. A glyph of a colour face (emoji) is drawn as a picture at the device's
// resolution, since printers and PDFs draw glyphs as outlines and such a face has none.
//
// A tab is drawn as the blanks that reach the next stop of eight characters, and measured so.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QRawFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <array>
#include <utility>
#include <vector>

class QGlyphRun;
class QPainter;
class QPaintDevice;
class QPointF;
class QTextLayout;

class FontMeasure {
public:
    FontMeasure(const QFont& font, QPaintDevice* device);

    const QFont& Font() const { return faces_.front().font; }
    double Ascent() const { return faces_.front().metrics.ascent(); }
    double LineSpacing() const { return faces_.front().metrics.lineSpacing(); }
    double Width(const QString& text);

    // Whether the text is one line no wider than the width.
    bool Fits(const QString& text, double width);

    // The text cut into lines no wider than the width: at its own line breaks (LF, CR LF, CR;
    // an empty line stays), at blanks where it can, else between two graphemes. Every word is
    // measured once, so a long text costs in proportion to its length. Tabs come back as blanks.
    QStringList Wrap(const QString& text, double width);

    // The text, or as much of it as fits with "..." after it.
    QString Elide(const QString& text, double width);

    // Draws one line (no line breaks, no tabs) with its baseline's left end at `at`.
    void Draw(QPainter& painter, const QPointF& at, const QString& line);

    // The text with each tab replaced by the blanks up to the next stop of eight characters,
    // counted from the start of its line.
    static QString ExpandTabs(QStringView text);

private:
    struct Face {
        QFont font;
        QFont shaped;   // the same, shaping its text
        QFontMetricsF metrics;
        QFontMetricsF shapedMetrics;
        QRawFont raw;   // what the face itself has, without the system's fallbacks
    };

    void WrapParagraph(QStringView paragraph, double width, QStringList& lines);
    void BreakWord(QStringView word, double width, QStringList& lines, QString& line, double& lineWidth);
    double WordWidth(QStringView word);
    double WordsWidth(QStringView text);
    double Advance(QChar c);
    int UseOf(char32_t code);
    std::vector<int> UsesOf(QStringView text);
    bool ComesFromAColourFace(char32_t character);
    bool NeedsLayout(QStringView text);
    std::vector<int> LayOut(QTextLayout& layout, const std::vector<std::pair<int, double>>& blanks = {});
    void DrawWithColourGlyphs(QPainter& painter, const QTextLayout& layout, const std::vector<int>& uses,
                              const QPointF& origin);
    double LetterSpacingScale();
    static QRectF GlyphBox(const QGlyphRun& run);
    static void DrawGlyphsAsPicture(QPainter& painter, const QGlyphRun& run, const QPointF& origin);
    double LaidOutWidth(const QString& text);

    QPaintDevice* device_;
    std::vector<Face> faces_;   // the font's own face first, then the upright faces to fall back on
    std::array<double, 128> ascii_;
    QHash<char16_t, double> others_;
    std::array<signed char, 128> asciiUse_;
    QHash<char32_t, int> useOf_;
    QHash<QString, double> laidOutWords_;
    double letterSpacingScale_ = 0;
};
