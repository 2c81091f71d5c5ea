#pragma once
// The program's one database connection. Autocommit: the program issues no commit.

#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/db/WDbFailure.h"

class WTransaction {
public:
    WTransaction();
    ~WTransaction();
    WTransaction(const WTransaction&) = delete;
    WTransaction& operator=(const WTransaction&) = delete;

    void SetDataSource(std::string dsn, std::string userId, std::string password);
    bool Connect();                 // by the data source set above
    void Disconnect();              // closes every query still open on this connection
    bool IsConnected() const;
    const std::string& LastError() const { return lastError_; }
    // What the last failed connect says about the database file.
    const WDbFailure& LastFailure() const { return lastFailure_; }

    // Runs work as one transaction (a savepoint of that name; units inside it nest). When work
    // answers false, the savepoint cannot be made or the commit fails, nothing it wrote stays and
    // the connection is back in autocommit; a failed commit answers false too. A change the
    // file refused, or a failed commit, is reported once the unit has been rolled back, unless
    // the outermost unit leaves that to its caller, which then finds it in LastUnitFailure.
    enum class UnitFailures { Told, LeftToCaller };
    bool RunAsOneUnit(const std::string& name, const std::function<bool()>& work,
                      UnitFailures failures = UnitFailures::Told);
    // Why the last outermost unit kept nothing because of the file, its commit, a rollback that
    // failed or a savepoint that could not be made; empty if not.
    const WDbFailure& LastUnitFailure() const { return lastUnitFailure_; }

    // Components find the transaction by its registered name ("WinStart::transaction_KVO").
    static void Register(const std::string& name, WTransaction* transaction);
    static void Unregister(const std::string& name);
    static WTransaction* Find(const std::string& name);

    // For platform/db only: the ODBC connection handle (SQLHDBC) and the dialect translator.
    void* NativeHandle() const { return dbc_; }
    class DialectTranslator& Translator();

private:
    friend class WQuery;
    void SetError(std::string text) { lastError_ = std::move(text); }
    // A statement failed because of the file or its lock: reported to the observer at once, or,
    // inside a unit, when the unit has ended.
    void NoteFileFailure(const WDbFailure& failure);
    bool Release(class WQuery& unit, const std::string& name);   // false: rolled back
    void RollBackUnit(class WQuery& unit, const std::string& name);
    void RollBackWhole(class WQuery& unit);
    void NoteUnitFailure(const WDbFailure& failure);   // the first of the open unit is kept
    void EndOutermostUnit();
    void ReportUnstoredChange();
    bool LoadSchema(WDbFailure& failure);
    // Queries that hold a prepared statement on this connection; Disconnect releases them.
    void Attach(class WQuery* query);
    void Detach(class WQuery* query);
    std::mutex attachedMutex_;
    std::set<class WQuery*> attached_;

    std::string dsn_, userId_, password_;
    void* env_ = nullptr;   // SQLHENV
    void* dbc_ = nullptr;   // SQLHDBC
    bool connected_ = false;
    std::string lastError_;
    WDbFailure lastFailure_;
    class DialectTranslator* translator_ = nullptr;
    int unitDepth_ = 0;
    std::optional<WDbFailure> unreportedFailure_;   // the first of the open unit
    UnitFailures unitFailures_ = UnitFailures::Told;   // as the outermost unit asked
    std::vector<std::string> unitNames_;   // of the open units, the outermost first
    bool wholeRolledBack_ = false;   // a unit could not be rolled back alone: the open ones fail
    WDbFailure lastUnitFailure_;
};
