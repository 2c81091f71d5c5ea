// The shared data-access helpers of the main window, on a real database through the ODBC driver.

#include <gtest/gtest.h>
#include <zlib.h>

#include <QLineEdit>
#include <random>

#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WPrompter.h"

#include "shell/TableSchema.h"
#include "tests/support/MainWindowDatabaseTest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class WinStartDataTest : public MainWindowDatabaseTest {
protected:
    long AddIngredient(const std::string& name) {
        std::string escaped = name;
        Exec("insert into Ingredients( name ) values( '" + WinStart::EscapeSQL(escaped) + "' )");
        return static_cast<long>(Value("select max(id) from Ingredients").AsLong());
    }
    long AddCourse(const std::string& name) {
        Exec("insert into Courses( name ) values( '" + name + "' )");
        return static_cast<long>(Value("select max(id) from Courses").AsLong());
    }
    // The stored chunks of a menu item: their sizes in seq order.
    std::vector<std::size_t> ChunkSizes(long course) {
        WQuery query(main.transaction_KVO.get());
        query.SetSQL("select seq, data from Recipes where course = " + std::to_string(course) + " order by seq");
        EXPECT_TRUE(query.Open());
        std::vector<std::size_t> sizes;
        for (long row = 0; row < query.GetNumRows(); ++row) {
            EXPECT_EQ(query.GetValue(row, 0).AsLong(), row);
            sizes.push_back(query.GetValue(row, 1).AsBytes().size());
        }
        return sizes;
    }
    void StoreChunks(long course, const std::vector<Bytes>& chunks) {
        for (std::size_t seq = 0; seq < chunks.size(); ++seq)
            Exec("insert into Recipes( course, seq, data ) values( " + std::to_string(course) + ", " +
                     std::to_string(seq) + ", ? )",
                 {WDataValue(chunks[seq])});
    }
};

// ---- EscapeSQL

struct EscapeCase {
    const char* name;
    std::string text, escaped;
    friend void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }
};

class EscapeSQLTest : public WinStartDataTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapeSQLTest, EscapesAndRoundTripsThroughInsertAndSelect) {
    const EscapeCase& c = GetParam();
    std::string text = c.text;
    EXPECT_EQ(WinStart::EscapeSQL(text), c.escaped);
    EXPECT_EQ(text, c.escaped);

    const long id = AddIngredient(c.text);
    EXPECT_EQ(Value("select name from Ingredients where id = " + std::to_string(id)).AsText(), c.text);
    EXPECT_EQ(main.FindIdByValue("Ingredients", "name", c.text, -1), id);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeSQLTest,
    ::testing::Values(EscapeCase{"Plain", "Trail mix", "Trail mix"},
                      EscapeCase{"QuoteAndColon", "Ann's plan: day 1", "Ann''s plan\\x3a day 1"},
                      EscapeCase{"LineBreak", "one\r\ntwo", "one\\x0D\\x0Atwo"},
                      EscapeCase{"Backslash", "C:\\trips\\", "C\\x3a\\x5ctrips\\x5c"},
                      EscapeCase{"EscapeLookalike", "\\x0A", "\\x5cx0A"},
                      EscapeCase{"Everything", "'\r:\\\n''", "''\\x0D\\x3a\\x5c\\x0A''''"},
                      EscapeCase{"Unicode", "Crème brûlée", "Crème brûlée"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EscapeSQL, EmptyTextStaysEmpty) {
    std::string text;
    EXPECT_EQ(WinStart::EscapeSQL(text), "");
}

// ---- ExecSQL, unique values, ids

TEST_F(WinStartDataTest, ExecSQLAnswersWhetherTheStatementRan) {
    EXPECT_TRUE(main.ExecSQL("insert into Meals( name ) values( 'Lunch' )"));
    EXPECT_EQ(Count("Meals"), 1);
    EXPECT_FALSE(main.ExecSQL("insert into NoSuchTable( name ) values( 'x' )"));
}

struct UniqueCase {
    const char* name;
    std::vector<std::string> taken;
    std::string value, expected;
    friend void PrintTo(const UniqueCase& c, std::ostream* os) { *os << c.name; }
};

class MakeUniqueValueTest : public WinStartDataTest, public ::testing::WithParamInterface<UniqueCase> {};

TEST_P(MakeUniqueValueTest, FindsTheFirstFreeValue) {
    const UniqueCase& c = GetParam();
    for (const auto& name : c.taken) AddIngredient(name);
    std::string value = c.value;
    EXPECT_EQ(main.MakeUniqueValue(value, "Ingredients", "name"), c.expected);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, MakeUniqueValueTest,
    ::testing::Values(UniqueCase{"Free", {"Lentil soup"}, "Trail mix", "Trail mix"},
                      UniqueCase{"TakenTwice", {"Trail mix", "Trail mix_01"}, "Trail mix", "Trail mix_02"},
                      UniqueCase{"GapIsUsed", {"Trail mix", "Trail mix_02"}, "Trail mix", "Trail mix_01"},
                      UniqueCase{"CaseDoesNotMatter", {"TRAIL MIX"}, "Trail mix", "Trail mix_01"},
                      UniqueCase{"QuotesAndColons", {"Ann's: mix"}, "Ann's: mix", "Ann's: mix_01"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinStartDataTest, MakeUniqueValueCountsPastNinetyNine) {
    AddIngredient("Lentil soup");
    for (int n = 1; n <= 99; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "Lentil soup_%02d", n);
        AddIngredient(name);
    }
    std::string value = "Lentil soup";
    EXPECT_EQ(main.MakeUniqueValue(value, "Ingredients", "name"), "Lentil soup_100");
}

TEST_F(WinStartDataTest, FindIdByValueSkipsTheGivenRow) {
    const long oats = AddIngredient("Oats");
    AddIngredient("Raisins");
    EXPECT_EQ(main.FindIdByValue("Ingredients", "name", "oats", -1), oats);
    EXPECT_EQ(main.FindIdByValue("Ingredients", "name", "Oats", oats), -1);
    EXPECT_EQ(main.FindIdByValue("Ingredients", "name", "Dates", -1), -1);
    EXPECT_EQ(main.FindIdByValue("NoSuchTable", "name", "Oats", -1), -1);
}

struct NameCase {
    const char* name;
    const char* table;
    const char* noun;
    std::vector<std::string> taken;   // rows 1, 2, ... of the table, by name
    std::string typed;
    long editedId;
    bool changed;
    std::string shownName;
    std::string message;   // empty: no message
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

// A form that is never opened: it only owns the name box, as an editor's form does.
class NameForm : public WForm {
public:
    NameForm() : WForm("WinEditCourse") {}
    void SetupTemplate(QDialog*) override {}
};

class EnsureUniqueNameTest : public WinStartDataTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(EnsureUniqueNameTest, ChangesATakenNameAndSaysSo) {
    const NameCase& c = GetParam();
    for (std::size_t i = 0; i < c.taken.size(); ++i) {
        std::string name = c.taken[i];
        Exec(std::string("insert into ") + c.table + "( id, name ) values( " + std::to_string(i + 1) + ", '" +
             WinStart::EscapeSQL(name) + "' )");
    }
    ScriptedPrompter prompter;
    NameForm form;
    QLineEdit line;
    WTextBox nameBox(&form, "textb_Name", &line);
    nameBox.SetText(c.typed);

    EXPECT_EQ(main.EnsureUniqueName(&nameBox, c.table, c.noun, c.editedId), c.changed);
    EXPECT_EQ(nameBox.GetText(), c.shownName);
    const auto shown = prompter.Messages();
    if (c.message.empty()) {
        EXPECT_TRUE(shown.empty());
        return;
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, "WinEditCourse");
    EXPECT_EQ(shown[0].caption, "Name already exists");
    EXPECT_EQ(shown[0].text, c.message);
    EXPECT_EQ(shown[0].icon, WMessageIcon::Exclamation);
    EXPECT_EQ(shown[0].buttons, WMessageButtons::OK);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EnsureUniqueNameTest,
    ::testing::Values(
        NameCase{"FreeName", "Courses", "menu item", {"Chili"}, "Stew", -1, false, "Stew", ""},
        NameCase{"OwnNameKept", "Courses", "menu item", {"Chili"}, "Chili", 1, false, "Chili", ""},
        NameCase{"TakenByAnother", "Courses", "menu item", {"Chili", "Stew"}, "chili", 2, true, "chili_01",
                 "A menu item with this same name already exists.\r\nThe name has been changed to 'chili_01'."},
        NameCase{"NounWithVowel", "Ingredients", "ingredient", {"Oats", "Oats_01"}, "Oats", -1, true, "Oats_02",
                 "An ingredient with this same name already exists.\r\nThe name has been changed to 'Oats_02'."},
        NameCase{"QuoteInName", "Meals", "meal", {"Ann's lunch"}, "Ann's lunch", -1, true, "Ann's lunch_01",
                 "A meal with this same name already exists.\r\nThe name has been changed to 'Ann's lunch_01'."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinStartDataTest, NextIdIsOneAboveTheLargest) {
    EXPECT_EQ(main.NextId("Meals"), 1);
    Exec("insert into Meals( id, name ) values( 41, 'Supper' )");
    EXPECT_EQ(main.NextId("Meals"), 42);
}

TEST_F(WinStartDataTest, NextIdOfATableThatCannotBeQueriedIsMinusOne) {
    EXPECT_EQ(main.NextId("NoSuchTable"), -1);
}

TEST_F(WinStartDataTest, TouchModifiedStampsTheRow) {
    const long oats = AddIngredient("Oats");
    const long raisins = AddIngredient("Raisins");
    main.TouchModified("Ingredients", oats);
    EXPECT_FALSE(Value("select modified from Ingredients where id = " + std::to_string(oats)).IsNull());
    EXPECT_TRUE(Value("select modified from Ingredients where id = " + std::to_string(raisins)).IsNull());
}

TEST_F(WinStartDataTest, FindTableSchemaLooksInTheMainWindowsRegistry) {
    main.BuildTableSchemas();
    ASSERT_NE(main.FindTableSchema("tripdays"), nullptr);
    EXPECT_EQ(main.FindTableSchema("tripdays")->tableName, "TripDays");
    EXPECT_EQ(main.FindTableSchema("Measures"), nullptr);
}

// ---- Recipes

Bytes Blob(std::uint32_t length, const Bytes& stream) {
    Bytes blob = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                  static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
    blob.insert(blob.end(), stream.begin(), stream.end());
    return blob;
}

Bytes Compressed(const Bytes& document) {
    uLongf packed = compressBound(document.size());
    Bytes out(packed);
    compress(out.data(), &packed, document.data(), document.size());
    out.resize(packed);
    return out;
}

const Bytes Soup = {'l', 'e', 'n', 't', 'i', 'l', ' ', 's', 'o', 'u', 'p'};

Bytes Cut(Bytes bytes, std::size_t keep) {
    bytes.resize(keep);
    return bytes;
}

Bytes Flipped(Bytes bytes, std::size_t at) {
    bytes[at] ^= 0xFF;
    return bytes;
}


Bytes RandomBytes(std::size_t count) {
    std::mt19937 generator(20240611);
    Bytes bytes(count);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(generator());
    return bytes;
}

// A document of random bytes whose stored blob (4 + compressed length) is exactly `blobBytes`.
Bytes DocumentWithBlobOf(std::size_t blobBytes) {
    for (std::size_t size = blobBytes > 100 ? blobBytes - 100 : 1; size < blobBytes + 100; ++size) {
        Bytes document = RandomBytes(size);
        uLongf packed = compressBound(size);
        Bytes out(packed);
        compress(out.data(), &packed, document.data(), size);
        if (4 + packed == blobBytes) return document;
    }
    ADD_FAILURE() << "no document gives a blob of " << blobBytes << " bytes";
    return {};
}

struct RecipeCase {
    const char* name;
    Bytes document;
    std::size_t rows;
    friend void PrintTo(const RecipeCase& c, std::ostream* os) { *os << c.name; }
};

class RecipeTest : public WinStartDataTest, public ::testing::WithParamInterface<RecipeCase> {};

TEST_P(RecipeTest, RoundTripsInChunksOfFiveThousandBytes) {
    const RecipeCase& c = GetParam();
    const long course = AddCourse("Chili");
    ASSERT_TRUE(main.SaveRecipe(course, c.document));
    const std::size_t blobBytes = 4 + (c.document.empty() ? 0 : Compressed(c.document).size());
    std::vector<std::size_t> chunks(c.rows, 5000);
    chunks.back() = blobBytes - 5000 * (c.rows - 1);
    EXPECT_EQ(ChunkSizes(course), chunks);
    Bytes loaded = {1, 2, 3};
    ASSERT_TRUE(main.LoadRecipe(course, loaded));
    EXPECT_EQ(loaded, c.document);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RecipeTest,
    ::testing::Values(RecipeCase{"Empty", {}, 1},
                      RecipeCase{"OneByte", {'x'}, 1},
                      RecipeCase{"BlobOfFiveThousand", DocumentWithBlobOf(5000), 1},
                      RecipeCase{"BlobOfFiveThousandAndOne", DocumentWithBlobOf(5001), 2},
                      RecipeCase{"ThreeChunksWithZerosAndLineBreaks", RandomBytes(12000), 3},
                      RecipeCase{"LargeText", Bytes(300000, 'a'), 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinStartDataTest, EmptyRecipeIsOneRowOfFourZeroBytes) {
    const long course = AddCourse("Chili");
    ASSERT_TRUE(main.SaveRecipe(course, {}));
    EXPECT_EQ(Value("select data from Recipes where course = " + std::to_string(course)).AsBytes(), Bytes(4, 0));
}

TEST_F(WinStartDataTest, MenuItemWithoutRecipeLoadsAnEmptyDocument) {
    const long course = AddCourse("Chili");
    Bytes loaded = {1};
    EXPECT_TRUE(main.LoadRecipe(course, loaded));
    EXPECT_TRUE(loaded.empty());
}

TEST_F(WinStartDataTest, SaveRecipeReplacesEveryOldChunkAndNoOtherRecipe) {
    const long chili = AddCourse("Chili");
    const long stew = AddCourse("Stew");
    ASSERT_TRUE(main.SaveRecipe(chili, RandomBytes(12000)));
    ASSERT_TRUE(main.SaveRecipe(stew, {'s'}));
    const Bytes text = {'b', 'e', 'a', 'n', 's'};
    ASSERT_TRUE(main.SaveRecipe(chili, text));
    EXPECT_EQ(ChunkSizes(chili).size(), 1u);
    Bytes loaded;
    ASSERT_TRUE(main.LoadRecipe(chili, loaded));
    EXPECT_EQ(loaded, text);
    ASSERT_TRUE(main.LoadRecipe(stew, loaded));
    EXPECT_EQ(loaded, Bytes{'s'});
}

class FailingRecipeInsertTest : public WinStartDataTest {
protected:
    FailingRecipeInsertTest() {
        prepareScript =
            "create trigger NoSecondChunk before insert on Recipes when new.seq = 1 "
            "begin select raise(abort, 'no second chunk'); end;";
    }
};

TEST_F(FailingRecipeInsertTest, SaveRecipeKeepsTheOldRecipeWhenAChunkCannotBeStored) {
    const long course = AddCourse("Chili");
    const Bytes old = {'o', 'l', 'd'};
    ASSERT_TRUE(main.SaveRecipe(course, old));
    EXPECT_FALSE(main.SaveRecipe(course, RandomBytes(7000)));
    Bytes loaded;
    ASSERT_TRUE(main.LoadRecipe(course, loaded));
    EXPECT_EQ(loaded, old);
    // The connection is usable and out of the failed unit afterwards.
    EXPECT_TRUE(main.SaveRecipe(course, {'n', 'e', 'w'}));
    ASSERT_TRUE(main.LoadRecipe(course, loaded));
    EXPECT_EQ(loaded, (Bytes{'n', 'e', 'w'}));
}

struct DamagedCase {
    const char* name;
    std::vector<Bytes> chunks;
    friend void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.name; }
};

class DamagedRecipeTest : public WinStartDataTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedRecipeTest, IsRefusedWithAnEmptyDocument) {
    const long course = AddCourse("Chili");
    StoreChunks(course, GetParam().chunks);
    Bytes loaded = {1, 2, 3};
    EXPECT_FALSE(main.LoadRecipe(course, loaded));
    EXPECT_TRUE(loaded.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Blobs, DamagedRecipeTest,
    ::testing::Values(
        DamagedCase{"ShorterThanTheLength", {{0, 0, 0}}},
        DamagedCase{"LengthWithoutStream", {Blob(11, {})}},
        DamagedCase{"HugeLength", {Blob(0xFFFFFFFF, Compressed(Soup))}},
        DamagedCase{"LengthTooLarge", {Blob(12, Compressed(Soup))}},
        DamagedCase{"LengthTooSmall", {Blob(10, Compressed(Soup))}},
        DamagedCase{"StreamCut", {Blob(11, Cut(Compressed(Soup), 8))}},
        DamagedCase{"StreamCorrupted", {Blob(11, Flipped(Compressed(Soup), 5))}},
        DamagedCase{"TrailingBytes", {Blob(11, Compressed(Soup)), {0, 0}}},
        DamagedCase{"NotZlibAtAll", {Blob(11, Bytes(20, 'x'))}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
