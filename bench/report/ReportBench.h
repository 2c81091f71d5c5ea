#pragma once
// What the report benchmarks share: the clock, the median run, the ratio line, the bare query of
// one dataset through the SQLite C API, and one report shown through the report control until
// its first page is drawn.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <memory>

#include "platform/db/WTransaction.h"
#include "platform/report/ReportDefinition.h"
#include "platform/report/WReportControl.h"

class ReportPreview;

namespace report_bench {

double Seconds(std::chrono::steady_clock::time_point since);
inline double Ms(double seconds) { return seconds * 1000; }

// The run whose total is the median of the runs, so that its phases add up to what is shown.
template <typename Run>
const Run& MedianRun(std::vector<Run>& runs) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.total < b.total; });
    return runs[runs.size() / 2];
}

double Median(std::vector<double> values);

// "A / B: N.NNx (A is slower)", whichever is slower, and the goal's verdict.
void PrintRatio(const char* a, double aSeconds, const char* b, double bSeconds, const char* goal);

// The dataset's own SQL with the report's parameters bound, stepped to the last row.
double BareQuery(const std::filesystem::path& database, const ReportDefinition& report, const char* dataset,
                 const std::vector<std::string>& parameters, long& rows);

struct ScreenRun {
    WReportControl::RunTimes phases;
    double firstPage = 0;   // after the control's run, until the event loop has drawn page 1
    double total = 0;       // measured around both
    int pages = 0;
};

// OK in the report chooser to the first page on the screen. The control (and its preview)
// stays with the caller; nullopt, with the control's error printed, when the report fails.
std::optional<ScreenRun> ShowFirstPage(WReportControl& control, const char* reportFile,
                                       const std::vector<std::string>& parameters, ReportPreview*& preview);

// The benchmark's database: the long trip in a scratch folder, connected and registered as the
// program's transaction, with the report file read; Open answers false when any step fails.
class Session {
public:
    bool Open(const char* scratchPattern, const char* templateFile, const char* reportFile, int& argc, char** argv);
    ~Session();

    const std::filesystem::path& Folder() const { return folder_; }
    const std::filesystem::path& Database() const { return database_; }
    const ReportDefinition& Report() const { return *report_; }

private:
    std::filesystem::path folder_, database_;
    std::unique_ptr<QApplication> app_;
    WTransaction transaction_;
    std::optional<ReportDefinition> report_;
};

}  // namespace report_bench
