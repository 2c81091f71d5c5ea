#include "platform/forms/WPrompter.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>
#include <atomic>

#include "platform/forms/GuiCall.h"
#include "platform/help/Help.h"
#include "platform/forms/WWindow.h"

namespace {

std::atomic<WPrompter*> installed{nullptr};

QWidget* OwnerWidget(WWindow* owner) {
    return owner && owner->GetWidget() ? owner->GetWidget()->window() : nullptr;
}

QMessageBox::Icon ToQtIcon(WMessageIcon icon) {
    switch (icon) {
    case WMessageIcon::Information: return QMessageBox::Information;
    case WMessageIcon::Question: return QMessageBox::Question;
    case WMessageIcon::Exclamation: return QMessageBox::Warning;
    case WMessageIcon::Stop: return QMessageBox::Critical;
    case WMessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(WMessageButtons buttons) {
    switch (buttons) {
    case WMessageButtons::OKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case WMessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case WMessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case WMessageButtons::OK: break;
    }
    return QMessageBox::Ok;
}

// The answer when the box is closed without a button: what Esc would choose.
WMessageAnswer EscapeAnswer(WMessageButtons buttons) {
    switch (buttons) {
    case WMessageButtons::OK: return WMessageAnswer::OK;
    case WMessageButtons::YesNo: return WMessageAnswer::No;
    default: return WMessageAnswer::Cancel;
    }
}

// Qt reads a filter's patterns from the parentheses at the end of its text. A description
// that already shows its patterns ("Database file (*.db)") keeps its words, and the patterns
// follow once; "*.*" means every file, with or without a dot.
QString Filters(const std::vector<WFileFilter>& filters) {
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
    QStringList list;
    for (const WFileFilter& filter : filters) {
        QString patterns = ToQt(filter.pattern);
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        QString description = ToQt(filter.description);
        description.remove(shownPatterns);
        list << QString("%1 (%2)").arg(description, patterns);
    }
    return list.join(";;");
}

}  // namespace

WPrompter& WPrompter::Get() {
    static QtPrompter qtPrompter;
    WPrompter* prompter = installed.load();
    return prompter ? *prompter : qtPrompter;
}

void WPrompter::Install(WPrompter* prompter) { installed.store(prompter); }

WMessageAnswer MessageBox(WWindow* owner, const std::string& caption, const std::string& text,
                          WMessageIcon icon, WMessageButtons buttons) {
    return WPrompter::Get().Message(owner, caption, text, icon, buttons);
}

std::optional<std::string> FileDialog(WWindow* owner, const WFileRequest& request) {
    return WPrompter::Get().FileDialog(owner, request);
}

WMessageAnswer QtPrompter::Message(WWindow* owner, const std::string& caption, const std::string& text,
                                   WMessageIcon icon, WMessageButtons buttons) {
    return GuiCall([&] {
        QString body = ToQt(text);
        body.replace("\r\n", "\n");
        QMessageBox box(ToQtIcon(icon), ToQt(caption), body, ToQtButtons(buttons), OwnerWidget(owner));
        box.setTextFormat(Qt::PlainText);
        if (box.parentWidget()) box.setWindowModality(Qt::WindowModal);
        switch (box.exec()) {
        case QMessageBox::Ok: return WMessageAnswer::OK;
        case QMessageBox::Cancel: return WMessageAnswer::Cancel;
        case QMessageBox::Yes: return WMessageAnswer::Yes;
        case QMessageBox::No: return WMessageAnswer::No;
        default: return EscapeAnswer(buttons);
        }
    });
}

std::optional<std::string> QtPrompter::FileDialog(WWindow* owner, const WFileRequest& request) {
    return GuiCall([&]() -> std::optional<std::string> {
        QString start = ToQt(request.folder.empty() ? QDir::currentPath().toStdString() : request.folder);
        if (!request.file.empty()) start = QDir(start).filePath(ToQt(request.file));
        QFileDialog dialog(OwnerWidget(owner), ToQt(request.title), start, Filters(request.filters));
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(ToQt(request.defaultExtension));
        if (dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return FromQt(dialog.selectedFiles().first());
    });
}

bool WPrompter::Help(WWindow*, const std::string& target) { return ShowHelpTarget(target); }

LaunchProblem WPrompter::Launch(const std::string& fileTypeKey, const std::string& argument, bool wait) {
    return LaunchProgramForFileType(fileTypeKey, argument, wait);
}

bool RequestHelp(WWindow* owner, const std::string& target) {
    return WPrompter::Get().Help(owner, target);
}

LaunchProblem RequestLaunch(const std::string& fileTypeKey, const std::string& argument, bool wait) {
    return WPrompter::Get().Launch(fileTypeKey, argument, wait);
}

ScriptedPrompter::ScriptedPrompter() : previous_(installed.exchange(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
    WPrompter* self = this;
    installed.compare_exchange_strong(self, previous_);
}

void ScriptedPrompter::Answer(WMessageAnswer answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void ScriptedPrompter::AnswerFile(std::optional<std::string> path) {
    std::lock_guard lock(mutex_);
    files_.push_back(std::move(path));
}

std::vector<ScriptedPrompter::Shown> ScriptedPrompter::Messages() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

std::vector<WFileRequest> ScriptedPrompter::FileRequests() const {
    std::lock_guard lock(mutex_);
    return fileRequests_;
}

int ScriptedPrompter::Unanswered() const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const Shown& shown : shown_) n += shown.unanswered ? 1 : 0;
    return n;
}

int ScriptedPrompter::PendingAnswers() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(answers_.size() + files_.size());
}

void ScriptedPrompter::Clear() {
    std::lock_guard lock(mutex_);
    answers_.clear();
    files_.clear();
    shown_.clear();
    fileRequests_.clear();
    helpRequests_.clear();
    launchRequests_.clear();
}

std::vector<std::string> ScriptedPrompter::HelpRequests() const {
    std::lock_guard lock(mutex_);
    return helpRequests_;
}

std::vector<ScriptedPrompter::LaunchRequest> ScriptedPrompter::LaunchRequests() const {
    std::lock_guard lock(mutex_);
    return launchRequests_;
}

bool ScriptedPrompter::Help(WWindow* owner, const std::string& target) {
    {
        std::lock_guard lock(mutex_);
        helpRequests_.push_back(target);
    }
    return WPrompter::Help(owner, target);
}

LaunchProblem ScriptedPrompter::Launch(const std::string& fileTypeKey, const std::string& argument,
                                       bool wait) {
    {
        std::lock_guard lock(mutex_);
        launchRequests_.push_back({fileTypeKey, argument, wait});
    }
    return WPrompter::Launch(fileTypeKey, argument, wait);
}

WMessageAnswer ScriptedPrompter::Message(WWindow* owner, const std::string& caption, const std::string& text,
                                         WMessageIcon icon, WMessageButtons buttons) {
    std::lock_guard lock(mutex_);
    Shown shown{owner ? owner->GetName() : std::string(), caption, text, icon, buttons};
    if (buttons == WMessageButtons::OK) {
        shown.answer = WMessageAnswer::OK;
    } else if (!answers_.empty()) {
        shown.answer = answers_.front();
        answers_.pop_front();
    } else {
        shown.answer = EscapeAnswer(buttons);
        shown.unanswered = true;
    }
    shown_.push_back(shown);
    return shown.answer;
}

std::optional<std::string> ScriptedPrompter::FileDialog(WWindow*, const WFileRequest& request) {
    std::lock_guard lock(mutex_);
    fileRequests_.push_back(request);
    if (files_.empty()) return std::nullopt;
    std::optional<std::string> path = std::move(files_.front());
    files_.pop_front();
    return path;
}

const char* ToString(WMessageAnswer answer) {
    switch (answer) {
    case WMessageAnswer::OK: return "OK";
    case WMessageAnswer::Cancel: return "Cancel";
    case WMessageAnswer::Yes: return "Yes";
    case WMessageAnswer::No: return "No";
    }
    return "?";
}

const char* ToString(WMessageIcon icon) {
    switch (icon) {
    case WMessageIcon::None: return "none";
    case WMessageIcon::Information: return "information";
    case WMessageIcon::Question: return "question";
    case WMessageIcon::Exclamation: return "exclamation";
    case WMessageIcon::Stop: return "stop";
    }
    return "?";
}

const char* ToString(WMessageButtons buttons) {
    switch (buttons) {
    case WMessageButtons::OK: return "OK";
    case WMessageButtons::OKCancel: return "OK/Cancel";
    case WMessageButtons::YesNo: return "Yes/No";
    case WMessageButtons::YesNoCancel: return "Yes/No/Cancel";
    }
    return "?";
}
