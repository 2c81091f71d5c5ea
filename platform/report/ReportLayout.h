#pragma once
// The bands of a report measured for one device resolution and cut into pages: every band's
// height from QFontMetrics (a text too wide for its cell wraps and grows its row), then page by
// page what goes where. A page that starts inside a table repeats the column titles, and the
// headings of the groups it starts inside, marked "(continued)"; a heading never ends a page.
// Drawing a page paints its bands straight with QPainter, the page header and footer with them.

#include <QPageLayout>
#include <QRectF>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/report/ReportBands.h"

class QPainter;

class ReportLayout {
public:
    // Measures for a device of dpi dots per inch, with the page layout's printable area.
    ReportLayout(const ReportBands& bands, const QPageLayout& page, int dpi);
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    int Dpi() const { return dpi_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    QRectF PaperRect() const { return paper_; }           // the whole sheet, in device pixels
    QRectF PrintableRect() const { return printable_; }   // inside the sheet

    // Draws one page (counted from 0) with the painter's origin at the printable area's top left,
    // in pixels of this layout's resolution. Bands wholly outside `exposed` (in those pixels;
    // empty: the whole page) are passed by.
    void DrawPage(QPainter& painter, int page, const QRectF& exposed = QRectF()) const;

    // The plain text of every band, one line to a paragraph, a heading and a cell, as the
    // report's text is compared and searched.
    static std::string PlainText(const ReportBands& bands);

private:
    struct Fonts;
    struct Placed {
        int band = 0;
        double top = 0;      // from the top of the body area
        double height = 0;
        int wrap = -1;       // the band's lines in wraps_, -1: one line to a cell
        bool continued = false;
    };

    struct Cursor;

    void Measure();
    void Paginate();
    void Place(Cursor& cursor, const Placed& placed);
    double KeptHeight(std::size_t band) const;
    void StartPage(Cursor& cursor, const ReportBand& next);
    void Track(Cursor& cursor, std::size_t index);
    double MeasureBand(const ReportBand& band, const std::vector<QString>& cells, int& wrap);
    std::vector<QRectF> CellBoxes(const ReportBand& band, double top, double height) const;
    void DrawBand(QPainter& painter, const Placed& placed) const;
    void DrawPageBand(QPainter& painter, const ReportPageTexts& texts, double top, int page, bool ruleBelow) const;

    const ReportBands& bands_;
    int dpi_;
    QRectF paper_, printable_;
    double pageBand_ = 0, bodyHeight_ = 0;
    std::unique_ptr<Fonts> fonts_;
    std::vector<double> heights_;
    std::vector<int> wrapOf_;
    std::vector<std::vector<QStringList>> wraps_;
    std::vector<std::vector<Placed>> pages_;
};
