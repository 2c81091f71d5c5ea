// The shared data-access helpers of the main window: one statement at a time on the general
// queries, no commit, no message (a failure shows as false, -1 or no rows).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <zlib.h>

#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WPrompter.h"
#include "shell/TableSchema.h"
#include "shell/WinStart.h"

namespace {

constexpr const char* RecipesTable = "Recipes";
constexpr std::size_t RecipeChunkBytes = 5000;
constexpr std::size_t RecipeLengthBytes = 4;
// deflate never packs more than 1032 bytes into one; a length beyond that, or beyond any
// sensible document, is a damaged blob, not something to allocate.
constexpr std::uint64_t MaxInflateRatio = 1032;
constexpr std::uint64_t MaxRecipeBytes = 512u * 1024 * 1024;

std::string Quoted(std::string text) { return "'" + WinStart::EscapeSQL(text) + "'"; }

std::string Numbered(const std::string& value, int n) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%02d", n);
    return value + suffix;
}

void PutLength(std::vector<std::uint8_t>& blob, std::uint32_t length) {
    for (std::size_t i = 0; i < RecipeLengthBytes; ++i) blob[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

std::uint32_t GetLength(const std::vector<std::uint8_t>& blob) {
    std::uint32_t length = 0;
    for (std::size_t i = 0; i < RecipeLengthBytes; ++i) length |= static_cast<std::uint32_t>(blob[i]) << (8 * i);
    return length;
}

// The length word, then the document as one zlib stream; an empty document is the word alone.
bool MakeRecipeBlob(const std::vector<std::uint8_t>& document, std::vector<std::uint8_t>& blob) {
    if (document.size() > UINT32_MAX) return false;
    uLongf packed = 0;
    blob.assign(RecipeLengthBytes + (document.empty() ? 0 : compressBound(document.size())), 0);
    PutLength(blob, static_cast<std::uint32_t>(document.size()));
    if (!document.empty()) {
        packed = blob.size() - RecipeLengthBytes;
        if (compress(blob.data() + RecipeLengthBytes, &packed, document.data(), document.size()) != Z_OK) return false;
    }
    blob.resize(RecipeLengthBytes + packed);
    return true;
}

bool ReadRecipeBlob(const std::vector<std::uint8_t>& blob, std::vector<std::uint8_t>& document) {
    if (blob.size() < RecipeLengthBytes) return false;
    const std::uint32_t length = GetLength(blob);
    const std::uint64_t packed = blob.size() - RecipeLengthBytes;
    if (packed == 0) return length == 0;
    if (length > packed * MaxInflateRatio || length > MaxRecipeBytes) return false;
    document.assign(length, 0);
    std::uint8_t spare = 0;   // zlib wants a buffer even for an empty document
    uLongf made = length;
    uLong used = packed;
    const int result = uncompress2(length ? document.data() : &spare, &made, blob.data() + RecipeLengthBytes, &used);
    return result == Z_OK && made == length && used == packed;
}

}  // namespace

bool WinStart::ExecSQL(const std::string& statement) {
    return query_GenQuery && query_GenQuery->Execute(statement);
}

bool WinStart::RunAsOneUnit(const std::string& name, const std::function<bool()>& work,
                            WTransaction::UnitFailures failures) {
    return transaction_KVO && transaction_KVO->RunAsOneUnit(name, work, failures);
}

std::string& WinStart::EscapeSQL(std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\n': escaped += "\\x0A"; break;
        case '\r': escaped += "\\x0D"; break;
        case '\'': escaped += "''"; break;
        case ':': escaped += "\\x3a"; break;
        case '\\': escaped += "\\x5c"; break;
        default: escaped += c;
        }
    }
    text = std::move(escaped);
    return text;
}

std::string WinStart::MakeUniqueValue(std::string& value, const std::string& table, const std::string& column) {
    if (!query_GenQuery) return value;
    std::string candidate = value;
    for (int n = 0;; candidate = Numbered(value, ++n)) {
        query_GenQuery->SetSQL("select " + column + " from " + table + " where " + column + " = " + Quoted(candidate));
        const bool taken = query_GenQuery->Open() && query_GenQuery->GetNumRows() > 0;
        query_GenQuery->Close();
        if (!taken) break;
    }
    value = candidate;
    return value;
}

long WinStart::FindIdByValue(const std::string& table, const std::string& column, const std::string& value,
                             long skipId) {
    if (!query_GenQuery) return -1;
    std::string sql = "select id from " + table + " where " + column + " = " + Quoted(value);
    if (skipId != -1) sql += " and id != " + std::to_string(skipId);
    query_GenQuery->SetSQL(sql);
    long id = -1;
    if (query_GenQuery->Open() && query_GenQuery->GetNumRows() > 0)
        id = static_cast<long>(query_GenQuery->GetValue(0, 0).AsLong());
    query_GenQuery->Close();
    return id;
}

bool WinStart::EnsureUniqueName(WTextBox* nameBox, const std::string& table, const std::string& noun,
                                long editedId) {
    std::string name = nameBox->GetText();
    if (FindIdByValue(table, "name", name, editedId) == -1) return false;
    MakeUniqueValue(name, table, "name");
    nameBox->SetText(name);
    const bool vowel = !noun.empty() && std::string_view("aeiou").find(noun[0]) != std::string_view::npos;
    MessageBox(nameBox->GetForm(), "Name already exists",
               std::string("A") + (vowel ? "n" : "") + " " + noun + " with this same name already exists.\r\n" +
                   "The name has been changed to '" + name + "'.",
               WMessageIcon::Exclamation, WMessageButtons::OK);
    return true;
}

long WinStart::NextId(const std::string& table) {
    if (!query_GenQuery) return -1;
    query_GenQuery->SetSQL("select max(id) from " + table);
    // A failed query must not pass for an empty table: id 1 may well be taken.
    long next = -1;
    if (query_GenQuery->Open()) next = static_cast<long>(query_GenQuery->GetValue(0, 0).AsLong()) + 1;
    query_GenQuery->Close();
    return next;
}

void WinStart::TouchModified(const std::string& table, long id) {
    ExecSQL("update " + table + " set modified =  NOW( * )  where id = " + std::to_string(id));
}

TableSchema* WinStart::FindTableSchema(const std::string& table) { return ::FindTableSchema(schemaList, table); }

bool WinStart::SaveRecipe(long courseId, const std::vector<std::uint8_t>& document) {
    std::vector<std::uint8_t> blob;
    if (!query_GenQuery || !query_Gen2 || !MakeRecipeBlob(document, blob)) return false;
    const std::string course = std::to_string(courseId);
    // The old chunks go only when every new one is in.
    return RunAsOneUnit("save_recipe", [&] {
        bool ok = ExecSQL(std::string("delete from ") + RecipesTable + " where course = " + course);
        for (std::size_t start = 0, seq = 0; ok && start < blob.size(); start += RecipeChunkBytes, ++seq) {
            const auto first = blob.begin() + static_cast<std::ptrdiff_t>(start);
            WDataValue::Bytes chunk(first,
                                    first + static_cast<std::ptrdiff_t>(std::min(RecipeChunkBytes, blob.size() - start)));
            ok = query_Gen2->Execute(std::string("insert into ") + RecipesTable + "( course, seq, data ) values( " +
                                         course + ", " + std::to_string(seq) + ", ? )",
                                     {WDataValue(std::move(chunk))});
        }
        return ok;
    });
}

bool WinStart::LoadRecipe(long courseId, std::vector<std::uint8_t>& document) {
    document.clear();
    if (!query_Gen2) return false;
    query_Gen2->SetSQL(std::string("select data from ") + RecipesTable + " where course = " + std::to_string(courseId) +
                       " order by seq");
    if (!query_Gen2->Open()) return false;
    std::vector<std::uint8_t> blob;
    for (long row = 0; row < query_Gen2->GetNumRows(); ++row) {
        const WDataValue::Bytes chunk = query_Gen2->GetValue(row, 0).AsBytes();
        blob.insert(blob.end(), chunk.begin(), chunk.end());
    }
    const bool noRows = query_Gen2->GetNumRows() == 0;
    query_Gen2->Close();
    if (noRows) return true;
    // A damaged blob is refused whole: the caller gets no document, never a garbled one.
    if (ReadRecipeBlob(blob, document)) return true;
    document.clear();
    return false;
}
