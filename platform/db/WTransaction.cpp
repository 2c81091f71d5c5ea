#include "platform/db/WTransaction.h"

#include <sql.h>
#include <sqlext.h>

#include <map>
#include <vector>

#include "platform/db/DialectTranslator.h"
#include "platform/db/OdbcDiagnostics.h"
#include "platform/db/WDbObserver.h"
#include "platform/db/WQuery.h"

namespace {

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, WTransaction*>& Registry() {
    static std::map<std::string, WTransaction*> registry;
    return registry;
}

// Runs a catalogue query on the connection itself (it must not pass through the translator)
// and reads every value as text. A failure is described in failure, when one is given.
bool CatalogRows(SQLHDBC dbc, const char* sql, std::vector<std::vector<std::string>>& rows,
                 WDbFailure* failure = nullptr) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt))) {
        if (failure) *failure = DescribeOdbcFailure(SQL_HANDLE_DBC, dbc);
        return false;
    }
    bool ok = SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)sql, SQL_NTS));
    SQLSMALLINT columns = 0;
    if (ok) ok = SQL_SUCCEEDED(SQLNumResultCols(stmt, &columns));
    while (ok) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) { ok = false; break; }
        std::vector<std::string> row;
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            char buffer[1024];
            SQLLEN indicator = 0;
            if (!SQL_SUCCEEDED(SQLGetData(stmt, c, SQL_C_CHAR, buffer, sizeof buffer, &indicator)) ||
                indicator == SQL_NULL_DATA)
                row.emplace_back();
            else
                row.emplace_back(buffer);
        }
        rows.push_back(std::move(row));
    }
    if (!ok && failure) *failure = DescribeOdbcFailure(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return ok;
}

}  // namespace

WTransaction::WTransaction() : translator_(new DialectTranslator) {}

WTransaction::~WTransaction() {
    Disconnect();
    {
        std::lock_guard lock(RegistryMutex());
        for (auto it = Registry().begin(); it != Registry().end();)
            it = it->second == this ? Registry().erase(it) : std::next(it);
    }
    delete translator_;
}

void WTransaction::SetDataSource(std::string dsn, std::string userId, std::string password) {
    dsn_ = std::move(dsn);
    userId_ = std::move(userId);
    password_ = std::move(password);
}

bool WTransaction::Connect() {
    if (connected_) return true;
    lastError_.clear();
    lastFailure_ = {};
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
        lastError_ = "cannot allocate an ODBC environment";
        lastFailure_ = {WDbFailureKind::Unavailable, lastError_};
        return false;
    }
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        lastError_ = OdbcDiagnostics(SQL_HANDLE_ENV, env);
        lastFailure_ = DescribeOdbcFailure(SQL_HANDLE_ENV, env);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        return false;
    }
    const SQLRETURN rc = SQLConnect(dbc, (SQLCHAR*)dsn_.c_str(), SQL_NTS, (SQLCHAR*)userId_.c_str(), SQL_NTS,
                                    (SQLCHAR*)password_.c_str(), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) {
        lastError_ = OdbcDiagnostics(SQL_HANDLE_DBC, dbc);
        lastFailure_ = DescribeOdbcFailure(SQL_HANDLE_DBC, dbc);
        if (lastError_.empty()) lastError_ = "cannot connect to the data source " + dsn_;
        if (lastFailure_.reason.empty()) lastFailure_.reason = lastError_;
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        return false;
    }
    env_ = env;
    dbc_ = dbc;
    connected_ = true;
    // Every statement stands on its own; the program never commits.
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, (SQLPOINTER)SQL_AUTOCOMMIT_ON, 0);
    // The original engine enforced the declared foreign keys, and the forms rely on a refused row.
    std::vector<std::vector<std::string>> ignored;
    CatalogRows(dbc, "PRAGMA foreign_keys = ON", ignored);
    // The driver opens the file only when it is first read: a file that is no database, or
    // one that is locked, shows here.
    WDbFailure failure;
    if (!LoadSchema(failure)) {
        Disconnect();
        lastError_ = "cannot read the database's tables: " + failure.reason;
        lastFailure_ = failure;
        return false;
    }
    return true;
}

bool WTransaction::LoadSchema(WDbFailure& failure) {
    std::vector<std::vector<std::string>> columns, keys;
    if (!CatalogRows(static_cast<SQLHDBC>(dbc_),
                     "select m.name, p.name, p.type, p.pk from sqlite_master m, pragma_table_info(m.name) p "
                     "where m.type in ('table', 'view') order by m.name, p.cid",
                     columns, &failure))
        return false;
    if (!CatalogRows(static_cast<SQLHDBC>(dbc_),
                     "select m.name, f.\"from\", f.\"table\", f.\"to\" from sqlite_master m, "
                     "pragma_foreign_key_list(m.name) f where m.type = 'table' order by m.name, f.id, f.seq",
                     keys, &failure))
        return false;
    std::map<std::string, DialectTranslator::Table> tables;
    std::map<std::string, int> keyColumns;
    for (const auto& row : columns) {
        if (row.size() < 4) continue;
        auto& table = tables[row[0]];
        table.name = row[0];
        table.columns.push_back({row[1], row[2]});
        if (row[3] != "0" && !row[3].empty()) {
            table.primaryKey = ++keyColumns[row[0]] == 1 ? row[1] : std::string();
        }
    }
    for (const auto& row : keys) {
        if (row.size() < 4 || !tables.count(row[0])) continue;
        tables[row[0]].foreignKeys.push_back({row[1], row[2], row[3]});
    }
    std::vector<DialectTranslator::Table> list;
    for (auto& [name, table] : tables) list.push_back(std::move(table));
    translator_->SetSchema(std::move(list));
    return true;
}

void WTransaction::Disconnect() {
    std::set<WQuery*> queries;
    {
        std::lock_guard lock(attachedMutex_);
        queries.swap(attached_);
    }
    for (WQuery* query : queries) query->DropForDisconnect();
    if (dbc_) {
        SQLDisconnect(static_cast<SQLHDBC>(dbc_));
        SQLFreeHandle(SQL_HANDLE_DBC, static_cast<SQLHDBC>(dbc_));
        dbc_ = nullptr;
    }
    if (env_) {
        SQLFreeHandle(SQL_HANDLE_ENV, static_cast<SQLHENV>(env_));
        env_ = nullptr;
    }
    connected_ = false;
    translator_->ClearSchema();
}

bool WTransaction::IsConnected() const { return connected_; }

bool WTransaction::RunAsOneUnit(const std::string& name, const std::function<bool()>& work,
                                UnitFailures failures) {
    WQuery unit(this);
    // The unit tells its own failures when it has ended, once.
    unit.SetReportsFileFailures(false);
    const bool outermost = unitDepth_ == 0;
    if (outermost) {
        unitFailures_ = failures;
        lastUnitFailure_ = WDbFailure();
        wholeRolledBack_ = false;
    }
    ++unitDepth_;
    unitNames_.push_back(name);
    bool ok = unit.Execute("savepoint " + name);
    if (!ok) {
        // Nothing was written; the caller learns why.
        const WDbFailure failure = unit.LastFailure();
        if (IsFileFailure(failure)) NoteUnitFailure(failure);
        else if (outermost) lastUnitFailure_ = failure;
    } else {
        ok = work() && !wholeRolledBack_;
        if (!ok) RollBackUnit(unit, name);
        else if (!Release(unit, name)) ok = false;
    }
    unitNames_.pop_back();
    if (--unitDepth_ == 0) EndOutermostUnit();
    return ok;
}

void WTransaction::EndOutermostUnit() {
    if (unreportedFailure_) lastUnitFailure_ = *unreportedFailure_;
    if (unitFailures_ == UnitFailures::LeftToCaller) unreportedFailure_.reset();
    unitFailures_ = UnitFailures::Told;
    wholeRolledBack_ = false;
    ReportUnstoredChange();
}

void WTransaction::NoteUnitFailure(const WDbFailure& failure) {
    if (!unreportedFailure_) unreportedFailure_ = failure;
}

// What the unit wrote is taken back and its savepoint ended. Should "rollback to" fail, the
// unit's writes may still stand and the next release would commit them: the whole transaction
// goes instead.
void WTransaction::RollBackUnit(WQuery& unit, const std::string& name) {
    if (unit.Execute("rollback to " + name)) {
        Release(unit, name);
        return;
    }
    NoteUnitFailure(unit.LastFailure());
    RollBackWhole(unit);
}

// The enclosing units, which answer false from then on, go on inside savepoints of their names
// again, so that nothing they write later is committed on its own.
void WTransaction::RollBackWhole(WQuery& unit) {
    unit.Execute("rollback");
    wholeRolledBack_ = true;
    for (std::size_t i = 0; i + 1 < unitNames_.size(); ++i) unit.Execute("savepoint " + unitNames_[i]);
}

// The outermost release is the commit. When it fails (another program still reads the file, the
// disk is full) SQLite keeps the transaction open and every later statement would run inside it,
// to be lost at disconnect: all of it is taken back before the user hears of it.
bool WTransaction::Release(WQuery& unit, const std::string& name) {
    if (unit.Execute("release " + name)) return true;
    NoteUnitFailure(unit.LastFailure());
    if (unitDepth_ == 1) {
        RollBackWhole(unit);
    } else if (unit.Execute("rollback to " + name)) {
        unit.Execute("release " + name);
    } else {
        RollBackWhole(unit);
    }
    return false;
}

void WTransaction::NoteFileFailure(const WDbFailure& failure) {
    if (!unreportedFailure_) unreportedFailure_ = failure;
    if (unitDepth_ == 0) ReportUnstoredChange();
}

void WTransaction::ReportUnstoredChange() {
    if (!unreportedFailure_) return;
    const WDbFailure failure = *unreportedFailure_;
    unreportedFailure_.reset();
    if (WDbObserver* observer = WDbObserver::Get()) observer->ChangeNotStored(failure);
}

DialectTranslator& WTransaction::Translator() { return *translator_; }

void WTransaction::Attach(WQuery* query) {
    std::lock_guard lock(attachedMutex_);
    attached_.insert(query);
}

void WTransaction::Detach(WQuery* query) {
    std::lock_guard lock(attachedMutex_);
    attached_.erase(query);
}

void WTransaction::Register(const std::string& name, WTransaction* transaction) {
    std::lock_guard lock(RegistryMutex());
    Registry()[name] = transaction;
}

void WTransaction::Unregister(const std::string& name) {
    std::lock_guard lock(RegistryMutex());
    Registry().erase(name);
}

WTransaction* WTransaction::Find(const std::string& name) {
    std::lock_guard lock(RegistryMutex());
    const auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}
