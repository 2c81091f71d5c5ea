#pragma once
// Reads a report file: one statement a line, its words bare or in double quotes; a line that
// starts with '#' is a comment; a dataset's SQL runs from its "dataset" line to a line "end".
//
//   report "Trip shopping list"
//   page portrait | landscape
//   parameter "Trip id" integer | number | text [default <value>]
//   dataset <name>
//     select ... where trip = {Trip id}
//   end
//   pageheader | pagefooter  left | center | right  <text>
//   title <text>
//   text <text>
//   table <dataset>
//     heading <text>
//     empty <text>
//     group <key column> <text> [note <column>]
//     column <title> <column> [left | center | right] [width <percent>] [number <pattern> [up | nearest]]
//     when <column>
//   end
//
// Texts carry fields in braces (see ReportText). Errors name the line: "line 12: ...".

#include <optional>
#include <string>
#include <vector>

#include "platform/report/ReportDefinition.h"

struct ReportReadError {
    int line = 0;
    std::string message;
    std::string Text() const;   // "line 12: message" (no line: the message alone)
};

class ReportReader {
public:
    // The definition, or nothing with the error set.
    std::optional<ReportDefinition> Read(const std::string& fileText);
    const ReportReadError& Error() const { return error_; }

    // "0.##", "0.00", "0": false for anything else.
    static bool ParseNumberPattern(const std::string& pattern, ReportNumberFormat& format);

private:
    ReportReadError error_;
};

// A text cut into literal pieces and fields; "{{" stands for a brace.
struct ReportPiece {
    bool isField = false;
    std::string text;   // the literal text, or the field's name
    ReportNumberFormat format;
};
bool SplitReportText(const std::string& text, std::vector<ReportPiece>& pieces, std::string& error);

// A number as the format shows it: rounded at its last shown digit, trailing zeros beyond the
// format's minimum dropped, a C-locale point, never "-0".
std::string FormatReportNumber(double value, const ReportNumberFormat& format);
