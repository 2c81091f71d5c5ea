#include "platform/launch/ProgramLauncher.h"

#include <cctype>

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/launch/ExecLine.h"
#include "platform/launch/XdgAssociations.h"

namespace {

// "http://host/page" has the scheme http; a plain path or "C:..." has none worth a handler.
// Read by hand: an address as the program builds it may hold blanks that a strict URL parser
// refuses.
std::string WebScheme(const std::string& argument) {
    const size_t colon = argument.find(':');
    if (colon == std::string::npos || colon < 2) return {};
    if (!std::isalpha(static_cast<unsigned char>(argument[0]))) return {};
    std::string scheme;
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(argument[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return {};
        scheme += static_cast<char>(std::tolower(c));
    }
    return scheme == "file" ? std::string() : scheme;
}

}  // namespace

LaunchProblem LaunchProgramForFileType(const std::string& fileTypeKey, const std::string& argument,
                                       bool wait) {
    std::vector<std::string> types;
    if (const std::string scheme = WebScheme(argument); !scheme.empty())
        types.push_back("x-scheme-handler/" + scheme);
    for (std::string& type : MimeTypesForExtension(fileTypeKey)) types.push_back(std::move(type));
    if (types.empty()) return LaunchProblem::NoFileType;

    const std::optional<DesktopEntry> entry = FindDefaultApplication(types);
    if (!entry) return LaunchProblem::NoRegisteredProgram;
    const std::optional<std::vector<std::string>> exec = SplitExecLine(entry->exec);
    if (!exec || exec->empty()) return LaunchProblem::NoOpenCommand;

    const std::vector<std::string> argv = ExpandExecArguments(*exec, argument);
    return StartProgram(argv, wait) ? LaunchProblem::None : LaunchProblem::NotStarted;
}

bool StartProgram(const std::vector<std::string>& argv, bool wait) {
    if (argv.empty() || argv[0].empty()) return false;
    const QString name = QString::fromStdString(argv[0]);
    const QString program = name.contains(QLatin1Char('/'))
                                ? name : QStandardPaths::findExecutable(name);
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) return false;
    QStringList arguments;
    for (size_t i = 1; i < argv.size(); ++i) arguments << QString::fromStdString(argv[i]);

    if (!wait) return QProcess::startDetached(program, arguments);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(-1)) return false;
    process.waitForFinished(-1);
    return true;
}
