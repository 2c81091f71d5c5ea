#include "platform/report/ReportData.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/db/WQuery.h"
#include "platform/db/WTransaction.h"
#include "platform/report/ReportReader.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The value text as the parameter's type reads it; false when it is not of that type.
bool TypedValue(const ReportParameter& parameter, const std::string& text, WDataValue& value) {
    char* end = nullptr;
    errno = 0;
    switch (parameter.type) {
    case ReportParameterType::Integer: {
        const long long v = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno == ERANGE) return false;
        value = WDataValue(v);
        return true;
    }
    case ReportParameterType::Number: {
        const double v = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0') return false;
        value = WDataValue(v);
        return true;
    }
    case ReportParameterType::Text:
        value = WDataValue(text);
        return true;
    }
    return false;
}

}  // namespace

int ReportRows::Find(const std::string& column) const {
    const std::string key = Lower(column);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (Lower(columns[i]) == key) return static_cast<int>(i);
    return -1;
}

std::optional<ReportDefinition> ReportData::Load(const std::string& path, ReportFailure& failure) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        failure = {ReportFileMissing, "The report file '" + path + "' cannot be found."};
        return std::nullopt;
    }
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
    std::ostringstream text;
    if (in.is_open()) text << in.rdbuf();
    if (!in.is_open() || in.bad()) {
        failure = {ReportFileMissing, "The report file '" + path + "' cannot be read."};
        return std::nullopt;
    }
    ReportReader reader;
    std::optional<ReportDefinition> report = reader.Read(text.str());
    if (!report)
        failure = {ReportFileMalformed, "The report file '" + BaseName(path) + "' is not valid: " + reader.Error().Text() + "."};
    return report;
}

bool ReportData::SplitParameterText(const std::string& text, std::string& name, std::string& value) {
    const auto first = text.find(';');
    if (first == std::string::npos) return false;
    name = Trim(text.substr(0, first));
    const auto second = text.find(';', first + 1);
    value = Trim(text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1));
    return !name.empty();
}

bool ReportData::BindParameters(const ReportDefinition& report, const std::vector<std::string>& texts,
                                ReportFailure& failure) {
    values_.assign(report.parameters.size(), WDataValue());
    names_.clear();
    std::vector<bool> given(report.parameters.size(), false);
    for (const ReportParameter& p : report.parameters) names_.push_back(p.name);
    for (const std::string& text : texts) {
        if (Trim(text).empty()) continue;   // a position the program left unset
        std::string name, value;
        if (!SplitParameterText(text, name, value)) {
            failure = {ReportParameterMissing,
                       "The report parameter '" + text + "' is not of the form 'name; value; TRUE'."};
            return false;
        }
        const ReportParameter* parameter = report.FindParameter(name);
        if (!parameter) continue;
        if (value.empty()) {
            failure = {ReportParameterMissing, "The report parameter '" + name + "' has no value."};
            return false;
        }
        const auto index = static_cast<std::size_t>(parameter - report.parameters.data());
        if (!TypedValue(*parameter, value, values_[index])) {
            failure = {ReportParameterMissing, "The report parameter '" + name + "' needs a " +
                                                   (parameter->type == ReportParameterType::Integer ? "whole number"
                                                                                                    : "number") +
                                                   ", not '" + value + "'."};
            return false;
        }
        given[index] = true;
    }
    for (std::size_t i = 0; i < report.parameters.size(); ++i) {
        if (given[i]) continue;
        const ReportParameter& p = report.parameters[i];
        if (!p.hasDefault) {
            failure = {ReportParameterMissing, "The report parameter '" + p.name + "' has no value."};
            return false;
        }
        TypedValue(p, p.defaultValue, values_[i]);
    }
    return true;
}

bool ReportData::RunDatasets(const ReportDefinition& report, WTransaction* transaction, ReportFailure& failure) {
    rows_.clear();
    if (!transaction || !transaction->IsConnected()) {
        failure = {ReportNoDatabase, "The report cannot read the database: it is not connected."};
        return false;
    }
    for (const ReportDataset& dataset : report.datasets) {
        WQuery query(transaction);
        query.SetSQL(dataset.sql);
        for (std::size_t i = 0; i < dataset.parameterOrder.size(); ++i)
            query.SetParameter(static_cast<int>(i) + 1, values_[static_cast<std::size_t>(dataset.parameterOrder[i])]);
        if (!query.Open()) {
            failure = {ReportDatasetFailed, "The dataset '" + dataset.name + "' (line " + std::to_string(dataset.line) +
                                                ") failed: " + query.LastError()};
            return false;
        }
        ReportRows rows;
        for (int c = 0; c < query.GetNumColumns(); ++c) rows.columns.push_back(query.GetColumnName(c));
        rows.rows.reserve(static_cast<std::size_t>(query.GetNumRows()));
        for (long r = 0; r < query.GetNumRows(); ++r) {
            std::vector<WDataValue> row;
            row.reserve(rows.columns.size());
            for (int c = 0; c < query.GetNumColumns(); ++c) row.push_back(query.GetValue(r, c));
            rows.rows.push_back(std::move(row));
        }
        query.Close();
        rows_[Lower(dataset.name)] = std::move(rows);
    }
    return true;
}

const ReportRows* ReportData::Rows(const std::string& dataset) const {
    const auto found = rows_.find(Lower(dataset));
    return found == rows_.end() ? nullptr : &found->second;
}

WDataValue ReportData::Parameter(const std::string& name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (Lower(names_[i]) == Lower(name)) return values_[i];
    return {};
}
