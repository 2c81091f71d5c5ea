// How long the program takes to start on a bigger database: the main window created, the
// start-up work done (data source, connection, version check, schema registry, dated copy,
// options, trips list) and the window painted, each start in a process of its own (the driver
// manager keeps what it read), on copies of the empty template:
//  - with 200 ingredients and with 20,000 (the schema registry must not read them);
//  - with 1,000 trips, against a bare Qt window that shows the same 1,000 rows, read through
//    the SQLite C API into a QTableWidget; and what the rows alone cost each (the start with
//    them less the start without).
// Goals: 20,000 ingredients within 5% of 200; 1,000 trips at most 1.3x the bare window.
//   build/bench/startup/bench_startup

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

namespace {

constexpr int Runs = 15;

class BenchMainWindow : public WinStart {
public:
    explicit BenchMainWindow(std::string folder) : folder_(std::move(folder)) {}

protected:
    std::string ExecutableFolder() const override { return folder_; }

private:
    std::string folder_;
};

bool Fill(const fs::path& database, int ingredients, int trips) {
    sqlite3* db = nullptr;
    if (sqlite3_open(database.c_str(), &db) != SQLITE_OK) return false;
    std::ostringstream sql;
    sql << "BEGIN;";
    for (int i = 1; i <= ingredients; ++i)
        sql << "insert into Ingredients( id, name, def_measure, notes ) values( " << i << ", 'Ingredient " << i
            << "', 10, 'bought in bulk at the market, kept dry and cool' );";
    for (int t = 1; t <= trips; ++t)
        sql << "insert into Trips( id, name, location, trip_date ) values( " << t << ", 'Trip " << t
            << "', 'Lake " << t % 37 << "', date('2024-01-01', '+" << t % 365 << " days') );";
    sql << "COMMIT;";
    const bool ok = sqlite3_exec(db, sql.str().c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void RunUntil(const std::function<bool()>& done) {
    while (!done()) QApplication::processEvents(QEventLoop::AllEvents, 5);
    QApplication::processEvents();   // the paint of what is now shown
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The program's start-up on the program folder: seconds in all, and of them until the main
// window stood built and shown (the rest is the start-up work and its paint).
std::pair<double, double> StartProgram(const fs::path& program) {
    const auto start = std::chrono::steady_clock::now();
    auto* window = new BenchMainWindow(program.string() + "/");
    AppMainForm = window;
    WExeApplication::SetMainForm(window);
    if (!window->Create(nullptr)) return {-1, 0};
    const double created = Since(start);
    RunUntil([&] { return !window->IsStarting(); });
    const double seconds = Since(start);
    if (!window->transaction_KVO->IsConnected()) return {-1, 0};
    return {seconds, created};
}

// The trips list as the main window sorts it, shown in a plain table widget; seconds in all,
// and of them until the rows were read.
std::pair<double, double> BareWindow(const fs::path& program) {
    const auto start = std::chrono::steady_clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2((program / "Kestavo.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "select name, location, trip_date, id from Trips order by name collate nocase", -1, &stmt,
                       nullptr);
    std::vector<std::array<QString, 4>> rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::array<QString, 4> row;
        for (int c = 0; c < 4; ++c)
            row[static_cast<std::size_t>(c)] = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    const double read = Since(start);
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 4);
    table->setHorizontalHeaderLabels({"Name", "Location", "Trip date", "id"});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 4; ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
    table->resize(640, 480);
    table->show();
    bool shown = false;
    RunUntil([&] { return shown || (shown = table->isVisible()); });
    return {Since(start), read};
}

struct Sample {
    double seconds = -1;
    double part = 0;   // the program: window built and shown; the bare window: rows read
    double copy = 0;   // the program: a copy of its database as the dated copy makes it, apart
    long maxRssKb = 0;
};

// The start-up keeps a dated copy of the database, written through to the disk: a bigger file
// takes longer whatever the program reads. The same copy, timed after the start.
double DatedCopy(const fs::path& program) {
    const auto start = std::chrono::steady_clock::now();
    WinStart::ReplaceFileWithCopy((program / "Kestavo.db").string(), (program / "copy.db").string(), nullptr);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fs::remove(program / "copy.db");
    return seconds;
}

// One start in a child process of its own: its time and its peak memory.
Sample InChild(const fs::path& root, const fs::path& program, bool bare, int run) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        const fs::path home = root / ("run" + std::to_string(run));
        fs::create_directories(home / "work");
        fs::current_path(home / "work");
        setenv("ODBCINI", (home / "odbc.ini").c_str(), 1);
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
        int argc = 1;
        char name[] = "bench_startup";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        setlocale(LC_NUMERIC, "C");
        const std::pair<double, double> times = bare ? BareWindow(program) : StartProgram(program);
        const double out[3] = {times.first, times.second, bare ? 0 : DatedCopy(program)};
        if (write(pipeFds[1], out, sizeof out) != sizeof out) _exit(2);
        _exit(0);   // no teardown: only the start is measured
    }
    close(pipeFds[1]);
    Sample sample;
    double in[3] = {-1, 0, 0};
    if (read(pipeFds[0], in, sizeof in) == sizeof in) sample = {in[0], in[1], in[2], 0};
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    sample.maxRssKb = usage.ru_maxrss;
    return sample;
}

struct Case {
    const char* label;
    int ingredients, trips;
    bool bare;
    Sample median;
};

}  // namespace

int main() {
    if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char pattern[] = "/tmp/kvo_bench_startup_XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path root = pattern;
    Case cases[] = {{"program, 200 ingredients, no trips", 200, 0, false, {}},
                    {"program, 20,000 ingredients, no trips", 20000, 0, false, {}},
                    {"program, 1,000 trips", 0, 1000, false, {}},
                    {"bare Qt window, the same 1,000 trips", 0, 1000, true, {}},
                    {"bare Qt window, no trips", 0, 0, true, {}}};
    // Every case gets its program folder first; then the starts take turns, case after case,
    // so that whatever else the machine does weighs on all of them alike.
    std::vector<fs::path> programs;
    for (const Case& c : cases) {
        programs.push_back(root / ("program" + std::to_string(programs.size())));
        fs::create_directories(programs.back());
        fs::copy_file(KVO_BENCH_TEMPLATE, programs.back() / "KestavoEmpty.db");
        fs::copy_file(KVO_BENCH_TEMPLATE, programs.back() / "Kestavo.db");
        if (!Fill(programs.back() / "Kestavo.db", c.ingredients, c.trips)) return 1;
    }
    std::vector<std::vector<Sample>> samples(std::size(cases));
    int run = 0;
    for (int r = 0; r < Runs; ++r) {
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            samples[i].push_back(InChild(root, programs[i], cases[i].bare, ++run));
            if (samples[i].back().seconds < 0) {
                std::fprintf(stderr, "%s: the start failed\n", cases[i].label);
                return 1;
            }
            fs::remove_all(programs[i] / "dbbackups");   // every start makes the same one copy
        }
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        Case& c = cases[i];
        std::vector<Sample>& mine = samples[i];
        std::sort(mine.begin(), mine.end(), [](const Sample& a, const Sample& b) { return a.seconds < b.seconds; });
        c.median = mine[mine.size() / 2];
        std::printf("%-38s %6.1f ms = %s %5.1f + %5.1f ms, peak memory %5.1f MB", c.label,
                    c.median.seconds * 1000, c.bare ? "rows read" : "window shown", c.median.part * 1000,
                    (c.median.seconds - c.median.part) * 1000, c.median.maxRssKb / 1024.0);
        if (!c.bare) std::printf(", its dated copy apart %.1f ms", c.median.copy * 1000);
        std::printf("\n");
    }
    std::printf("(each the start of median time among %d, each in a process of its own)\n", Runs);
    auto ratio = [](const char* a, double x, const char* b, double y, double goal) {
        const double r = x / y;
        std::printf("%s / %s: %.3fx (%s is %s)  goal: at most %.2fx: %s\n", a, b, r, a, r >= 1 ? "slower" : "faster",
                    goal, r <= goal ? "met" : "not met");
    };
    ratio("20,000 ingredients", cases[1].median.seconds, "200 ingredients", cases[0].median.seconds, 1.05);
    std::printf("  the same less each one's dated copy (timed apart): %.3fx\n",
                (cases[1].median.seconds - cases[1].median.copy) / (cases[0].median.seconds - cases[0].median.copy));
    ratio("1,000 trips", cases[2].median.seconds, "bare Qt window", cases[3].median.seconds, 1.3);
    // What the 1,000 rows themselves cost each: the start with them less the start without.
    const double programRows = cases[2].median.seconds - cases[0].median.seconds;
    const double bareRows = cases[3].median.seconds - cases[4].median.seconds;
    std::printf("the 1,000 trips' own share: program +%.1f ms, bare Qt window +%.1f ms\n", programRows * 1000,
                bareRows * 1000);
    ratio("program's share", programRows, "bare window's share", bareRows, 1.3);
    fs::remove_all(root);
    return 0;
}
