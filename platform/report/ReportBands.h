#pragma once
// A report as the bands it prints, top to bottom, with every field filled in: titles and
// paragraphs, and for each table the row of column titles, its group headings and notes and
// its detail rows. Nothing here depends on a device: ReportLayout measures the bands for one.

#include <QString>
#include <vector>

#include "platform/report/ReportDefinition.h"

struct ReportBand {
    enum class Kind {
        Title,
        Text,
        TableHeading,   // the paragraph above a table
        Empty,          // the paragraph in place of a table without rows
        ColumnTitles,
        Heading,        // a group heading; level 0 is the outermost group
        Note,           // under the heading of its level
        Detail,
    };
    Kind kind = Kind::Text;
    int table = -1;   // rows: the index of their table's shape
    int level = 0;    // headings and notes
    std::vector<QString> cells;   // one text, or one per column for column titles and details

    bool IsRow() const { return kind == Kind::ColumnTitles || kind == Kind::Heading || kind == Kind::Note || kind == Kind::Detail; }
};

// The columns of one table: their share of the width, their alignment, and how deep the
// groups go (the first column is indented past the group headings).
struct ReportTableShape {
    std::vector<double> widths;   // fractions of the table's width, adding up to 1
    std::vector<ReportAlign> align;
    int depth = 0;
};

// A page band's texts, every field already filled in but {page} and {pages}.
struct ReportPageTexts {
    std::string left, center, right;
};

struct ReportBands {
    std::vector<ReportBand> bands;
    std::vector<ReportTableShape> tables;
    ReportPageTexts header, footer;
};
