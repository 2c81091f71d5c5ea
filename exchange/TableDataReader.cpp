#include "exchange/TableDataReader.h"

#include <cstdint>

const char* const TableDataTags[] = {
    "kvo_1_0",    "load_version",     "table",       "rows_start", "rows_end",       "row_start", "row_end",
    "col_val_str", "col_val_long_str", "col_val_int", "col_val_double", "col_val_binary", "col_val_null",
    "kvo_end",    nullptr,
};

namespace {

constexpr const char* PrematureEnd = "Premature end of file";

// A text value starts after the one blank that the writer puts behind the colon, so that a
// note beginning with blanks or a tab keeps them.
std::string TextAfterBlank(std::string_view raw) {
    if (!raw.empty() && raw.front() == ' ') raw.remove_prefix(1);
    return std::string(raw);
}

}  // namespace

bool TableDataReader::Fail(std::string message) {
    error_ = std::move(message);
    return false;
}

bool TableDataReader::Open(const std::string& path, int maxLoadVersion) {
    error_.clear();
    if (!file_.OpenRead(path, TableDataTags)) return Fail("Could not open the file for loading: " + path);
    if (file_.ReadTag() != TagHeader) return Fail("Expected first tag/header line in file: " + path);
    if (file_.ReadTag() != TagLoadVersion) return Fail("Expected load version line in file: " + path);
    std::int32_t loadVersion = 0;
    file_.ReadInt(loadVersion, 0, 0);
    if (loadVersion > maxLoadVersion)
        return Fail("The version of your product is not new enough to load this data file. See the Help menu to "
                    "visit our web site and download an updated version.");
    return true;
}

TableDataReader::Next TableDataReader::NextTable(std::string& table) {
    for (;;) {
        const int tag = file_.ReadTag();
        if (tag == TagTable) {
            table = file_.SkipSpaces();
            return Next::Table;
        }
        if (tag == TagEnd) return Next::End;
        if (file_.AtEnd()) {
            Fail(PrematureEnd);
            return Next::Failed;
        }
    }
}

bool TableDataReader::ReadColumnList() {
    return file_.ReadTag() == TagRowsStart || Fail("unexpected tag after start of table");
}

bool TableDataReader::SkipTable() {
    for (;;) {
        if (file_.ReadTag() == TagRowsEnd) return true;
        if (file_.AtEnd()) return Fail(PrematureEnd);
    }
}

TableDataReader::Row TableDataReader::NextRow(std::vector<TableDataValue>& values) {
    values.clear();
    for (;;) {
        const int tag = file_.ReadTag();
        switch (tag) {
        case TagRowStart: values.clear(); break;
        case TagRowEnd: return Row::Row;
        case TagRowsEnd: return Row::TableEnd;
        case TagStr:
        case TagLongStr:
        case TagInt:
        case TagDouble:
        case TagBinary:
        case TagNull: values.push_back(ReadValue(tag)); break;
        default:
            if (file_.AtEnd()) {
                Fail(PrematureEnd);
                return Row::Failed;
            }
        }
    }
}

TableDataValue TableDataReader::ReadValue(int tag) {
    TableDataValue read{tag, {}};
    switch (tag) {
    case TagStr:
    case TagLongStr: read.value = TextAfterBlank(file_.RawValue()); break;
    case TagInt:
        if (!file_.SkipSpaces().empty()) {
            std::int32_t number = 0;
            file_.ReadInt(number, 0, 0);
            read.value = static_cast<long long>(number);
        }
        break;
    case TagDouble: {
        double number = 0;
        file_.ReadDouble(number);
        read.value = number;
        break;
    }
    case TagBinary: {
        const std::string_view raw = file_.RawValue();
        read.value = WDataValue::Bytes(raw.begin(), raw.end());
        break;
    }
    default: break;   // col_val_null
    }
    return read;
}
