#include "bench/report/ReportBench.h"

#include <sqlite3.h>

#include <clocale>
#include <cstdio>

#include "bench/report/LongTrip.h"
#include "platform/report/ReportData.h"
#include "platform/report/ReportPreview.h"

namespace fs = std::filesystem;

namespace report_bench {

namespace {
constexpr const char* TransactionName = "WinStart::transaction_KVO";
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintRatio(const char* a, double aSeconds, const char* b, double bSeconds, const char* goal) {
    std::printf("  %s / %s: %.2fx (%s %s)  %s\n", a, b, aSeconds / bSeconds, aSeconds >= bSeconds ? a : b,
                aSeconds >= bSeconds ? "is slower" : "is faster", goal);
}

double BareQuery(const fs::path& database, const ReportDefinition& report, const char* dataset,
                 const std::vector<std::string>& parameters, long& rows) {
    ReportData data;
    ReportFailure failure;
    data.BindParameters(report, parameters, failure);
    const ReportDataset* query = report.FindDataset(dataset);
    sqlite3* db = nullptr;
    sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const auto start = std::chrono::steady_clock::now();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, query->sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "bare query: %s\n", sqlite3_errmsg(db));
    for (std::size_t i = 0; i < query->parameterOrder.size(); ++i)
        sqlite3_bind_int64(stmt, static_cast<int>(i) + 1,
                           data.Parameter(report.parameters[static_cast<std::size_t>(query->parameterOrder[i])].name).AsLong());
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

std::optional<ScreenRun> ShowFirstPage(WReportControl& control, const char* reportFile,
                                       const std::vector<std::string>& parameters, ReportPreview*& preview) {
    control.SetReportFileName(reportFile);
    control.SetWindowLeft(537);
    control.SetWindowTop(25);
    control.SetWindowWidth(845);
    control.SetWindowHeight(1030);
    for (std::size_t i = 0; i < parameters.size(); ++i) control.SetParameterField(static_cast<int>(i), parameters[i]);
    ScreenRun shown;
    const auto start = std::chrono::steady_clock::now();
    if (control.PrintReport() != 0) {
        std::fprintf(stderr, "%s\n", control.GetLastErrorString().c_str());
        return std::nullopt;
    }
    const auto ran = std::chrono::steady_clock::now();
    preview = control.Previews().front();
    while (preview->PagesDrawn() == 0) QApplication::processEvents();
    shown.firstPage = Seconds(ran);
    shown.total = Seconds(start);
    shown.phases = control.LastRunTimes();
    shown.pages = preview->PageCount();
    return shown;
}

bool Session::Open(const char* scratchPattern, const char* templateFile, const char* reportFile, int& argc,
                   char** argv) {
    folder_ = long_trip::MakeScratchFolder(scratchPattern);
    if (folder_.empty()) return false;
    app_ = std::make_unique<QApplication>(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    database_ = folder_ / "Kestavo.db";
    fs::copy_file(templateFile, database_);
    if (!long_trip::Fill(database_) || !long_trip::WriteDataSource("KestavoBench", database_)) return false;
    transaction_.SetDataSource("KestavoBench", "", "");
    if (!transaction_.Connect()) {
        std::fprintf(stderr, "connect: %s\n", transaction_.LastError().c_str());
        return false;
    }
    WTransaction::Register(TransactionName, &transaction_);
    ReportFailure failure;
    report_ = ReportData::Load(reportFile, failure);
    if (!report_) std::fprintf(stderr, "%s\n", failure.text.c_str());
    return report_.has_value();
}

Session::~Session() {
    if (transaction_.IsConnected()) {
        WTransaction::Unregister(TransactionName);
        transaction_.Disconnect();
    }
    if (!folder_.empty()) fs::remove_all(folder_);
}

}  // namespace report_bench
