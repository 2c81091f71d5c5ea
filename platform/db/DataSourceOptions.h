#pragma once
// What the SQLite3 ODBC driver must be told in every data source of the program: a missing
// database file is an error (never a new empty database), the declared foreign keys are
// enforced, and the name columns take their order from the program's collation extension.

#include <string>

// Writes those values into the data source's section of the user's odbc.ini.
bool WriteDriverOptions(const std::string& dataSource);
