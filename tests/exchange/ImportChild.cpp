// A program that imports one table data file into the Kestavo.db of a folder through the
// "Kestavo" data source, as the main window does, so that a test can kill it half-way or weigh
// its memory. A failed import's message goes to the standard error.
//   kvo_import_child FOLDER FILE

#include <QApplication>
#include <cstdio>

#include "exchange/DBFile.h"
#include "shell/WinStart.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    QApplication app(argc, argv);
    WinStart main;
    main.programFolder = std::string(argv[1]) + "/";
    main.CreateDataObjects();
    if (!main.transaction_KVO->Connect()) return 3;
    main.BuildTableSchemas();
    DBFile::ImportArguments arguments;
    arguments.path = argv[2];
    arguments.transaction = main.transaction_KVO.get();
    arguments.schemas = &main.schemaList;
    arguments.tables = {"Ingredients"};
    arguments.maxLoadVersion = 302;
    DBFile import;
    const bool imported = import.Import(std::move(arguments));
    if (!imported) std::fprintf(stderr, "%s\n", import.LastError().c_str());
    main.DestroyDataObjects();
    return imported ? 0 : 1;
}
