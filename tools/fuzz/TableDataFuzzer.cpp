// Feeds arbitrary bytes to the table data file reader as a file and walks it as the import
// does: every table, its column list, its rows and their values, or past a table it skips.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/TableDataReader.h"

namespace {

std::string g_work;
std::string g_file;

bool WriteFile(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(g_file.c_str(), "wb");
  if (!file) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void RemoveWork() {
  std::error_code ec;
  std::filesystem::remove_all(g_work, ec);
}

// Touches every value, as the import's row buffer does.
size_t Weigh(const std::vector<TableDataValue>& values) {
  size_t weight = 0;
  for (const TableDataValue& value : values)
    weight += value.value.AsText().size() + value.value.AsBytes().size() + static_cast<size_t>(value.value.AsLong() & 1);
  return weight;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("KVO_FUZZ_WORK");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/tabledata-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  g_work = pattern;
  g_file = g_work + "/input.kvo";
  std::atexit(RemoveWork);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteFile(data, size)) std::abort();
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
