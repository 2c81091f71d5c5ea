#pragma once
// The window in which a report is shown: its pages as they will print, one under the other, a
// zoom, and the commands Print... (through the printer dialog) and Save as PDF.... It opens with
// the first page at once: a page is drawn only when it scrolls into view. Esc closes it; End and
// Home go to the last and the first page.
// Modeless, without an owner, one per run; it deletes itself when closed.

#include <QWidget>
#include <memory>
#include <string>

#include "platform/report/ReportDocument.h"

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class ReportPagesView;

class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(std::unique_ptr<ReportDocument> document);
    ~ReportPreview() override;

    // 0 shows the whole page; otherwise the percent of the page's real size.
    void SetZoom(int percent);
    int Zoom() const { return zoom_; }
    int PageCount() const;
    // The page at the top of the view (from 0), and a page brought to the top.
    int CurrentPage() const;
    void ShowPage(int page);
    // How many times a page has been drawn on the screen so far.
    int PagesDrawn() const;
    // The size of a page on the screen at the present zoom, in pixels.
    QSizeF DrawnPageSize() const;

    // Asks for a file through the prompter service and writes the PDF there.
    void SaveAsPdf();
    // Prints onto a printer already set up (the printer dialog's, or a test's PDF printer): laid
    // out for its paper, orientation and margins, the part of its page range that the report
    // has on that paper, its copies, and last page first when it asks for that.
    enum class PrintResult { Printed, NothingInRange, Failed };
    PrintResult PrintTo(QPrinter& printer);

    const ReportDocument& Document() const { return *document_; }

    // The primary screen's resolution, at which 100% shows a page at its real size.
    static int ScreenDpi();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Print();
    void ZoomChosen(int index);
    void PlacePages();

    std::unique_ptr<ReportDocument> document_;
    QScrollArea* area_ = nullptr;
    ReportPagesView* pagesView_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QLabel* pages_ = nullptr;
    int zoom_ = 0;
};
