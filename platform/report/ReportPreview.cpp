#include "platform/report/ReportPreview.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <iterator>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/forms/WPrompter.h"

namespace {

QString Qt8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

constexpr int kZoomSteps[] = {0, 50, 75, 100, 125, 150, 200};

QPushButton* Button(const char* text, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAccessibleName(QString::fromUtf8(text).remove(QLatin1Char('&')));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ReportPreview::ReportPreview(std::unique_ptr<ReportDocument> document)
    : QWidget(nullptr, Qt::Window), document_(std::move(document)),
      previewPrinter_(std::make_unique<QPrinter>(QPrinter::ScreenResolution)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Qt8(document_->Name()));
    setAccessibleName(windowTitle());
    previewPrinter_->setPageLayout(document_->PageLayout());

    auto* bar = new QHBoxLayout;
    auto* zoomLabel = new QLabel(tr("&Zoom:"), this);
    zoomBox_ = new QComboBox(this);
    zoomBox_->setAccessibleName(QStringLiteral("Zoom"));
    zoomLabel->setBuddy(zoomBox_);
    zoomBox_->addItem(tr("Whole page"));
    for (int step : kZoomSteps)
        if (step) zoomBox_->addItem(QStringLiteral("%1%").arg(step));
    auto* print = Button("&Print...", this);
    auto* pdf = Button("Save as P&DF...", this);
    auto* close = Button("&Close", this);
    pages_ = new QLabel(this);
    bar->addWidget(zoomLabel);
    bar->addWidget(zoomBox_);
    bar->addSpacing(12);
    bar->addWidget(print);
    bar->addWidget(pdf);
    bar->addStretch(1);
    bar->addWidget(pages_);
    bar->addSpacing(12);
    bar->addWidget(close);

    view_ = new QPrintPreviewWidget(previewPrinter_.get(), this);
    view_->setAccessibleName(QStringLiteral("Report pages"));
    connect(view_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) { PaintPages(printer); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);

    connect(zoomBox_, qOverload<int>(&QComboBox::activated), this, &ReportPreview::ZoomChosen);
    connect(print, &QPushButton::clicked, this, &ReportPreview::Print);
    connect(pdf, &QPushButton::clicked, this, &ReportPreview::SaveAsPdf);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    SetZoom(0);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::PaintPages(QPrinter* printer) {
    QPainter painter(printer);
    const int pages = document_->Paint(*printer, painter);
    pages_->setText(pages == 1 ? tr("1 page") : tr("%1 pages").arg(pages));
}

int ReportPreview::PageCount() const { return view_->pageCount(); }

void ReportPreview::SetZoom(int percent) {
    zoom_ = percent > 0 ? percent : 0;
    if (zoom_ == 0) {
        view_->fitInView();
        zoomBox_->setCurrentIndex(0);
        return;
    }
    view_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    // The preview's factor 1 is the page at the screen's resolution, its real size.
    view_->setZoomFactor(zoom_ / 100.0);
    int index = zoomBox_->findText(QStringLiteral("%1%").arg(zoom_));
    if (index < 0) {
        zoomBox_->addItem(QStringLiteral("%1%").arg(zoom_));
        index = zoomBox_->count() - 1;
    }
    zoomBox_->setCurrentIndex(index);
    // A new zoom starts at the top of the first page, centred, not wherever the scroll bars
    // stood; the view places its pages anew first.
    QMetaObject::invokeMethod(
        view_,
        [view = view_] {
            if (auto* area = view->findChild<QAbstractScrollArea*>()) {
                QScrollBar* across = area->horizontalScrollBar();
                area->verticalScrollBar()->setValue(area->verticalScrollBar()->minimum());
                across->setValue((across->minimum() + across->maximum()) / 2);
            }
        },
        Qt::QueuedConnection);
}

void ReportPreview::ZoomChosen(int index) {
    const int steps = static_cast<int>(std::size(kZoomSteps));
    SetZoom(index >= 0 && index < steps ? kZoomSteps[index] : zoomBox_->itemText(index).remove('%').toInt());
}

bool ReportPreview::PrintTo(QPrinter& printer) {
    printer.setPageLayout(document_->PageLayout());
    printer.setDocName(Qt8(document_->Name()));
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    document_->Paint(printer, painter);
    return painter.end();
}

void ReportPreview::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(document_->PageLayout());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Print %1").arg(windowTitle()));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintTo(printer))
        MessageBox(nullptr, "Report printing error", "The report could not be printed.", WMessageIcon::Stop);
}

void ReportPreview::SaveAsPdf() {
    WFileRequest request;
    request.save = true;
    request.title = "Save as PDF";
    request.file = document_->Name() + ".pdf";
    request.filters = {{"PDF document (*.pdf)", "*.pdf"}, {"All files", "*"}};
    request.defaultExtension = "pdf";
    const std::optional<std::string> path = FileDialog(nullptr, request);
    if (!path) return;
    if (!document_->SaveAsPdf(*path))
        MessageBox(nullptr, "Report printing error", "The report could not be saved as '" + *path + "'.",
                   WMessageIcon::Stop);
}
