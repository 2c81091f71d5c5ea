// How long the shopping list of a long trip takes through the report control (read the file,
// fetch its datasets through ODBC, lay the pages out, open the preview) against its bare
// dataset query run through the SQLite C API on the same database.
//
// The trip: 30 days of 4 stops (breakfast, lunch, dinner, evening snack), 12 guests at every
// stop; a catalogue of 2,000 ingredients, 500 menu items of 6 lines each and 100 meals of
// 4 menu items. Every stop serves one or two meals and one menu item alone.
// Goal: the control within 3 times the bare query, and under 1 second.

#include <odbcinst.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/report/LongTrip.h"
#include "platform/db/DataSourceOptions.h"
#include "platform/db/WTransaction.h"
#include "platform/report/ReportData.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportReader.h"
#include "platform/report/WReportControl.h"

namespace {

using namespace long_trip;
constexpr int Runs = 5;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The dataset's own SQL with its parameters bound, stepped to the last row.
double BareQuery(const std::filesystem::path& database, const ReportDefinition& report, long& rows) {
    ReportData data;
    ReportFailure failure;
    data.BindParameters(report, Parameters(), failure);
    const ReportDataset* items = report.FindDataset("items");
    sqlite3* db = nullptr;
    sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const auto start = std::chrono::steady_clock::now();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, items->sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "bare query: %s\n", sqlite3_errmsg(db));
    for (std::size_t i = 0; i < items->parameterOrder.size(); ++i)
        sqlite3_bind_int64(stmt, static_cast<int>(i) + 1,
                           data.Parameter(report.parameters[static_cast<std::size_t>(items->parameterOrder[i])].name).AsLong());
    rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) sqlite3_column_text(stmt, c);
        ++rows;
    }
    sqlite3_finalize(stmt);
    const double seconds = Seconds(start);
    sqlite3_close(db);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char pattern[] = "/tmp/kvo_bench_report_XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::filesystem::path folder = pattern;
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);
    QApplication app(argc, argv);

    const std::filesystem::path database = folder / "Kestavo.db";
    std::filesystem::copy_file(KVO_BENCH_TEMPLATE, database);
    if (!Fill(database)) return 1;
    SQLSetConfigMode(ODBC_USER_DSN);
    if (!SQLWriteDSNToIni("KestavoBench", "SQLite3") ||
        !SQLWritePrivateProfileString("KestavoBench", "Database", database.c_str(), "odbc.ini") ||
        !WriteDriverOptions("KestavoBench"))
        return 1;
    WTransaction transaction;
    transaction.SetDataSource("KestavoBench", "", "");
    if (!transaction.Connect()) {
        std::fprintf(stderr, "connect: %s\n", transaction.LastError().c_str());
        return 1;
    }
    WTransaction::Register("WinStart::transaction_KVO", &transaction);

    ReportFailure failure;
    const std::optional<ReportDefinition> report = ReportData::Load(KVO_BENCH_REPORT, failure);
    if (!report) {
        std::fprintf(stderr, "%s\n", failure.text.c_str());
        return 1;
    }

    std::vector<double> control, bare;
    long rows = 0;
    int pages = 0;
    for (int run = 0; run < Runs; ++run) {
        WReportControl reportControl("WinStart::transaction_KVO");
        reportControl.SetReportFileName(KVO_BENCH_REPORT);
        reportControl.SetWindowLeft(25);
        reportControl.SetWindowTop(25);
        reportControl.SetWindowWidth(845);
        reportControl.SetWindowHeight(1030);
        for (std::size_t i = 0; i < Parameters().size(); ++i)
            reportControl.SetParameterField(static_cast<int>(i), Parameters()[i]);
        const auto start = std::chrono::steady_clock::now();
        if (reportControl.PrintReport() != 0) {
            std::fprintf(stderr, "%s\n", reportControl.GetLastErrorString().c_str());
            return 1;
        }
        // Until the preview has laid out and painted its pages.
        ReportPreview* preview = reportControl.Previews().front();
        while (preview->PageCount() == 0) QApplication::processEvents();
        control.push_back(Seconds(start));
        pages = preview->PageCount();
        bare.push_back(BareQuery(database, *report, rows));
    }
    // Where the control's time goes: the datasets through ODBC, then the layout of the pages.
    std::vector<double> fetch, layout;
    for (int run = 0; run < Runs; ++run) {
        ReportData data;
        ReportFailure ignored;
        data.BindParameters(*report, Parameters(), ignored);
        auto start = std::chrono::steady_clock::now();
        data.RunDatasets(*report, &transaction, ignored);
        fetch.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        ReportDocument document;
        document.Build(*report, data, ignored);
        document.Body().pageCount();
        layout.push_back(Seconds(start));
    }
    const double controlSeconds = Median(control), bareSeconds = Median(bare);
    const double ratio = controlSeconds / bareSeconds;
    std::printf("shopping list of %d days x %zu stops, %d guests, %d menu items, %d ingredients: %ld lines, %d pages\n",
                Days, std::size(StopsOfADay), Guests, MenuItems, Ingredients, rows, pages);
    std::printf("through the report control: %.3f s (median of %d)\n", controlSeconds, Runs);
    std::printf("  of which the datasets through ODBC: %.3f s, the document and its layout: %.3f s\n", Median(fetch),
                Median(layout));
    std::printf("bare dataset query (SQLite C API): %.3f s\n", bareSeconds);
    std::printf("ratio: %.2fx  (goal: at most 3x and under 1 s: %s)\n", ratio,
                ratio <= 3.0 && controlSeconds < 1.0 ? "met" : "not met");
    WTransaction::Unregister("WinStart::transaction_KVO");
    transaction.Disconnect();
    std::filesystem::remove_all(folder);
    return 0;
}
