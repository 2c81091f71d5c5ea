// The handheld exports against an organiser store made here; the store library is the real one
// that Quorvel1 loads from beside itself.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sys/stat.h>

#include "companion/Quorvel1.h"
#include "platform/handheld/HandheldStore.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

using Names = std::vector<std::string>;

struct Message {
  std::string caption;
  std::string text;
};

void CollectMessage(const char* caption, const char* text, void* context) {
  static_cast<std::vector<Message>*>(context)->push_back({caption, text});
}

constexpr uint32_t kAlice = 1001;
constexpr uint32_t kBob = 1002;
constexpr uint32_t kSdSlot = 7;
constexpr uint32_t kNamelessSlot = 9;

class HandheldExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir(store_.c_str(), 0777), 0);
    ASSERT_EQ(mkdir((store_ + "/1001").c_str(), 0777), 0);
    ASSERT_TRUE(WriteFileText(store_ + "/users.txt", "1001\tAlice Walker\n1002\tBob\r\n"));
    ASSERT_TRUE(WriteFileText(store_ + "/1001/slots.txt", "7\tSD Card\n9\n"));
    ASSERT_TRUE(WriteFileText(food_, "kvo_1_0:\r\n"));
    KvoHandheldSetStoreFolder(store_.c_str());
    KvoHandheldSetMessageSink(&CollectMessage, &messages_);
  }
  void TearDown() override {
    KvoHandheldSetMessageSink(nullptr, nullptr);
    KvoHandheldSetStoreFolder(nullptr);
  }

  TempFolder temp_;
  const std::string store_ = temp_ / "store";
  const std::string food_ = temp_ / "food.kvo";
  std::vector<Message> messages_;
};

TEST_F(HandheldExportsTest, CountsTheUsers) { EXPECT_EQ(QVGetNumPalmUsers(), 2); }

TEST_F(HandheldExportsTest, MissingStoreGivesMinusOne) {
  KvoHandheldSetStoreFolder((temp_ / "nowhere").c_str());
  EXPECT_EQ(QVGetNumPalmUsers(), -1);
  uint32_t id = 0;
  char name[16];
  EXPECT_EQ(QVGetPalmUserData(0, 0, &id, name, sizeof name), -1);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HandheldExportsTest, ReadsAUsersIdAndName) {
  uint32_t id = 0;
  char name[32];
  EXPECT_EQ(QVGetPalmUserData(0, 0, &id, name, sizeof name), 12);
  EXPECT_EQ(id, kAlice);
  EXPECT_STREQ(name, "Alice Walker");
  EXPECT_EQ(QVGetPalmUserData(0, 1, &id, name, sizeof name), 3);
  EXPECT_EQ(id, kBob);
  EXPECT_STREQ(name, "Bob");
}

TEST_F(HandheldExportsTest, NameIsCutToTheCallersBuffer) {
  uint32_t id = 0;
  char name[8];
  std::memset(name, '#', sizeof name);
  EXPECT_EQ(QVGetPalmUserData(0, 0, &id, name, 6), 5);
  EXPECT_STREQ(name, "Alice");
  EXPECT_EQ(name[6], '#');
}

TEST_F(HandheldExportsTest, NothingIsWrittenForASizeOfZero) {
  uint32_t id = 0;
  char name[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(QVGetPalmUserData(0, 0, &id, name, 0), 0);
  EXPECT_EQ(QVGetPalmUserData(0, 0, &id, name, -5), 0);
  uint32_t slot = 0;
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, 0, &slot, name, 0), 0);
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, 1, &slot, name, 0), -1);
  EXPECT_EQ(std::string(name, 4), "####");
}

TEST_F(HandheldExportsTest, UnknownUserIndexGivesMinusOne) {
  uint32_t id = 0;
  char name[16];
  EXPECT_EQ(QVGetPalmUserData(0, 2, &id, name, sizeof name), -1);
  EXPECT_EQ(QVGetPalmUserData(0, -1, &id, name, sizeof name), -1);
}

TEST_F(HandheldExportsTest, CountsTheCardSlots) {
  EXPECT_EQ(QVGetPalmUserNumSlots(0, kAlice), 2);
  EXPECT_EQ(QVGetPalmUserNumSlots(0, kBob), 0);
  EXPECT_EQ(QVGetPalmUserNumSlots(0, 4242), 0);
}

TEST_F(HandheldExportsTest, ReadsASlotsIdAndName) {
  uint32_t slot = 0;
  char name[16];
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, 0, &slot, name, sizeof name), 7);
  EXPECT_EQ(slot, kSdSlot);
  EXPECT_STREQ(name, "SD Card");
  std::memset(name, '#', sizeof name);
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, 0, &slot, name, 3), 2);
  EXPECT_STREQ(name, "SD");
  EXPECT_EQ(name[3], '#');
}

TEST_F(HandheldExportsTest, SlotWhoseNameCannotBeReadIsCalledByItsNumber) {
  uint32_t slot = 0;
  char name[16];
  std::memset(name, '#', sizeof name);
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, 1, &slot, name, sizeof name), -1);
  EXPECT_EQ(slot, kNamelessSlot);
  EXPECT_STREQ(name, "slot 2");
  std::memset(name, '#', sizeof name);
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, 1, &slot, name, 4), -1);
  EXPECT_STREQ(name, "slo");
  EXPECT_EQ(name[4], '#');
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HandheldExportsTest, SlotIndexOutsideTheListGivesMinusOneQuietly) {
  uint32_t slot = 0;
  char name[16];
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, 2, &slot, name, sizeof name), -1);
  EXPECT_EQ(QVGetPalmUserSlotData(0, kAlice, -1, &slot, name, sizeof name), -1);
  EXPECT_EQ(QVGetPalmUserSlotData(0, kBob, 0, &slot, name, sizeof name), -1);
  EXPECT_EQ(slot, 0u);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HandheldExportsTest, QueuesAFileForTheHandheldsMemory) {
  EXPECT_EQ(QVPalmUserInstallMemFile(0, kAlice, food_.c_str()), 1);
  EXPECT_EQ(ReadFileText(store_ + "/1001/install/food.kvo"), "kvo_1_0:\r\n");
  ASSERT_TRUE(WriteFileText(food_, "newer"));
  EXPECT_EQ(QVPalmUserInstallMemFile(0, kAlice, food_.c_str()), 1);
  EXPECT_EQ(ReadFileText(store_ + "/1001/install/food.kvo"), "newer");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HandheldExportsTest, QueuesAFileForACardSlot) {
  EXPECT_EQ(QVPalmUserInstallSlotFile(0, kAlice, kSdSlot, food_.c_str()), 1);
  EXPECT_EQ(ListFolder(store_ + "/1001/card-7"), Names{"food.kvo"});
  EXPECT_EQ(ReadFileText(store_ + "/1001/card-7/food.kvo"), "kvo_1_0:\r\n");
  EXPECT_TRUE(messages_.empty());
}

// Every failure an export reports: its answer and the one message it shows.
struct FailureCase {
  const char* caseName;
  std::function<int32_t(const std::string& food, const std::string& missing)> call;
  int32_t answer;
  std::string text;  // %FOOD% and %MISSING% stand for the files' paths
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.caseName; }

class HandheldFailureTest : public HandheldExportsTest, public ::testing::WithParamInterface<FailureCase> {};

std::string Expand(std::string text, const std::string& food, const std::string& missing) {
  for (const auto& [key, value] : {std::pair<std::string, std::string>{"%FOOD%", food}, {"%MISSING%", missing}}) {
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key)) text.replace(at, key.size(), value);
  }
  return text;
}

TEST_P(HandheldFailureTest, ShowsOneMessageAndAnswers) {
  const std::string missing = temp_ / "missing.kvo";
  EXPECT_EQ(GetParam().call(food_, missing), GetParam().answer);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].caption, "Quorvel Installation Error");
  EXPECT_EQ(messages_[0].text, Expand(GetParam().text, food_, missing));
  EXPECT_EQ(ListFolder(store_ + "/1001"), Names{"slots.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HandheldFailureTest,
    ::testing::Values(
        FailureCase{"SlotListOfUnknownUser",
                    [](const std::string&, const std::string&) {
                      uint32_t slot = 0;
                      char name[16];
                      return QVGetPalmUserSlotData(0, 4242, 0, &slot, name, sizeof name);
                    },
                    -1, "UmSlotGetInfo failed, error code: -3\r\nfor user id: 4242, slot idx: 0Report this to support@kestavo.example"},
        FailureCase{"SlotInstallIntoUnknownSlot",
                    [](const std::string& food, const std::string&) {
                      return QVPalmUserInstallSlotFile(0, kAlice, 99, food.c_str());
                    },
                    0,
                    "PlmSlotInstallFile failed, error code: -4\r\nfor file_name: %FOOD%\r\nuser_id: 1001, slot_id: 99\r\n"
                    "Report this to support@kestavo.example"},
        FailureCase{"SlotInstallOfMissingFile",
                    [](const std::string&, const std::string& missing) {
                      return QVPalmUserInstallSlotFile(0, kAlice, kSdSlot, missing.c_str());
                    },
                    0,
                    "PlmSlotInstallFile failed, error code: -6\r\nfor file_name: %MISSING%\r\nuser_id: 1001, slot_id: 7\r\n"
                    "Report this to support@kestavo.example"},
        FailureCase{"SlotInstallForUnknownUser",
                    [](const std::string& food, const std::string&) {
                      return QVPalmUserInstallSlotFile(0, 4242, kSdSlot, food.c_str());
                    },
                    0,
                    "PlmSlotInstallFile failed, error code: -3\r\nfor file_name: %FOOD%\r\nuser_id: 4242, slot_id: 7\r\n"
                    "Report this to support@kestavo.example"},
        FailureCase{"MemoryInstallForUnknownUser",
                    [](const std::string& food, const std::string&) {
                      return QVPalmUserInstallMemFile(0, 4242, food.c_str());
                    },
                    0,
                    "UmGetUserName failed, error code: -3\r\nfor file_name: %FOOD%,\r\nfor user id: 4242"
                    "Report this to support@kestavo.example"},
        FailureCase{"MemoryInstallOfMissingFile",
                    [](const std::string&, const std::string& missing) {
                      return QVPalmUserInstallMemFile(0, kAlice, missing.c_str());
                    },
                    0,
                    "PltInstallFile failed, error code: -6\r\nfor file_name: %MISSING%,\r\nfor user id: 1001"
                    "Report this to support@kestavo.example"}),
    [](const auto& info) { return std::string(info.param.caseName); });

TEST_F(HandheldExportsTest, LongFileNameIsCutToTheMessageBuffer) {
  const std::string longPath = (temp_ / std::string(200, 'd')).string() + "/" + std::string(200, 'f');
  std::string path;
  for (int i = 0; i < 20; ++i) path += longPath;
  EXPECT_EQ(QVPalmUserInstallMemFile(0, kAlice, path.c_str()), 0);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text.size(), 2999u);
  EXPECT_EQ(messages_[0].text.rfind("PltInstallFile failed, error code: ", 0), 0u);
}

TEST_F(HandheldExportsTest, MessagesGoToStandardErrorByDefault) {
  KvoHandheldSetMessageSink(nullptr, nullptr);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(QVPalmUserInstallSlotFile(0, kAlice, 99, food_.c_str()), 0);
  const std::string shown = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(shown.rfind("Quorvel Installation Error: PlmSlotInstallFile failed, error code: -4\r\n", 0), 0u);
  EXPECT_NE(shown.find("Report this to support@kestavo.example\n"), std::string::npos);
  EXPECT_TRUE(messages_.empty());
}

}  // namespace
