// Writes every report of the program, as the report chooser offers them, to PDF files and to
// their plain text, on the long trip of the benchmarks and on a small trip, so that the pages
// of two builds can be compared (compare_report_texts.py):
//   build/bench/report/kvo_report_texts OUT_FOLDER

#include <stdlib.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/report/LongTrip.h"
#include "platform/db/WTransaction.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/WReportControl.h"
#include "tools/screenshots/SampleTrip.h"

namespace fs = std::filesystem;

namespace {

struct Choice {
    const char* name;
    const char* file;
    int veryDetailed;
};

const Choice Choices[] = {
    {"shopping_list", "report_shopping_list.rpt", 0},       {"trip_plan", "report_trip_plan.rpt", 0},
    {"ingredients", "report_ingredients.rpt", 0},           {"courses", "report_courses.rpt", 0},
    {"meals", "report_meals.rpt", 0},                       {"trip_plan_detailed", "report_trip_plan_detailed.rpt", 0},
    {"trip_plan_very_detailed", "report_trip_plan_detailed.rpt", 1},
};

bool FillSmallTrip(const fs::path& database) { return long_trip::ExecSql(database, SampleTripSql, "small trip"); }

// Every report of one database: "<fixture>_<report>.pdf" and ".plain" in the out folder.
bool WriteReports(const std::string& fixture, const fs::path& database, const fs::path& out) {
    if (!long_trip::WriteDataSource("KestavoTexts_" + fixture, database)) return false;
    WTransaction transaction;
    transaction.SetDataSource("KestavoTexts_" + fixture, "", "");
    if (!transaction.Connect()) {
        std::fprintf(stderr, "connect: %s\n", transaction.LastError().c_str());
        return false;
    }
    WTransaction::Register("WinStart::transaction_KVO", &transaction);
    bool ok = true;
    for (const Choice& choice : Choices) {
        WReportControl control("WinStart::transaction_KVO");
        control.SetReportFileName(std::string(KVO_REPORTS_DIR "/") + choice.file);
        std::vector<std::string> parameters = long_trip::Parameters();
        parameters[4] = "trip_very_detailed; " + std::to_string(choice.veryDetailed) + "; TRUE";
        for (std::size_t i = 0; i < parameters.size(); ++i) control.SetParameterField(static_cast<int>(i), parameters[i]);
        if (control.PrintReport() != 0) {
            std::fprintf(stderr, "%s: %s\n", choice.name, control.GetLastErrorString().c_str());
            ok = false;
            continue;
        }
        const ReportDocument& document = control.Previews().front()->Document();
        const fs::path stem = out / (fixture + "_" + choice.name);
        ok = document.SaveAsPdf(stem.string() + ".pdf") && ok;
        std::ofstream(stem.string() + ".plain", std::ios::binary) << document.PlainText();
        std::printf("wrote %s.pdf\n", stem.c_str());
    }
    WTransaction::Unregister("WinStart::transaction_KVO");
    transaction.Disconnect();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    fs::create_directories(out);
    const fs::path folder = long_trip::MakeScratchFolder("/tmp/kvo_report_texts_XXXXXX");
    if (folder.empty()) return 1;
    QApplication app(argc, argv);
    setlocale(LC_NUMERIC, "C");

    const fs::path longDb = folder / "long.db", smallDb = folder / "small.db";
    fs::copy_file(KVO_BENCH_TEMPLATE, longDb);
    fs::copy_file(KVO_BENCH_TEMPLATE, smallDb);
    const bool ok = long_trip::Fill(longDb) && FillSmallTrip(smallDb) && WriteReports("long", longDb, out) &&
                    WriteReports("small", smallDb, out);
    fs::remove_all(folder);
    return ok ? 0 : 1;
}
