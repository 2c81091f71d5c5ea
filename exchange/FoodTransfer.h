#pragma once
// The food tables to and from a table data file, without dialogs, prefix, suffix or credit:
// the import of a food update (with its safety copy of the database) and the export of the food
// data for upload.

#include <string>

bool ImportFoodTables(const std::string& path);
bool ExportFoodTables(const std::string& path);
