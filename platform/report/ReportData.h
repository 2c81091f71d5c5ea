#pragma once
// The data of one run of a report: the file read, the parameter texts the program handed over
// bound to the file's parameters, and the rows of every dataset, fetched through WQuery.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/WDataValue.h"
#include "platform/report/ReportDefinition.h"

class WTransaction;

// The result codes of a run; 0 is success.
enum ReportResultCode {
    ReportSucceeded = 0,
    ReportFileMissing = 1,       // no file, or it cannot be read
    ReportFileMalformed = 2,     // a line the reader refuses
    ReportParameterMissing = 3,  // a parameter without a value, or one that is not of its type
    ReportDatasetFailed = 4,     // the SQL of a dataset failed; the text is the driver's
    ReportLayoutFailed = 5,      // the layout names a column that its dataset does not have
    ReportNoDatabase = 6,        // no connected transaction
};

struct ReportFailure {
    int code = ReportSucceeded;
    std::string text;
};

struct ReportRows {
    std::vector<std::string> columns;
    std::vector<std::vector<WDataValue>> rows;
    int Find(const std::string& column) const;   // without regard to case, -1 when absent
};

class ReportData {
public:
    // Reads the file at path; nothing, with the failure set, when it is missing or malformed.
    static std::optional<ReportDefinition> Load(const std::string& path, ReportFailure& failure);

    // "name; value; TRUE" into its name and value (both trimmed); false when the text has no
    // ';' after the name.
    static bool SplitParameterText(const std::string& text, std::string& name, std::string& value);

    // Gives every parameter of the report its value: from the texts handed over (by name; texts
    // for parameters the report does not have are passed by), else its default.
    bool BindParameters(const ReportDefinition& report, const std::vector<std::string>& texts,
                        ReportFailure& failure);
    // Runs every dataset, in file order, on the transaction.
    bool RunDatasets(const ReportDefinition& report, WTransaction* transaction, ReportFailure& failure);

    const ReportRows* Rows(const std::string& dataset) const;   // without regard to case
    // The bound value of a parameter; NULL when the report has none of that name.
    WDataValue Parameter(const std::string& name) const;

private:
    std::vector<WDataValue> values_;         // by the report's parameter index
    std::vector<std::string> names_;
    std::map<std::string, ReportRows> rows_;   // by lower-case dataset name
};
