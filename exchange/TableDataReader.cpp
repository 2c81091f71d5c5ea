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
// note beginning with blanks or a tab keeps them. It ends at its first zero byte, as a C string
// does: the export could never write the rest back.
std::string TextAfterBlank(std::string_view raw) {
    if (!raw.empty() && raw.front() == ' ') raw.remove_prefix(1);
    return std::string(raw.substr(0, raw.find('\0')));
}

}  // namespace

bool TableDataReader::Fail(std::string message) {
    error_ = std::move(message);
    return false;
}

// True, with the failure told, when no further line can be read: the end of the file, or a
// line that could not be read.
bool TableDataReader::Stopped() {
    if (file_.ReadFailed()) return !Fail(file_.GetErrorText());
    if (file_.AtEnd()) return !Fail(PrematureEnd);
    return false;
}

bool TableDataReader::Open(const std::string& path, int maxLoadVersion) {
    error_.clear();
    if (!file_.OpenRead(path, TableDataTags)) return Fail("Could not open the file for loading: " + path);
    if (file_.ReadTag() != TagHeader)
        return Fail(file_.ReadFailed() ? file_.GetErrorText() : "Expected first tag/header line in file: " + path);
    if (file_.ReadTag() != TagLoadVersion)
        return Fail(file_.ReadFailed() ? file_.GetErrorText() : "Expected load version line in file: " + path);
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
        if (Stopped()) return Next::Failed;
    }
}

bool TableDataReader::ReadColumnList() {
    if (file_.ReadTag() == TagRowsStart) return true;
    return Fail(file_.ReadFailed() ? file_.GetErrorText() : "unexpected tag after start of table");
}

bool TableDataReader::SkipTable() {
    for (;;) {
        if (file_.ReadTag() == TagRowsEnd) return true;
        if (Stopped()) return false;
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
        case TagNull:
            if (!ReadValue(tag, values.emplace_back())) return Row::Failed;
            break;
        default:
            if (Stopped()) return Row::Failed;
        }
    }
}

// A number the database could not hold as it stands is refused, never stored as another one.
bool TableDataReader::ReadValue(int tag, TableDataValue& read) {
    read = {tag, {}};
    switch (tag) {
    case TagStr:
    case TagLongStr: read.value = TextAfterBlank(file_.RawValue()); break;
    case TagInt:
        if (!file_.SkipSpaces().empty()) {
            std::int64_t number = 0;
            if (!file_.ReadInt64(number)) return Fail(file_.GetErrorText());
            read.value = static_cast<long long>(number);
        }
        break;
    case TagDouble: {
        double number = 0;
        if (!file_.ReadDouble(number)) return Fail(file_.GetErrorText());
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
    return true;
}
