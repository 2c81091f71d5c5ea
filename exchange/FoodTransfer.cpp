#include "exchange/FoodTransfer.h"

// The table data file transfer is not in this build yet: nothing is imported or exported.
bool ImportFoodTables(const std::string&) { return false; }
bool ExportFoodTables(const std::string&) { return false; }
