#pragma once
// A report made into bands of real text (titles, paragraphs, tables with their group headings),
// laid out once for each page layout that asks (the report's own, or the paper a print dialog
// chose) and drawn page by page with the page header and footer of the report file: onto the
// preview's pages, a printer or a PDF writer, the same pages on each.

#include <QPageLayout>
#include <vector>
#include <memory>
#include <string>

#include "platform/report/ReportBands.h"
#include "platform/report/ReportData.h"
#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportLayout.h"

class QPagedPaintDevice;
class QPainter;

class ReportDocument {
public:
    ReportDocument() = default;
    // Its layouts refer to its bands.
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    // Builds the bands; false, with the failure set, when the layout names a column or field
    // that its data does not have.
    bool Build(const ReportDefinition& report, const ReportData& data, ReportFailure& failure);

    const std::string& Name() const { return name_; }
    const ReportBands& Bands() const { return bands_; }
    std::string PlainText() const;
    // A4 (or the locale's Letter) with 15 mm margins, in the report's orientation.
    QPageLayout PageLayout() const;

    // The pages for the report's page layout, or for another, measured on the first call and kept.
    const ReportLayout& Layout() const { return Layout(PageLayout()); }
    const ReportLayout& Layout(const QPageLayout& page) const;

    // Paints every page, with its header and footer, onto a device whose painter is open, laid
    // out for the device's page layout; answers the number of pages.
    int Paint(QPagedPaintDevice& device, QPainter& painter) const;
    // Paints those pages (from 0, in that order) of that layout; false when a new page fails.
    bool Paint(QPagedPaintDevice& device, QPainter& painter, const ReportLayout& layout,
               const std::vector<int>& pages) const;

    // Where the time of a PDF goes, in seconds.
    struct PdfTimes {
        double open = 0, layout = 0, draw = 0, finish = 0;   // they add up to the whole
    };
    // Writes the pages to a PDF file; false when the file cannot be written.
    bool SaveAsPdf(const std::string& path, PdfTimes* times = nullptr) const;

private:
    std::string name_;
    bool landscape_ = false;
    ReportBands bands_;
    mutable std::vector<std::unique_ptr<ReportLayout>> layouts_;
};
