#pragma once
// The bands of a report measured once, in units of the page (a tenth of a point: 720 to the
// inch) with fonts of fixed pixel sizes and no hinting, and cut into pages: every band's height
// from QFontMetricsF (a text too wide for its cell wraps and grows its row; its own line breaks
// are kept), then page by page what goes where. A band taller than the room left is split line
// by line. A page that starts inside a table repeats the column titles, and the headings of the
// groups it starts inside, marked "(continued)"; a heading never ends a page: it goes whole, with
// its first row, onto a fresh page where it fits there under the repeats, and is split where it
// stands where not. Column titles too tall for a page with a row are left out. Drawing a page
// paints its bands straight with QPainter, the page header and footer with them; a device of any
// resolution scales the painter, so the screen, the printer and a PDF show the same pages.

#include <QPageLayout>
#include <QRectF>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

#include "platform/report/ReportBands.h"

class QPainter;
class QPaintDevice;

class ReportLayout {
public:
    // Units of the layout to the inch.
    static constexpr int kUnitsPerInch = 720;

    // Measures for the page layout's paper and printable area.
    ReportLayout(const ReportBands& bands, const QPageLayout& page);
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    const QPageLayout& Page() const { return page_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    QRectF PaperRect() const { return paper_; }           // the whole sheet, in layout units
    QRectF PrintableRect() const { return printable_; }   // inside the sheet
    QRectF BodyRect() const;                              // inside the printable area, between header and footer

    // Draws one page (counted from 0) with the painter's origin at the printable area's top left,
    // in layout units. Bands wholly outside `exposed` (in those units; empty: the whole page)
    // are passed by.
    void DrawPage(QPainter& painter, int page, const QRectF& exposed = QRectF()) const;
    // The same onto a paged device whose painter has its origin there: scaled to its resolution.
    void DrawPageOn(QPaintDevice& device, QPainter& painter, int page) const;

    // The text of the last line each page's body ends with (for comparing two paginations).
    std::vector<QString> LastLines() const;

    // The plain text of every band, one line to a paragraph, a heading and a cell, as the
    // report's text is compared and searched.
    static std::string PlainText(const ReportBands& bands);

    // A heading as the page that it continues onto repeats it, read in the heading's direction.
    static QString ContinuedHeading(const QString& heading);

    // The texts of a page band, cut with "..." to the boxes they may take (left, centre, right),
    // none overlapping another; the boxes are in layout units across the printable width.
    struct PageBandTexts {
        std::array<QString, 3> texts;
        std::array<QRectF, 3> boxes;
    };
    PageBandTexts HeaderTexts(int page) const;
    PageBandTexts FooterTexts(int page) const;

private:
    struct Fonts;
    struct Placed {
        int band = 0;
        double top = 0;      // from the top of the body area
        double height = 0;
        int wrap = -1;       // the band's lines in wraps_, -1: one line to a cell
        bool continued = false;
        int firstLine = 0;   // the part of the band's lines on this page
        int lines = -1;      // -1: all from firstLine
    };

    struct Cursor;
    // What a new page repeats: the column titles or not, and the open headings of some levels.
    struct Repeated {
        bool titles = false;
        std::size_t fromLevel = 0, toLevel = 0;
        double height = 0;
    };

    void Measure();
    void Paginate();
    void Place(Cursor& cursor, const Placed& placed);
    void PlaceSplit(Cursor& cursor, std::size_t index);
    double PartHeight(std::size_t band, int lines) const;
    double ChainGap(std::size_t band, std::size_t next) const;
    double LeastWith(std::size_t band, double room) const;
    double WholeWith(std::size_t band, double room) const;
    bool Splittable(std::size_t band, double room) const;
    double KeptHeight(std::size_t band, double room) const;
    bool TitlesFit(std::size_t titles) const;
    Placed ContinuedLine(int heading);
    Repeated Repeats(const Cursor& cursor, std::size_t next) const;
    double ContinuedHeight(const Cursor& cursor, std::size_t level) const;
    double FreshRoom(const Cursor& cursor, std::size_t next) const;
    double FreshRoomAfter(const Cursor& cursor, std::size_t index) const;
    void StartPage(Cursor& cursor, std::size_t next);
    void Track(Cursor& cursor, std::size_t index) const;
    double MeasureBand(const ReportBand& band, const std::vector<QString>& cells, int& wrap, int& lines);
    std::vector<QRectF> CellBoxes(const ReportBand& band, double top, double height) const;
    void DrawBand(QPainter& painter, const Placed& placed) const;
    PageBandTexts FitPageBand(const ReportPageTexts& texts, double top, int page) const;
    void DrawPageBand(QPainter& painter, const ReportPageTexts& texts, double top, int page, bool ruleBelow) const;

    const ReportBands& bands_;
    QPageLayout page_;
    QRectF paper_, printable_;
    double pageBand_ = 0, bodyHeight_ = 0;
    std::unique_ptr<Fonts> fonts_;
    std::vector<double> heights_;
    std::vector<int> wrapOf_;
    std::vector<int> linesOf_;
    std::vector<std::vector<QStringList>> wraps_;
    std::vector<std::vector<Placed>> pages_;
};
