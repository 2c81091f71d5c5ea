#pragma once
// A report laid out as a QTextDocument of real text (titles, paragraphs, tables with their
// group headings), and painted page by page onto a printer or a PDF writer with the page
// header and footer of the report file.

#include <QPageLayout>
#include <QTextDocument>
#include <string>

#include "platform/report/ReportData.h"
#include "platform/report/ReportDefinition.h"

class QPagedPaintDevice;
class QPainter;

class ReportDocument {
public:
    // Builds the body; false, with the failure set, when the layout names a column or field
    // that its data does not have.
    bool Build(const ReportDefinition& report, const ReportData& data, ReportFailure& failure);

    const std::string& Name() const { return name_; }
    QTextDocument& Body() { return body_; }
    std::string PlainText() const;
    // A4 (or the locale's Letter) with 15 mm margins, in the report's orientation.
    QPageLayout PageLayout() const;

    // Paints every page, with its header and footer, onto a device whose painter is open;
    // answers the number of pages.
    int Paint(QPagedPaintDevice& device, QPainter& painter) const;
    // Writes the pages to a PDF file; false when the file cannot be written.
    bool SaveAsPdf(const std::string& path) const;

private:
    // A page band's text with every field but {page} and {pages} already filled in.
    struct Band {
        std::string left, center, right;
    };
    static std::string PageText(const std::string& text, int page, int pages);

    std::string name_;
    bool landscape_ = false;
    Band header_, footer_;
    QTextDocument body_;
};
