#pragma once
// The window in which a report is shown: its pages as they will print, a zoom, and the
// commands Print... (through the printer dialog) and Save as PDF.... Modeless, without an owner,
// one per run; it deletes itself when closed.

#include <QWidget>
#include <memory>
#include <string>

#include "platform/report/ReportDocument.h"

class QComboBox;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;

class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(std::unique_ptr<ReportDocument> document);
    ~ReportPreview() override;

    // 0 shows the whole page; otherwise the percent of the page's real size.
    void SetZoom(int percent);
    int Zoom() const { return zoom_; }
    int PageCount() const;

    // Asks for a file through the prompter service and writes the PDF there.
    void SaveAsPdf();
    // Prints onto a printer already set up (the printer dialog's, or a test's PDF printer).
    bool PrintTo(QPrinter& printer);

    const ReportDocument& Document() const { return *document_; }

private:
    void Print();
    void PaintPages(QPrinter* printer);
    void ZoomChosen(int index);

    std::unique_ptr<ReportDocument> document_;
    std::unique_ptr<QPrinter> previewPrinter_;
    QPrintPreviewWidget* view_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QLabel* pages_ = nullptr;
    int zoom_ = 0;
};
