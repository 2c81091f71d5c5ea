#include "shell/WinStart.h"

#include <cstdio>

#include "shell/TableSchema.h"

WinStart* MainWindow = nullptr;
WinStart* AppMainForm = nullptr;
StartupOptions* TheOptions = nullptr;
const std::string* VersionText = nullptr;

namespace {
std::string MakeVersionText() {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", 3, 2);
    return text;
}
}  // namespace

WinStart::WinStart() : versionText(MakeVersionText()) {
    MainWindow = this;
    VersionText = &versionText;
}

WinStart::~WinStart() {
    DestroyDataObjects();
    if (MainWindow == this) MainWindow = nullptr;
    if (TheOptions == &options) TheOptions = nullptr;
}

void WinStart::CreateDataObjects() {
    transaction_KVO = std::make_unique<WTransaction>();
    transaction_KVO->SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    WTransaction::Register("WinStart::transaction_KVO", transaction_KVO.get());
    query_Trips = std::make_unique<WQuery>(transaction_KVO.get());
    query_GenQuery = std::make_unique<WQuery>(transaction_KVO.get());
    query_Gen2 = std::make_unique<WQuery>(transaction_KVO.get());
    query_GenQueryNoError = std::make_unique<WQuery>(transaction_KVO.get());
    query_Trips->SetSQL(
        "SELECT  Trips.name Name, Trips.location Location, DATEFORMAT( Trips.trip_date, "
        "'Mmm. dd, YYYY' ) \"Trip date\", id\nFROM Kestavo.Trips Trips\nORDER BY Trips.name\n");
    TheOptions = &options;
}

void WinStart::DestroyDataObjects() {
    for (auto* query : {&query_Trips, &query_GenQuery, &query_Gen2, &query_GenQueryNoError}) {
        if (*query) (*query)->Close();
        query->reset();
    }
    if (transaction_KVO) {
        transaction_KVO->Disconnect();
        WTransaction::Unregister("WinStart::transaction_KVO");
        transaction_KVO.reset();
    }
}
