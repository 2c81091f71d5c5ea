// How much longer the ingredients report of a 2,000-ingredient catalogue takes from OK in the
// report chooser to its first page on the screen when the names are Arabic than when they are
// Latin, measured side by side in one run on the same database: the runs alternate, the names
// rewritten before each. Every name has a word of its own (its id spelt in letters) and a
// bracketed word, which Arabic text mirrors.
// The catalogue: bench/report/LongTrip.h.
// Goal: the Arabic names at most 2x the Latin ones.

#include <QString>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/report/LongTrip.h"
#include "bench/report/ReportBench.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/WReportControl.h"

namespace fs = std::filesystem;
using namespace report_bench;

namespace {

constexpr int Runs = 5;

struct Script {
    const char* name;
    std::string sql;   // the names it gives the ingredients
    std::vector<ScreenRun> runs;
};

// SQL for the ingredient's id with each digit spelt as the letter of that place in `letters`.
std::string Spelt(const std::string& letters) {
    const QString each = QString::fromStdString(letters);
    std::string sql = "cast(id as text)";
    for (int digit = 0; digit < 10; ++digit)
        sql = "replace(" + sql + ", '" + std::to_string(digit) + "', '" + QString(each[digit]).toStdString() + "')";
    return sql;
}

void PrintRun(const Script& script) {
    std::vector<ScreenRun> runs = script.runs;
    const ScreenRun& s = MedianRun(runs);
    std::printf("%s names: OK to the first page %.1f ms, %d pages\n", script.name, Ms(s.total), s.pages);
    std::printf("  read the file %.1f + datasets through ODBC %.1f + bands %.1f + layout for the paper %.1f"
                " + preview window %.1f + first page drawn %.1f = %.1f ms (%.1f not in a phase)\n",
                Ms(s.phases.read), Ms(s.phases.fetch), Ms(s.phases.build), Ms(s.phases.layout), Ms(s.phases.window),
                Ms(s.firstPage), Ms(s.phases.Total() + s.firstPage), Ms(s.total - s.phases.Total() - s.firstPage));
}

}  // namespace

int main(int argc, char** argv) {
    Session session;
    if (!session.Open("/tmp/kvo_bench_scripts_XXXXXX", KVO_BENCH_TEMPLATE, KVO_BENCH_REPORT, argc, argv)) return 1;
    const std::string latinId = Spelt("abcdefghij"), arabicId = Spelt("ابتثجحخدذر");
    Script scripts[] = {
        {"Latin", "update Ingredients set name = 'Ingredient ' || " + latinId + " || ' (fine) [dry]'", {}},
        {"Arabic", "update Ingredients set name = 'مكون ' || " + arabicId + " || ' (ناعم) [جاف]'", {}},
    };
    const std::vector<std::string> wholeCatalogue = {"Trip id; -1; TRUE", "version; 3.02; TRUE"};
    for (int run = 0; run < Runs; ++run) {
        for (Script& script : scripts) {
            if (!long_trip::ExecSql(session.Database(), script.sql.c_str(), "rename")) return 1;
            WReportControl control("WinStart::transaction_KVO");
            ReportPreview* preview = nullptr;
            const std::optional<ScreenRun> shown = ShowFirstPage(control, KVO_BENCH_REPORT, wholeCatalogue, preview);
            if (!shown) return 1;
            script.runs.push_back(*shown);
        }
    }
    std::printf("ingredients report of the whole catalogue, %d ingredients, each name with a bracketed word\n",
                long_trip::Ingredients);
    std::printf("(for each script the run of median total among %d, the scripts' runs alternating)\n", Runs);
    for (const Script& script : scripts) PrintRun(script);
    std::vector<ScreenRun> latin = scripts[0].runs, arabic = scripts[1].runs;
    const double latinSeconds = MedianRun(latin).total, arabicSeconds = MedianRun(arabic).total;
    std::printf("ratio:\n");
    char goal[96];
    std::snprintf(goal, sizeof goal, "goal: at most 2x: %s", arabicSeconds <= 2 * latinSeconds ? "met" : "not met");
    PrintRatio("Arabic names", arabicSeconds, "Latin names", latinSeconds, goal);
    return 0;
}
