// How long the shopping list of a long trip takes, in one run:
//  - OK in the report chooser to the first page on the screen, through the report control
//    (read the file, fetch its datasets through ODBC, make the bands, measure and paginate them
//    for the paper, make and show the preview, draw its first page), phase by phase;
//  - the whole PDF, saved from that preview (open, the layout the preview already made, draw every
//    page at 600 dpi, finish);
// against two references: the bare items query through the SQLite C API on the same database,
// and the floor of a Qt report, the same cells drawn straight onto QPdfWriter pages with
// QPainter::drawText at their columns.
// The trip (bench/report/LongTrip.h): 30 days of 4 stops, 12 guests, 2,000 ingredients.
// Goals: OK to the first page at most 3x the bare query and never above 150 ms; the whole PDF
// at most 2x the straight-drawn floor.

#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/report/LongTrip.h"
#include "bench/report/ReportBench.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/WReportControl.h"

namespace fs = std::filesystem;
using namespace report_bench;

namespace {

constexpr int Runs = 5;
constexpr int PdfDpi = 600;

// The detail rows' cells drawn one by one at their columns, a row to a line, as many lines to
// a page as the report's rows take, with the report's font and page: what any Qt report costs.
double StraightDrawnFloor(const ReportDocument& document, const fs::path& path, int& pages) {
    const auto start = std::chrono::steady_clock::now();
    QPdfWriter writer(QString::fromStdString(path.string()));
    writer.setPageLayout(document.PageLayout());
    writer.setResolution(PdfDpi);
    QPainter painter(&writer);
    QFont font = QGuiApplication::font();
    font.setPointSizeF(9.5);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &writer);
    const double row = metrics.lineSpacing() + 4.0 * PdfDpi / 96;
    const QRectF area = writer.pageLayout().paintRectPixels(PdfDpi);
    const int perPage = static_cast<int>(area.height() * 0.9 / row);
    const double columns[] = {0, 0.5, 0.64, 0.84};
    int line = 0;
    pages = 1;
    for (const ReportBand& band : document.Bands().bands) {
        if (band.kind != ReportBand::Kind::Detail) continue;
        if (line == perPage) {
            writer.newPage();
            ++pages;
            line = 0;
        }
        const double baseline = row * ++line;
        for (std::size_t c = 0; c < band.cells.size() && c < std::size(columns); ++c)
            painter.drawText(QPointF(columns[c] * area.width(), baseline), band.cells[c]);
    }
    painter.end();
    return Seconds(start);
}

struct PdfRun {
    ReportDocument::PdfTimes phases;
    double total = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Session session;
    if (!session.Open("/tmp/kvo_bench_report_XXXXXX", KVO_BENCH_TEMPLATE, KVO_BENCH_REPORT, argc, argv)) return 1;
    const fs::path& folder = session.Folder();

    std::vector<ScreenRun> screen;
    std::vector<PdfRun> pdf;
    std::vector<double> bare, floor;
    long rows = 0;
    int floorPages = 0;
    for (int run = 0; run < Runs; ++run) {
        WReportControl control("WinStart::transaction_KVO");
        ReportPreview* preview = nullptr;
        const std::optional<ScreenRun> shown = ShowFirstPage(control, KVO_BENCH_REPORT, long_trip::Parameters(), preview);
        if (!shown) return 1;
        screen.push_back(*shown);

        PdfRun saved;
        const auto pdfStart = std::chrono::steady_clock::now();
        if (!preview->Document().SaveAsPdf((folder / "list.pdf").string(), &saved.phases)) return 1;
        saved.total = Seconds(pdfStart);
        pdf.push_back(saved);

        floor.push_back(StraightDrawnFloor(preview->Document(), folder / "floor.pdf", floorPages));
        bare.push_back(BareQuery(session.Database(), session.Report(), "items", long_trip::Parameters(), rows));
    }
    const double bareSeconds = Median(bare), floorSeconds = Median(floor);
    const ScreenRun& s = MedianRun(screen);
    const PdfRun& p = MedianRun(pdf);

    std::printf("shopping list of %d days x %zu stops, %d guests, %d menu items, %d ingredients: %ld lines, %d pages\n",
                long_trip::Days, std::size(long_trip::StopsOfADay), long_trip::Guests, long_trip::MenuItems,
                long_trip::Ingredients, rows, s.pages);
    std::printf("(the run of median total among %d; references are medians)\n", Runs);
    std::printf("OK to the first page through the report control: %.1f ms\n", Ms(s.total));
    std::printf("  read the file %.1f + datasets through ODBC %.1f + bands %.1f + layout for the paper %.1f"
                " + preview window %.1f + first page drawn %.1f = %.1f ms (%.1f not in a phase)\n",
                Ms(s.phases.read), Ms(s.phases.fetch), Ms(s.phases.build), Ms(s.phases.layout), Ms(s.phases.window),
                Ms(s.firstPage), Ms(s.phases.Total() + s.firstPage), Ms(s.total - s.phases.Total() - s.firstPage));
    std::printf("the whole PDF (%d dpi): %.1f ms\n", PdfDpi, Ms(p.total));
    std::printf("  open %.1f + layout %.1f + draw %d pages %.1f + finish %.1f = %.1f ms (%.1f not in a phase)\n",
                Ms(p.phases.open), Ms(p.phases.layout), s.pages, Ms(p.phases.draw), Ms(p.phases.finish),
                Ms(p.phases.open + p.phases.layout + p.phases.draw + p.phases.finish),
                Ms(p.total - p.phases.open - p.phases.layout - p.phases.draw - p.phases.finish));
    std::printf("bare items query (SQLite C API): %.1f ms\n", Ms(bareSeconds));
    std::printf("straight-drawn floor (the %ld lines' cells with QPainter::drawText onto %d QPdfWriter pages): %.1f ms\n",
                rows, floorPages, Ms(floorSeconds));
    std::printf("ratios:\n");
    char goal[128];
    std::snprintf(goal, sizeof goal, "goal: at most 3x and at most 150 ms: %s",
                  s.total <= 3 * bareSeconds && s.total <= 0.150 ? "met" : "not met");
    PrintRatio("OK to first page", s.total, "bare query", bareSeconds, goal);
    std::snprintf(goal, sizeof goal, "goal: at most 2x: %s", p.total <= 2 * floorSeconds ? "met" : "not met");
    PrintRatio("whole PDF", p.total, "straight-drawn floor", floorSeconds, goal);
    return 0;
}
