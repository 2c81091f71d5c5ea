#include "platform/report/ReportPreview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QGuiApplication>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "platform/forms/WPrompter.h"

namespace {

QString Qt8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

constexpr int kZoomSteps[] = {0, 50, 75, 100, 125, 150, 200};
constexpr int kMargin = 12;   // around the pages and between them, in screen pixels
constexpr int kLastPrintablePage = 99999;

QPushButton* Button(const char* text, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAccessibleName(QString::fromUtf8(text).remove(QLatin1Char('&')));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

// The pages one under the other on a grey ground, the layout's units scaled to screen pixels;
// a paint event draws only the pages it exposes.
class ReportPagesView : public QWidget {
public:
    ReportPagesView(const ReportLayout& layout, QWidget* parent) : QWidget(parent), layout_(layout) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void SetScale(double scale) {
        scale_ = scale;
        const QSizeF page = PageSize();
        const int pages = std::max(1, layout_.PageCount());
        resize(static_cast<int>(std::ceil(page.width())) + 2 * kMargin,
               static_cast<int>(std::ceil(pages * (page.height() + kMargin))) + kMargin);
        update();
    }

    QSizeF PageSize() const { return layout_.PaperRect().size() * scale_; }
    int PageTop(int page) const { return kMargin + static_cast<int>(page * (PageSize().height() + kMargin)); }
    int PageAt(int y) const {
        const double step = PageSize().height() + kMargin;
        return std::clamp(static_cast<int>((y - kMargin / 2) / step), 0, std::max(0, layout_.PageCount() - 1));
    }
    int Drawn() const { return drawn_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().color(QPalette::Dark));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QSizeF size = PageSize();
        const double left = (width() - size.width()) / 2;
        for (int page = PageAt(event->rect().top()); page < layout_.PageCount(); ++page) {
            const QRectF sheet(left, PageTop(page), size.width(), size.height());
            if (sheet.top() > event->rect().bottom()) break;
            painter.fillRect(sheet.translated(3, 3), QColor(0, 0, 0, 60));
            painter.fillRect(sheet, Qt::white);
            painter.save();
            painter.setClipRect(sheet.intersected(QRectF(event->rect())));
            painter.translate(sheet.topLeft());
            painter.scale(scale_, scale_);
            painter.translate(layout_.PrintableRect().topLeft());
            const QRectF exposed = painter.transform().inverted().mapRect(QRectF(event->rect()));
            layout_.DrawPage(painter, page, exposed);
            painter.restore();
            ++drawn_;
        }
    }

private:
    const ReportLayout& layout_;
    double scale_ = 1;
    int drawn_ = 0;
};

ReportPreview::ReportPreview(std::unique_ptr<ReportDocument> document)
    : QWidget(nullptr, Qt::Window), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Qt8(document_->Name()));
    setAccessibleName(windowTitle());

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

    // The pages are those of the paper; the screen and zooming only scale them.
    const ReportLayout& layout = document_->Layout();
    area_ = new QScrollArea(this);
    area_->setAccessibleName(QStringLiteral("Report pages"));
    area_->setBackgroundRole(QPalette::Dark);
    area_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    pagesView_ = new ReportPagesView(layout, area_);
    area_->setWidget(pagesView_);
    area_->setFocusPolicy(Qt::StrongFocus);
    // The whole page is fitted to the room the viewport has once it has it: when it is first
    // shown and whenever it is resized, not before.
    area_->viewport()->installEventFilter(this);
    area_->installEventFilter(this);   // End and Home, before the area takes them
    const int pages = layout.PageCount();
    pages_->setText(pages == 1 ? tr("1 page") : tr("%1 pages").arg(pages));

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(6, 6, 6, 6);
    box->addLayout(bar);
    box->addWidget(area_, 1);

    connect(zoomBox_, qOverload<int>(&QComboBox::activated), this, &ReportPreview::ZoomChosen);
    connect(print, &QPushButton::clicked, this, &ReportPreview::Print);
    connect(pdf, &QPushButton::clicked, this, &ReportPreview::SaveAsPdf);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (auto [key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
        auto* turn = new QShortcut(QKeySequence(key), this);
        connect(turn, &QShortcut::activated, this, [this, step = step] { ShowPage(CurrentPage() + step); });
    }
    SetZoom(0);
    area_->setFocus();
}

ReportPreview::~ReportPreview() = default;

int ReportPreview::ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchX())) : 96;
}

int ReportPreview::PageCount() const { return document_->Layout().PageCount(); }

QSizeF ReportPreview::DrawnPageSize() const { return pagesView_->PageSize(); }

int ReportPreview::PagesDrawn() const { return pagesView_->Drawn(); }

int ReportPreview::CurrentPage() const { return pagesView_->PageAt(area_->verticalScrollBar()->value() + kMargin); }

void ReportPreview::ShowPage(int page) {
    page = std::clamp(page, 0, std::max(0, PageCount() - 1));
    area_->verticalScrollBar()->setValue(pagesView_->PageTop(page) - kMargin / 2);
}

// The whole page fits the view; a zoom in percent shows the page at that share of its size.
void ReportPreview::PlacePages() {
    const QSizeF paper = document_->Layout().PaperRect().size();
    double scale = zoom_ / 100.0 * ScreenDpi() / ReportLayout::kUnitsPerInch;
    if (zoom_ == 0) {
        const QSize room = area_->viewport()->size() - QSize(2 * kMargin, 2 * kMargin);
        scale = std::max(0.05, std::min(room.width() / paper.width(), room.height() / paper.height()));
    }
    pagesView_->SetScale(scale);
}

// Esc closes the window, as it closes every window of the program; the controls pass it on.
void ReportPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier && (key->key() == Qt::Key_End || key->key() == Qt::Key_Home)) {
            ShowPage(key->key() == Qt::Key_End ? PageCount() - 1 : 0);
            return true;
        }
    }
    if (watched == area_->viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Show) &&
        zoom_ == 0)
        PlacePages();
    return QWidget::eventFilter(watched, event);
}

void ReportPreview::SetZoom(int percent) {
    zoom_ = percent > 0 ? percent : 0;
    PlacePages();
    if (zoom_ == 0) {
        zoomBox_->setCurrentIndex(0);
    } else {
        int index = zoomBox_->findText(QStringLiteral("%1%").arg(zoom_));
        if (index < 0) {
            zoomBox_->addItem(QStringLiteral("%1%").arg(zoom_));
            index = zoomBox_->count() - 1;
        }
        zoomBox_->setCurrentIndex(index);
    }
    // A new zoom starts at the top of the first page, centred, not wherever the scroll bars
    // stood; the area sets its scroll ranges for the new size first.
    QMetaObject::invokeMethod(
        area_,
        [area = area_] {
            QScrollBar* across = area->horizontalScrollBar();
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->minimum());
            across->setValue((across->minimum() + across->maximum()) / 2);
        },
        Qt::QueuedConnection);
}

void ReportPreview::ZoomChosen(int index) {
    const int steps = static_cast<int>(std::size(kZoomSteps));
    SetZoom(index >= 0 && index < steps ? kZoomSteps[index] : zoomBox_->itemText(index).remove('%').toInt());
}

ReportPreview::PrintResult ReportPreview::PrintTo(QPrinter& printer) {
    printer.setDocName(Qt8(document_->Name()));
    const ReportLayout& layout = document_->Layout(printer.pageLayout());
    // The pages of the range ("2-4", or "1,3,7-9" typed) that the report has on this paper.
    const QPageRanges range = printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
    std::vector<int> chosen;
    for (int page = 0; page < layout.PageCount(); ++page)
        if (range.isEmpty() || range.contains(page + 1)) chosen.push_back(page);
    if (chosen.empty()) return PrintResult::NothingInRange;
    // A printer that makes the copies itself is sent each page once.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    std::vector<int> pages;
    if (printer.collateCopies()) {
        for (int copy = 0; copy < copies; ++copy) pages.insert(pages.end(), chosen.begin(), chosen.end());
    } else {
        for (int page : chosen) pages.insert(pages.end(), static_cast<std::size_t>(copies), page);
    }
    if (printer.pageOrder() == QPrinter::LastPageFirst) std::reverse(pages.begin(), pages.end());
    QPainter painter;
    if (!painter.begin(&printer)) return PrintResult::Failed;
    const bool painted = document_->Paint(printer, painter, layout, pages);
    return painter.end() && painted ? PrintResult::Printed : PrintResult::Failed;
}

void ReportPreview::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(document_->PageLayout());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Print %1").arg(windowTitle()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    // The paper chosen in the dialog may take more pages than the preview's: the range may name
    // any of them, and is cut to the pages there are once the report is laid out for that paper.
    dialog.setMinMax(1, kLastPrintablePage);
    printer.setFromTo(1, std::max(1, PageCount()));
    if (dialog.exec() != QDialog::Accepted) return;
    switch (PrintTo(printer)) {
    case PrintResult::Printed: break;
    case PrintResult::NothingInRange:
        MessageBox(nullptr, "Report printing error",
                   "The report has " + std::to_string(document_->Layout(printer.pageLayout()).PageCount()) +
                       " pages on this paper, none of them in the range chosen. Nothing was printed.",
                   WMessageIcon::Exclamation);
        break;
    case PrintResult::Failed:
        MessageBox(nullptr, "Report printing error", "The report could not be printed.", WMessageIcon::Stop);
        break;
    }
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
