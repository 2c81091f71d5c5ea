#pragma once
// A report made into bands of real text (titles, paragraphs, tables with their group headings),
// laid out once for each device resolution that asks and drawn page by page with the page
// header and footer of the report file: onto the preview's pages, a printer or a PDF writer.

#include <QPageLayout>
#include <map>
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

    // The pages for a device of that resolution, measured on the first call and kept.
    const ReportLayout& Layout(int dpi) const;

    // Paints every page, with its header and footer, onto a device whose painter is open;
    // answers the number of pages.
    int Paint(QPagedPaintDevice& device, QPainter& painter) const;

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
    mutable std::map<int, std::unique_ptr<ReportLayout>> layouts_;
};
