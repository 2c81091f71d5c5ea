#pragma once
// The table data file, line by line: the tags of its format, and the reader that walks a file
// from its header to its end line and hands back its tables and their rows, value by value.
// It knows nothing of the database: what becomes of a row is the import's business.

#include <string>
#include <vector>

#include "platform/db/WDataValue.h"
#include "shell/DataFile.h"

// The tag numbers, in the order of TableDataTags.
enum TableDataTag : int {
    TagHeader,        // "kvo_1_0"
    TagLoadVersion,   // "load_version"
    TagTable,
    TagRowsStart,
    TagRowsEnd,
    TagRowStart,
    TagRowEnd,
    TagStr,
    TagLongStr,
    TagInt,
    TagDouble,
    TagBinary,
    TagNull,
    TagEnd,           // "kvo_end"
};
extern const char* const TableDataTags[];

// One value line of a row: its tag and the value it carries (NULL for an empty integer).
struct TableDataValue {
    int tag = TagNull;
    WDataValue value;
};

class TableDataReader {
public:
    // Opens the file and reads its header and load version; false, with Error() set, when the
    // file cannot be read, is no table data file or needs a newer program than maxLoadVersion.
    bool Open(const std::string& path, int maxLoadVersion);
    void Close() { file_.Close(); }

    enum class Next { Table, End, Failed };
    // Reads on to the next table start (its name in `table`) or the end line; other lines are
    // passed over. Failed at the end of the file or at a line that cannot be read.
    Next NextTable(std::string& table);
    // Right after a table start: the column list must follow (its names are not used).
    bool ReadColumnList();
    // Reads on to the table end line; false at the end of the file or a line that cannot be read.
    bool SkipTable();

    enum class Row { Row, TableEnd, Failed };
    // Reads the next row of the table: the value lines since the last row start, in order.
    // TableEnd at the table end line; Failed at the end of the file, at a line that cannot be
    // read, or at a number that no column could hold as it stands.
    Row NextRow(std::vector<TableDataValue>& values);

    // The message of the last failure, in the program's words.
    const std::string& Error() const { return error_; }

private:
    bool Fail(std::string message);
    bool Stopped();
    bool ReadValue(int tag, TableDataValue& read);

    DataFile file_;
    std::string error_;
};
