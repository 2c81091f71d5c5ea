#pragma once
// The report control of the main window. The program hands it a report file, the placement of
// the report's window and the report parameters as texts "name; value; TRUE" by position, then
// runs it: by the run method, which answers a result code, or by the action property, after
// which a zoom may follow. Every run reads the file anew, fetches its datasets on the program's
// transaction and opens a new preview window. A failed run keeps its code and error text.

#include <functional>
#include <map>
#include <string>
#include <vector>

class ReportPreview;
class WTransaction;

class WReportControl {
public:
    // What one run was handed; a test hook sees it in place of the run.
    struct Request {
        std::string file;
        int left = 0, top = 0, width = 0, height = 0;
        std::vector<std::string> parameters;   // by position
        bool byAction = false;                 // the action property, not the run method
        int zoom = 0;                          // the zoom asked for after the run; 0 none
    };
    // Answers the run's result code and error text.
    using TestHook = std::function<std::pair<int, std::string>(const Request& request)>;

    // The control reads the database through the transaction registered under that name.
    explicit WReportControl(std::string transactionName);
    ~WReportControl();   // closes the preview windows it opened
    WReportControl(const WReportControl&) = delete;
    WReportControl& operator=(const WReportControl&) = delete;

    void SetReportFileName(const std::string& path) { request_.file = path; }
    void SetWindowLeft(int pixels) { request_.left = pixels; }
    void SetWindowTop(int pixels) { request_.top = pixels; }
    void SetWindowWidth(int pixels) { request_.width = pixels; }
    void SetWindowHeight(int pixels) { request_.height = pixels; }
    void SetParameterField(int position, const std::string& text);

    // The run method: 0 on success, else the error code (see ReportResultCode).
    int PrintReport();
    // The action property: 1 runs the report; its result is kept, not answered.
    void SetAction(int value);
    // Zooms the window of the last run: a percent, or 0 for the whole page.
    void Zoom(int percent);

    // Where the last real run's time went, in seconds; the phases follow one another and add
    // up to the run (the first page is drawn after it, when the event loop gets to it).
    struct RunTimes {
        double read = 0;     // the report file
        double fetch = 0;    // the parameters bound and the datasets fetched
        double build = 0;    // the bands made
        double layout = 0;   // measured and paginated for the paper
        double window = 0;   // the preview window made and shown
        double Total() const { return read + fetch + build + layout + window; }
    };
    const RunTimes& LastRunTimes() const { return times_; }

    int GetLastErrorNumber() const { return lastError_; }
    const std::string& GetLastErrorString() const { return lastErrorText_; }
    const Request& LastRequest() const { return last_; }
    // The preview windows of this control still open, oldest first.
    std::vector<ReportPreview*> Previews() const;

    // The primary screen's size in pixels, as the report window's placement is reckoned from it.
    static std::pair<int, int> PrimaryScreenSize();

    static void Register(const std::string& name, WReportControl* control);
    static void Unregister(const std::string& name);
    static WReportControl* Find(const std::string& name);

    // Every run of every control goes to the hook instead (empty: runs are real again).
    static void SetTestHook(TestHook hook);

private:
    int Run(bool byAction);

    std::string transactionName_;
    Request request_;
    Request last_;
    int lastError_ = 0;
    std::string lastErrorText_;
    RunTimes times_;
    struct Windows;
    Windows* windows_;
};
