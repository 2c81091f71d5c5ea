#include "platform/handheld/HandheldStore.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct NamedEntry {
  uint32_t id = 0;
  std::optional<std::string> name;  // none: the line held only the id
};

std::string g_storeFolder;
KvoHandheldMessageSink g_sink = nullptr;
void* g_sinkContext = nullptr;

fs::path StoreFolder() {
  if (!g_storeFolder.empty()) return g_storeFolder;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && *dataHome) return fs::path(dataHome) / "kvo-handheld";
  const char* home = std::getenv("HOME");
  return fs::path(home ? home : ".") / ".local/share/kvo-handheld";
}

fs::path UserFolder(uint32_t userId) { return StoreFolder() / std::to_string(userId); }

std::optional<uint32_t> ParseId(const std::string& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(value);
}

// Reads "<id>\t<name>" lines; lines without a readable id are skipped.
std::optional<std::vector<NamedEntry>> ReadEntries(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<NamedEntry> entries;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab = line.find('\t');
    const std::optional<uint32_t> id = ParseId(line.substr(0, tab));
    if (!id) continue;
    NamedEntry entry;
    entry.id = *id;
    if (tab != std::string::npos) entry.name = line.substr(tab + 1);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<NamedEntry>> ReadUsers() { return ReadEntries(StoreFolder() / "users.txt"); }

const NamedEntry* FindById(const std::vector<NamedEntry>& entries, uint32_t id) {
  for (const NamedEntry& entry : entries)
    if (entry.id == id) return &entry;
  return nullptr;
}

bool UserExists(uint32_t userId) {
  const auto users = ReadUsers();
  return users && FindById(*users, userId);
}

// A user without slots.txt has a handheld without card slots: no slots, and no error.
std::vector<NamedEntry> ReadSlots(uint32_t userId) {
  return ReadEntries(UserFolder(userId) / "slots.txt").value_or(std::vector<NamedEntry>{});
}

int32_t CopyCut(const std::string& text, char* buffer, uint32_t* size) {
  if (!size || (!buffer && *size > 0)) return KVO_HH_ERR_BAD_ARGUMENT;
  if (*size == 0) return KVO_HH_OK;
  const size_t length = std::min<size_t>(text.size(), *size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  *size = static_cast<uint32_t>(length);
  return KVO_HH_OK;
}

std::optional<uint32_t> FindUserIdByName(const char* userName) {
  const auto users = ReadUsers();
  if (!users) return std::nullopt;
  for (const NamedEntry& user : *users)
    if (user.name && *user.name == userName) return user.id;
  return std::nullopt;
}

fs::path SlotQueue(uint32_t userId, uint32_t slotId) {
  return UserFolder(userId) / ("card-" + std::to_string(slotId));
}

int32_t RemoveQueued(const fs::path& queue, const char* fileName) {
  if (!fileName) return KVO_HH_ERR_BAD_ARGUMENT;
  const fs::path leaf = fs::path(fileName).filename();
  if (leaf.empty()) return KVO_HH_ERR_BAD_FILE;
  std::error_code ec;
  fs::remove(queue / leaf, ec);
  return ec ? KVO_HH_ERR_QUEUE_WRITE : KVO_HH_OK;
}

int32_t QueueCopy(const fs::path& queue, const char* fileName) {
  if (!fileName) return KVO_HH_ERR_BAD_ARGUMENT;
  std::error_code ec;
  const fs::path source(fileName);
  if (!fs::is_regular_file(source, ec) || source.filename().empty()) return KVO_HH_ERR_BAD_FILE;
  fs::create_directories(queue, ec);
  if (ec) return KVO_HH_ERR_QUEUE_WRITE;
  fs::copy_file(source, queue / source.filename(), fs::copy_options::overwrite_existing, ec);
  return ec ? KVO_HH_ERR_QUEUE_WRITE : KVO_HH_OK;
}

// No C++ exception may cross into the C caller.
template <typename Body>
int32_t Guarded(Body body) {
  try {
    return body();
  } catch (...) {
    return KVO_HH_ERR_NO_STORE;
  }
}

}  // namespace

extern "C" {

int16_t UmGetUserCount(void) {
  return static_cast<int16_t>(Guarded([]() -> int32_t {
    const auto users = ReadUsers();
    if (!users) return KVO_HH_ERR_NO_STORE;
    return static_cast<int32_t>(std::min<size_t>(users->size(), INT16_MAX));
  }));
}

int32_t UmGetUserId(int32_t userIndex, uint32_t* userId) {
  return Guarded([&]() -> int32_t {
    if (!userId) return KVO_HH_ERR_BAD_ARGUMENT;
    const auto users = ReadUsers();
    if (!users) return KVO_HH_ERR_NO_STORE;
    if (userIndex < 0 || static_cast<size_t>(userIndex) >= users->size()) return KVO_HH_ERR_NO_USER;
    *userId = (*users)[static_cast<size_t>(userIndex)].id;
    return KVO_HH_OK;
  });
}

int32_t UmGetUserName(uint32_t userId, char* name, uint32_t* size) {
  return Guarded([&]() -> int32_t {
    const auto users = ReadUsers();
    if (!users) return KVO_HH_ERR_NO_STORE;
    const NamedEntry* user = FindById(*users, userId);
    if (!user) return KVO_HH_ERR_NO_USER;
    return CopyCut(user->name.value_or(std::string()), name, size);
  });
}

int32_t UmHasCardSlots(uint32_t userId, int32_t* hasSlots) {
  return Guarded([&]() -> int32_t {
    if (!hasSlots) return KVO_HH_ERR_BAD_ARGUMENT;
    if (!UserExists(userId)) return KVO_HH_ERR_NO_USER;
    std::error_code ec;
    *hasSlots = fs::is_regular_file(UserFolder(userId) / "slots.txt", ec) ? 1 : 0;
    return KVO_HH_OK;
  });
}

int32_t UmGetSlotCount(uint32_t userId, uint32_t* slotCount) {
  return Guarded([&]() -> int32_t {
    if (!slotCount) return KVO_HH_ERR_BAD_ARGUMENT;
    if (!UserExists(userId)) return KVO_HH_ERR_NO_USER;
    *slotCount = static_cast<uint32_t>(ReadSlots(userId).size());
    return KVO_HH_OK;
  });
}

int32_t UmSlotGetInfo(uint32_t userId, uint32_t* slotIds, uint32_t* count) {
  return Guarded([&]() -> int32_t {
    if (!count || (!slotIds && *count > 0)) return KVO_HH_ERR_BAD_ARGUMENT;
    if (!UserExists(userId)) return KVO_HH_ERR_NO_USER;
    const std::vector<NamedEntry> slots = ReadSlots(userId);
    const uint32_t filled = static_cast<uint32_t>(std::min<size_t>(slots.size(), *count));
    for (uint32_t i = 0; i < filled; ++i) slotIds[i] = slots[i].id;
    *count = filled;
    return KVO_HH_OK;
  });
}

int32_t UmSlotGetName(uint32_t userId, uint32_t slotId, char* name, uint32_t* size) {
  return Guarded([&]() -> int32_t {
    if (!UserExists(userId)) return KVO_HH_ERR_NO_USER;
    const std::vector<NamedEntry> slots = ReadSlots(userId);
    const NamedEntry* slot = FindById(slots, slotId);
    if (!slot) return KVO_HH_ERR_NO_SLOT;
    if (!slot->name) return KVO_HH_ERR_NO_SLOT_NAME;
    return CopyCut(*slot->name, name, size);
  });
}

int32_t PlmSlotRemoveInstallFile(uint32_t userId, uint32_t slotId, const char* fileName) {
  return Guarded([&]() -> int32_t {
    if (!UserExists(userId)) return KVO_HH_ERR_NO_USER;
    if (!FindById(ReadSlots(userId), slotId)) return KVO_HH_ERR_NO_SLOT;
    return RemoveQueued(SlotQueue(userId, slotId), fileName);
  });
}

int32_t PlmSlotInstallFile(uint32_t userId, uint32_t slotId, const char* fileName) {
  return Guarded([&]() -> int32_t {
    if (!UserExists(userId)) return KVO_HH_ERR_NO_USER;
    if (!FindById(ReadSlots(userId), slotId)) return KVO_HH_ERR_NO_SLOT;
    return QueueCopy(SlotQueue(userId, slotId), fileName);
  });
}

int32_t PltRemoveInstallFile(const char* userName, const char* fileName) {
  return Guarded([&]() -> int32_t {
    if (!userName) return KVO_HH_ERR_BAD_ARGUMENT;
    const std::optional<uint32_t> userId = FindUserIdByName(userName);
    if (!userId) return KVO_HH_ERR_NO_USER;
    return RemoveQueued(UserFolder(*userId) / "install", fileName);
  });
}

int32_t PltInstallFile(const char* userName, const char* fileName) {
  return Guarded([&]() -> int32_t {
    if (!userName) return KVO_HH_ERR_BAD_ARGUMENT;
    const std::optional<uint32_t> userId = FindUserIdByName(userName);
    if (!userId) return KVO_HH_ERR_NO_USER;
    return QueueCopy(UserFolder(*userId) / "install", fileName);
  });
}

void KvoHandheldSetStoreFolder(const char* folder) { g_storeFolder = folder ? folder : ""; }

void KvoHandheldSetMessageSink(KvoHandheldMessageSink sink, void* context) {
  g_sink = sink;
  g_sinkContext = context;
}

void KvoHandheldShowMessage(const char* caption, const char* text) {
  if (g_sink) {
    g_sink(caption ? caption : "", text ? text : "", g_sinkContext);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
}

}  // extern "C"
