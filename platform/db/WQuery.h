#pragma once
// A statement on a transaction. Open() runs it, with its '?' parameters bound by position, and
// fetches every row into memory; values are then read by row and column. A failed statement
// answers false (or -1) and never throws.

#include <string>
#include <vector>

#include "platform/db/WDataValue.h"
#include "platform/db/WDbFailure.h"

class WTransaction;

class WQuery {
public:
    WQuery() = default;
    explicit WQuery(WTransaction* transaction) : transaction_(transaction) {}
    ~WQuery();
    WQuery(const WQuery&) = delete;
    WQuery& operator=(const WQuery&) = delete;

    void SetTransaction(WTransaction* transaction) { transaction_ = transaction; }
    bool SetTransaction(const std::string& registeredName);   // false when none is registered
    WTransaction* GetTransaction() const { return transaction_; }

    void SetSQL(std::string sql);
    const std::string& GetSQL() const { return sql_; }

    // Parameters are numbered from 1, as the markers stand in the statement.
    void SetParameter(int number, WDataValue value);
    const WDataValue& GetParameter(int number) const;   // NULL when not set
    void ClearParameters() { parameters_.clear(); }

    bool Open();       // runs the statement and fetches its rows
    void Close();
    bool Refresh();    // closes and opens again with the same statement and parameters
    bool IsOpen() const { return open_; }

    // Runs one statement without touching this query's own statement or rows.
    bool Execute(const std::string& sql, const std::vector<WDataValue>& parameters = {});
    long RowsAffected() const { return rowsAffected_; }   // of the last Execute, -1 when unknown

    long GetNumRows() const { return static_cast<long>(rows_.size()); }
    int GetNumColumns() const { return static_cast<int>(columns_.size()); }
    std::string GetColumnName(int column) const;
    int GetColumnType(int column) const;      // the ODBC SQL type the driver reports, 0 when none
    int FindColumn(const std::string& name) const;   // -1 when absent; without regard to case

    // Rows and columns count from 0. Out of range reads as NULL.
    const WDataValue& GetValue(long row, int column) const;
    const WDataValue& GetValue(long row, const std::string& column) const;
    bool IsNull(long row, int column) const { return GetValue(row, column).IsNull(); }

    const std::string& LastError() const { return lastError_; }
    // What the last failure says about the database file.
    const WDbFailure& LastFailure() const { return lastFailure_; }
    // A failure of the file or its lock is reported to the user (through the transaction) unless
    // the caller tells of it itself, as the version check does.
    void SetReportsFileFailures(bool reports) { reportsFileFailures_ = reports; }

    struct Column {
        std::string name;
        int type = 0;
    };

private:
    friend class WTransaction;
    bool Run(const std::string& sql, const std::vector<WDataValue>& parameters, bool fetch);
    bool Prepare(const std::string& sql);
    bool Fetch();
    void ReleaseStatement();
    void DropForDisconnect();   // the connection is going: forget the statement and the rows
    void FailWith(short handleType, void* handle);   // the diagnostics of an ODBC handle

    // The statement last prepared, kept so that running the same text again only rebinds.
    void* stmt_ = nullptr;   // SQLHSTMT
    WTransaction* attachedTo_ = nullptr;
    std::string preparedSql_;
    std::vector<int> preparedOrder_;

    WTransaction* transaction_ = nullptr;
    std::string sql_;
    std::vector<WDataValue> parameters_;
    std::vector<Column> columns_;
    std::vector<std::vector<WDataValue>> rows_;
    bool open_ = false;
    bool reportsFileFailures_ = true;
    long rowsAffected_ = -1;
    std::string lastError_;
    WDbFailure lastFailure_;
};
