#include "platform/db/WQuery.h"

#include <sql.h>
#include <sqlext.h>

#include <cctype>
#include <cstring>

#include "platform/db/DialectTranslator.h"
#include "platform/db/OdbcDiagnostics.h"
#include "platform/db/WDbObserver.h"
#include "platform/db/WTransaction.h"

namespace {

const WDataValue& NullValue() {
    static const WDataValue null;
    return null;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// What a bound parameter points at; it must outlive the execution.
struct BoundValue {
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
    WDataValue::Bytes bytes;
    SQLLEN indicator = 0;
    char empty = 0;
};

bool Bind(SQLHSTMT stmt, SQLUSMALLINT number, const WDataValue& value, BoundValue& bound) {
    SQLRETURN rc;
    if (value.IsLong()) {
        bound.integer = value.AsLong();
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &bound.integer, 0,
                              nullptr);
    } else if (value.IsDouble()) {
        bound.real = value.AsDouble();
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &bound.real, 0,
                              nullptr);
    } else if (value.IsText()) {
        bound.text = value.AsText();
        bound.indicator = static_cast<SQLLEN>(bound.text.size());
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_LONGVARCHAR,
                              bound.text.empty() ? 1 : bound.text.size(), 0,
                              bound.text.empty() ? &bound.empty : bound.text.data(),
                              static_cast<SQLLEN>(bound.text.size()), &bound.indicator);
    } else if (value.IsBytes()) {
        bound.bytes = value.AsBytes();
        bound.indicator = static_cast<SQLLEN>(bound.bytes.size());
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                              bound.bytes.empty() ? 1 : bound.bytes.size(), 0,
                              bound.bytes.empty() ? static_cast<void*>(&bound.empty) : bound.bytes.data(),
                              static_cast<SQLLEN>(bound.bytes.size()), &bound.indicator);
    } else {
        bound.indicator = SQL_NULL_DATA;
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, &bound.empty, 0,
                              &bound.indicator);
    }
    return SQL_SUCCEEDED(rc);
}

bool IsIntegerType(int type) {
    return type == SQL_INTEGER || type == SQL_SMALLINT || type == SQL_TINYINT || type == SQL_BIGINT ||
           type == SQL_BIT;
}

bool IsRealType(int type) {
    return type == SQL_DOUBLE || type == SQL_FLOAT || type == SQL_REAL || type == SQL_NUMERIC ||
           type == SQL_DECIMAL;
}

bool IsBinaryType(int type) {
    return type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
}

// Reads a long value piece by piece: the driver's reported size of a long column means nothing.
bool ReadPieces(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, std::string& out, bool& isNull) {
    char buffer[8192];
    const std::size_t terminator = cType == SQL_C_CHAR ? 1 : 0;
    out.clear();
    isNull = false;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(stmt, column, cType, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA) return true;
        if (!SQL_SUCCEEDED(rc)) return false;
        if (indicator == SQL_NULL_DATA) {
            isNull = true;
            return true;
        }
        std::size_t got = sizeof buffer - terminator;
        if (indicator != SQL_NO_TOTAL && static_cast<std::size_t>(indicator) < got)
            got = static_cast<std::size_t>(indicator);
        out.append(buffer, got);
        if (rc == SQL_SUCCESS) return true;
        // SQL_SUCCESS_WITH_INFO: more to come only when the piece filled the buffer.
        if (indicator != SQL_NO_TOTAL && static_cast<std::size_t>(indicator) <= sizeof buffer - terminator)
            return true;
    }
}

bool ReadValue(SQLHSTMT stmt, SQLUSMALLINT column, int type, WDataValue& value) {
    SQLLEN indicator = 0;
    if (IsIntegerType(type)) {
        SQLBIGINT v = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_SBIGINT, &v, 0, &indicator))) return false;
        value = indicator == SQL_NULL_DATA ? WDataValue() : WDataValue(static_cast<long long>(v));
        return true;
    }
    if (IsRealType(type)) {
        double v = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_DOUBLE, &v, 0, &indicator))) return false;
        value = indicator == SQL_NULL_DATA ? WDataValue() : WDataValue(v);
        return true;
    }
    std::string data;
    bool isNull = false;
    const bool binary = IsBinaryType(type);
    if (!ReadPieces(stmt, column, binary ? SQL_C_BINARY : SQL_C_CHAR, data, isNull)) return false;
    if (isNull) value = WDataValue();
    else if (binary) value = WDataValue(WDataValue::Bytes(data.begin(), data.end()));
    else value = WDataValue(std::move(data));
    return true;
}

}  // namespace

WQuery::~WQuery() { ReleaseStatement(); }

bool WQuery::SetTransaction(const std::string& registeredName) {
    WTransaction* found = WTransaction::Find(registeredName);
    if (!found) return false;
    transaction_ = found;
    return true;
}

void WQuery::SetSQL(std::string sql) { sql_ = std::move(sql); }

void WQuery::SetParameter(int number, WDataValue value) {
    if (number < 1) return;
    if (parameters_.size() < static_cast<std::size_t>(number)) parameters_.resize(static_cast<std::size_t>(number));
    parameters_[static_cast<std::size_t>(number) - 1] = std::move(value);
}

const WDataValue& WQuery::GetParameter(int number) const {
    if (number < 1 || static_cast<std::size_t>(number) > parameters_.size()) return NullValue();
    return parameters_[static_cast<std::size_t>(number) - 1];
}

bool WQuery::Open() {
    Close();
    open_ = Run(sql_, parameters_, true);
    return open_;
}

void WQuery::Close() {
    rows_.clear();
    columns_.clear();
    open_ = false;
}

bool WQuery::Refresh() { return Open(); }

bool WQuery::Execute(const std::string& sql, const std::vector<WDataValue>& parameters) {
    return Run(sql, parameters, false);
}

std::string WQuery::GetColumnName(int column) const {
    if (column < 0 || column >= GetNumColumns()) return {};
    return columns_[static_cast<std::size_t>(column)].name;
}

int WQuery::GetColumnType(int column) const {
    if (column < 0 || column >= GetNumColumns()) return 0;
    return columns_[static_cast<std::size_t>(column)].type;
}

int WQuery::FindColumn(const std::string& name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (SameName(columns_[i].name, name)) return static_cast<int>(i);
    return -1;
}

const WDataValue& WQuery::GetValue(long row, int column) const {
    if (row < 0 || row >= GetNumRows() || column < 0 || column >= GetNumColumns()) return NullValue();
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

const WDataValue& WQuery::GetValue(long row, const std::string& column) const {
    return GetValue(row, FindColumn(column));
}

void WQuery::ReleaseStatement() {
    if (stmt_) SQLFreeHandle(SQL_HANDLE_STMT, static_cast<SQLHSTMT>(stmt_));
    stmt_ = nullptr;
    preparedSql_.clear();
    preparedOrder_.clear();
    if (attachedTo_) attachedTo_->Detach(this);
    attachedTo_ = nullptr;
}

void WQuery::DropForDisconnect() {
    if (stmt_) SQLFreeHandle(SQL_HANDLE_STMT, static_cast<SQLHSTMT>(stmt_));
    stmt_ = nullptr;
    preparedSql_.clear();
    preparedOrder_.clear();
    attachedTo_ = nullptr;
    Close();
}

void WQuery::FailWith(short handleType, void* handle) {
    lastError_ = OdbcDiagnostics(handleType, handle);
    lastFailure_ = DescribeOdbcFailure(handleType, handle);
    if (reportsFileFailures_ && transaction_ && IsFileFailure(lastFailure_)) transaction_->NoteFileFailure(lastFailure_);
}

bool WQuery::Prepare(const std::string& sql) {
    // Binding again replaces the parameters; the cursor was closed after the last run.
    if (stmt_ && attachedTo_ == transaction_ && preparedSql_ == sql) return true;
    ReleaseStatement();
    const DialectTranslator::Translation translation = transaction_->Translator().Translate(sql);
    if (!translation.ok) {
        lastError_ = translation.error;
        lastFailure_ = {WDbFailureKind::Refused, translation.error};
        return false;
    }
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    const auto dbc = static_cast<SQLHDBC>(transaction_->NativeHandle());
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt))) {
        FailWith(SQL_HANDLE_DBC, dbc);
        return false;
    }
    if (!SQL_SUCCEEDED(SQLPrepare(stmt, (SQLCHAR*)translation.sql.c_str(), SQL_NTS))) {
        FailWith(SQL_HANDLE_STMT, stmt);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return false;
    }
    stmt_ = stmt;
    preparedSql_ = sql;
    preparedOrder_ = translation.parameterOrder;
    attachedTo_ = transaction_;
    transaction_->Attach(this);
    return true;
}

bool WQuery::Run(const std::string& sql, const std::vector<WDataValue>& parameters, bool fetch) {
    lastError_.clear();
    lastFailure_ = {};
    rowsAffected_ = -1;
    if (!transaction_ || !transaction_->IsConnected()) {
        lastError_ = "the query has no connected transaction";
        lastFailure_ = {WDbFailureKind::Unavailable, lastError_};
        return false;
    }
    // Even a read may wait here for a writer of another program.
    if (WDbObserver* observer = WDbObserver::Get()) observer->StatementStarts();
    if (!Prepare(sql)) return false;
    const auto stmt = static_cast<SQLHSTMT>(stmt_);

    std::vector<BoundValue> bound(preparedOrder_.size());
    for (std::size_t i = 0; i < preparedOrder_.size(); ++i) {
        const auto number = static_cast<std::size_t>(preparedOrder_[i]);
        const WDataValue& value = number <= parameters.size() ? parameters[number - 1] : NullValue();
        if (!Bind(stmt, static_cast<SQLUSMALLINT>(i + 1), value, bound[i])) {
            FailWith(SQL_HANDLE_STMT, stmt);
            ReleaseStatement();
            return false;
        }
    }
    const SQLRETURN rc = SQLExecute(stmt);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
        FailWith(SQL_HANDLE_STMT, stmt);
        SQLFreeStmt(stmt, SQL_CLOSE);
        return false;
    }
    SQLLEN count = -1;
    if (SQL_SUCCEEDED(SQLRowCount(stmt, &count))) rowsAffected_ = static_cast<long>(count);
    const bool ok = fetch ? Fetch() : true;
    // Closing a statement without a cursor would make this driver prepare it anew next time.
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &columns)) || columns > 0) SQLFreeStmt(stmt, SQL_CLOSE);
    return ok;
}

bool WQuery::Fetch() {
    const auto stmt = static_cast<SQLHSTMT>(stmt_);
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &count))) {
        FailWith(SQL_HANDLE_STMT, stmt);
        return false;
    }
    for (SQLSMALLINT c = 1; c <= count; ++c) {
        SQLCHAR name[512] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeCol(stmt, c, name, sizeof name, &nameLength, &type, &size, &digits, &nullable);
        columns_.push_back({reinterpret_cast<char*>(name), type});
    }
    if (count == 0) return true;
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) {
            FailWith(SQL_HANDLE_STMT, stmt);
            rows_.clear();
            columns_.clear();
            return false;
        }
        std::vector<WDataValue> row(columns_.size());
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (!ReadValue(stmt, static_cast<SQLUSMALLINT>(c + 1), columns_[c].type, row[c])) {
                FailWith(SQL_HANDLE_STMT, stmt);
                rows_.clear();
                columns_.clear();
                return false;
            }
        }
        rows_.push_back(std::move(row));
    }
    return true;
}
