// Feeds arbitrary bytes to the table data file reader as a file and walks it as the import
// does: every table, its column list, its rows and their values, or past a table it skips.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/TableDataReader.h"
#include "tools/fuzz/FuzzWorkFolder.h"

namespace {

std::string g_file;

// Touches every value, as the import's row buffer does.
size_t Weigh(const std::vector<TableDataValue>& values) {
  size_t weight = 0;
  for (const TableDataValue& value : values)
    weight += value.value.AsText().size() + value.value.AsBytes().size() + static_cast<size_t>(value.value.AsLong() & 1);
  return weight;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_file = fuzz_work::Make("tabledata-fuzz") + "/input.kvo";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz_work::WriteInput(g_file, data, size)) std::abort();
  TableDataReader reader;
  if (!reader.Open(g_file, 302)) return 0;
  std::string table;
  std::vector<TableDataValue> values;
  size_t weight = 0;
  while (reader.NextTable(table) == TableDataReader::Next::Table) {
    // A table of an odd name's length is passed over, as the tables a food update leaves out.
    if (table.size() % 2 == 1) {
      if (!reader.SkipTable()) break;
      continue;
    }
    if (!reader.ReadColumnList()) break;
    TableDataReader::Row row;
    while ((row = reader.NextRow(values)) == TableDataReader::Row::Row) weight += Weigh(values);
    if (row == TableDataReader::Row::Failed) break;
  }
  reader.Close();
  return weight == SIZE_MAX ? 1 : 0;
}
