#include "platform/report/WReportControl.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <chrono>
#include <memory>
#include <mutex>

#include "platform/db/WTransaction.h"
#include "platform/report/ReportData.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportPreview.h"

namespace {

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, WReportControl*>& Registry() {
    static std::map<std::string, WReportControl*> registry;
    return registry;
}

// Each call answers the seconds since the last one.
class PhaseClock {
public:
    double Next() {
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - last_).count();
        last_ = now;
        return seconds;
    }

private:
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

WReportControl::TestHook& Hook() {
    static WReportControl::TestHook hook;
    return hook;
}

}  // namespace

struct WReportControl::Windows {
    std::vector<QPointer<ReportPreview>> previews;
};

WReportControl::WReportControl(std::string transactionName)
    : transactionName_(std::move(transactionName)), windows_(new Windows) {}

WReportControl::~WReportControl() {
    for (const QPointer<ReportPreview>& preview : windows_->previews)
        delete preview.data();
    delete windows_;
    std::lock_guard lock(RegistryMutex());
    for (auto it = Registry().begin(); it != Registry().end();)
        it = it->second == this ? Registry().erase(it) : std::next(it);
}

void WReportControl::SetParameterField(int position, const std::string& text) {
    if (position < 0 || position > 255) return;
    if (request_.parameters.size() <= static_cast<std::size_t>(position))
        request_.parameters.resize(static_cast<std::size_t>(position) + 1);
    request_.parameters[static_cast<std::size_t>(position)] = text;
}

int WReportControl::PrintReport() { return Run(false); }

void WReportControl::SetAction(int value) {
    if (value == 1) Run(true);
}

int WReportControl::Run(bool byAction) {
    last_ = request_;
    last_.byAction = byAction;
    last_.zoom = 0;
    lastError_ = 0;
    lastErrorText_.clear();
    if (Hook()) {
        auto [code, text] = Hook()(last_);
        lastError_ = code;
        lastErrorText_ = code ? text : std::string();
        return lastError_;
    }

    PhaseClock clock;
    times_ = {};
    ReportFailure failure;
    ReportData data;
    auto document = std::make_unique<ReportDocument>();
    const std::optional<ReportDefinition> report = ReportData::Load(last_.file, failure);
    times_.read = clock.Next();
    bool ok = report && data.BindParameters(*report, last_.parameters, failure) &&
              data.RunDatasets(*report, WTransaction::Find(transactionName_), failure);
    times_.fetch = clock.Next();
    ok = ok && document->Build(*report, data, failure);
    times_.build = clock.Next();
    if (!ok) {
        lastError_ = failure.code;
        lastErrorText_ = failure.text;
        return lastError_;
    }
    document->Layout();
    times_.layout = clock.Next();
    auto* preview = new ReportPreview(std::move(document));
    if (last_.width > 0 && last_.height > 0) preview->setGeometry(last_.left, last_.top, last_.width, last_.height);
    preview->show();
    preview->raise();
    preview->activateWindow();
    windows_->previews.emplace_back(preview);
    times_.window = clock.Next();
    return 0;
}

void WReportControl::Zoom(int percent) {
    last_.zoom = percent;
    if (Hook() || lastError_) return;
    for (auto it = windows_->previews.rbegin(); it != windows_->previews.rend(); ++it) {
        if (*it) {
            (*it)->SetZoom(percent);
            return;
        }
    }
}

std::vector<ReportPreview*> WReportControl::Previews() const {
    std::vector<ReportPreview*> open;
    for (const QPointer<ReportPreview>& preview : windows_->previews)
        if (preview) open.push_back(preview.data());
    return open;
}

std::pair<int, int> WReportControl::PrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {1024, 768};
    const QRect geometry = screen->geometry();
    return {geometry.width(), geometry.height()};
}

void WReportControl::Register(const std::string& name, WReportControl* control) {
    std::lock_guard lock(RegistryMutex());
    Registry()[name] = control;
}

void WReportControl::Unregister(const std::string& name) {
    std::lock_guard lock(RegistryMutex());
    Registry().erase(name);
}

WReportControl* WReportControl::Find(const std::string& name) {
    std::lock_guard lock(RegistryMutex());
    const auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}

void WReportControl::SetTestHook(TestHook hook) { Hook() = std::move(hook); }
