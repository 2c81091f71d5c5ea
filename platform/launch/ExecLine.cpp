#include "platform/launch/ExecLine.h"

std::string UnescapeDesktopValue(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += '\\'; out += value[i]; break;   // left for the quoting rules
        }
    }
    return out;
}

std::optional<std::vector<std::string>> SplitExecLine(const std::string& exec) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false, quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size() &&
                       std::string("\"`$\\").find(exec[i + 1]) != std::string::npos) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else if (c == '"') {
            quoted = inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted) return std::nullopt;
    if (inArgument) arguments.push_back(current);
    return arguments;
}

namespace {
// A local file given as a file: URL goes to %f as a path; everything else as it is.
std::string AsFile(const std::string& target) {
    const std::string prefix = "file://";
    if (target.rfind(prefix, 0) != 0) return target;
    return target.substr(prefix.size());
}

// Expands one argument; false in `kept` when it held only codes that are dropped.
std::string ExpandArgument(const std::string& argument, const std::string& target,
                           bool& usedTarget, bool& kept) {
    std::string out;
    bool onlyDropped = true;
    for (size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] != '%' || i + 1 == argument.size()) {
            out += argument[i];
            onlyDropped = false;
            continue;
        }
        const char code = argument[++i];
        switch (code) {
        case 'f': case 'F': out += AsFile(target); usedTarget = true; onlyDropped = false; break;
        case 'u': case 'U': out += target; usedTarget = true; onlyDropped = false; break;
        case '%': out += '%'; onlyDropped = false; break;
        default: break;   // %i %c %k, the deprecated %d %D %n %N %v %m, and unknown codes
        }
    }
    kept = argument.empty() || !(onlyDropped && out.empty());
    return out;
}
}  // namespace

std::vector<std::string> ExpandExecArguments(const std::vector<std::string>& arguments,
                                             const std::string& target) {
    std::vector<std::string> argv;
    bool usedTarget = false;
    for (const std::string& argument : arguments) {
        bool kept = true;
        std::string expanded = ExpandArgument(argument, target, usedTarget, kept);
        if (kept) argv.push_back(std::move(expanded));
    }
    if (!usedTarget) argv.push_back(target);
    return argv;
}
