#pragma once
// What a report file says: its parameters, its datasets (SQL with the parameters bound as '?'
// markers) and its layout. ReportReader makes one from the file's text; every part keeps the
// line it came from, so that an error found later can still name it.

#include <string>
#include <vector>

enum class ReportParameterType { Integer, Number, Text };
enum class ReportAlign { Left, Center, Right };
enum class ReportRounding { Nearest, Up };

struct ReportParameter {
    std::string name;
    ReportParameterType type = ReportParameterType::Text;
    bool hasDefault = false;
    std::string defaultValue;
    int line = 0;
};

struct ReportDataset {
    std::string name;
    std::string sql;                  // the parameters replaced by '?'
    std::vector<int> parameterOrder;  // for each '?', the index of its parameter
    int line = 0;
};

// How a number is shown: "0.##" gives at most two decimals with trailing zeros dropped, "0.00"
// always two; the last shown digit is rounded to the nearest or up.
struct ReportNumberFormat {
    bool isNumber = false;
    int minDecimals = 0;
    int maxDecimals = 0;
    ReportRounding rounding = ReportRounding::Nearest;
};

// A text with fields: {column} of the current row (or a parameter), {dataset.column} of a
// dataset's first row, {page} and {pages} in page headers and footers; "|pattern" after a
// field's name formats it as a number ("{feeds|0.##}").
struct ReportText {
    std::string text;
    int line = 0;
};

struct ReportColumn {
    std::string title;
    std::string column;
    ReportAlign align = ReportAlign::Left;
    int widthPercent = 0;   // 0: shared with the other columns without a width
    ReportNumberFormat format;
    int line = 0;
};

// A heading printed whenever the key column's value changes (nothing while the key is NULL);
// the note column, when given and not empty, is printed under it.
struct ReportGroup {
    std::string key;
    ReportText heading;
    std::string note;
    int line = 0;
};

struct ReportTable {
    std::string dataset;
    ReportText heading;          // above the table, only when it has rows
    ReportText empty;            // instead of the table when it has no rows
    std::vector<ReportGroup> groups;
    std::vector<ReportColumn> columns;
    std::string when;            // rows whose 'when' column is NULL print no detail line
    int line = 0;
};

// The body in file order: titles, paragraphs and tables.
struct ReportBlock {
    enum class Kind { Title, Text, Table } kind = Kind::Text;
    ReportText text;
    ReportTable table;
};

struct ReportPageBand {
    ReportText left, center, right;
};

struct ReportDefinition {
    std::string name;   // shown in the preview's caption
    bool landscape = false;
    std::vector<ReportParameter> parameters;
    std::vector<ReportDataset> datasets;
    ReportPageBand pageHeader, pageFooter;
    std::vector<ReportBlock> body;

    const ReportParameter* FindParameter(const std::string& name) const;   // without regard to case
    const ReportDataset* FindDataset(const std::string& name) const;
};
