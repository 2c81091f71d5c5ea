#include "companion/HandheldLibrary.h"

#include <cstdio>
#include <dlfcn.h>
#include <string>

namespace {

constexpr const char* kStoreLibrary = "libkvohandheld.so";

struct StoreFunctions {
  decltype(&::UmGetUserCount) getUserCount = nullptr;
  decltype(&::UmGetUserId) getUserId = nullptr;
  decltype(&::UmGetUserName) getUserName = nullptr;
  decltype(&::UmHasCardSlots) hasCardSlots = nullptr;
  decltype(&::UmGetSlotCount) getSlotCount = nullptr;
  decltype(&::UmSlotGetInfo) slotGetInfo = nullptr;
  decltype(&::UmSlotGetName) slotGetName = nullptr;
  decltype(&::PlmSlotRemoveInstallFile) slotRemoveInstallFile = nullptr;
  decltype(&::PlmSlotInstallFile) slotInstallFile = nullptr;
  decltype(&::PltRemoveInstallFile) removeInstallFile = nullptr;
  decltype(&::PltInstallFile) installFile = nullptr;
  decltype(&::KvoHandheldShowMessage) showMessage = nullptr;
  bool loaded = false;
};

// The folder of this library, so that the store beside it wins over any other on the search path.
std::string OwnFolder() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&OwnFolder), &info) == 0 || !info.dli_fname) return {};
  const std::string path = info.dli_fname;
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void* OpenStoreLibrary() {
  const std::string folder = OwnFolder();
  if (!folder.empty()) {
    if (void* beside = dlopen((folder + kStoreLibrary).c_str(), RTLD_NOW | RTLD_LOCAL)) return beside;
  }
  return dlopen(kStoreLibrary, RTLD_NOW | RTLD_LOCAL);
}

template <typename Function>
bool Bind(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

StoreFunctions LoadStore() {
  StoreFunctions f;
  void* library = OpenStoreLibrary();
  if (!library) return f;
  f.loaded = Bind(library, "UmGetUserCount", f.getUserCount) &&
             Bind(library, "UmGetUserId", f.getUserId) &&
             Bind(library, "UmGetUserName", f.getUserName) &&
             Bind(library, "UmHasCardSlots", f.hasCardSlots) &&
             Bind(library, "UmGetSlotCount", f.getSlotCount) &&
             Bind(library, "UmSlotGetInfo", f.slotGetInfo) &&
             Bind(library, "UmSlotGetName", f.slotGetName) &&
             Bind(library, "PlmSlotRemoveInstallFile", f.slotRemoveInstallFile) &&
             Bind(library, "PlmSlotInstallFile", f.slotInstallFile) &&
             Bind(library, "PltRemoveInstallFile", f.removeInstallFile) &&
             Bind(library, "PltInstallFile", f.installFile) &&
             Bind(library, "KvoHandheldShowMessage", f.showMessage);
  // An incomplete store is no store; it stays loaded, as a library that was once bound does.
  if (!f.loaded) f = StoreFunctions{};
  return f;
}

const StoreFunctions& Store() {
  static const StoreFunctions functions = LoadStore();
  return functions;
}

}  // namespace

namespace HandheldLibrary {

int16_t GetUserCount() {
  return Store().loaded ? Store().getUserCount() : static_cast<int16_t>(KVO_HH_ERR_NOT_LOADED);
}

int32_t GetUserId(int32_t userIndex, uint32_t* userId) {
  return Store().loaded ? Store().getUserId(userIndex, userId) : KVO_HH_ERR_NOT_LOADED;
}

int32_t GetUserName(uint32_t userId, char* name, uint32_t* size) {
  return Store().loaded ? Store().getUserName(userId, name, size) : KVO_HH_ERR_NOT_LOADED;
}

int32_t HasCardSlots(uint32_t userId, int32_t* hasSlots) {
  return Store().loaded ? Store().hasCardSlots(userId, hasSlots) : KVO_HH_ERR_NOT_LOADED;
}

int32_t GetSlotCount(uint32_t userId, uint32_t* slotCount) {
  return Store().loaded ? Store().getSlotCount(userId, slotCount) : KVO_HH_ERR_NOT_LOADED;
}

int32_t SlotGetInfo(uint32_t userId, uint32_t* slotIds, uint32_t* count) {
  return Store().loaded ? Store().slotGetInfo(userId, slotIds, count) : KVO_HH_ERR_NOT_LOADED;
}

int32_t SlotGetName(uint32_t userId, uint32_t slotId, char* name, uint32_t* size) {
  return Store().loaded ? Store().slotGetName(userId, slotId, name, size) : KVO_HH_ERR_NOT_LOADED;
}

int32_t SlotRemoveInstallFile(uint32_t userId, uint32_t slotId, const char* fileName) {
  return Store().loaded ? Store().slotRemoveInstallFile(userId, slotId, fileName) : KVO_HH_ERR_NOT_LOADED;
}

int32_t SlotInstallFile(uint32_t userId, uint32_t slotId, const char* fileName) {
  return Store().loaded ? Store().slotInstallFile(userId, slotId, fileName) : KVO_HH_ERR_NOT_LOADED;
}

int32_t RemoveInstallFile(const char* userName, const char* fileName) {
  return Store().loaded ? Store().removeInstallFile(userName, fileName) : KVO_HH_ERR_NOT_LOADED;
}

int32_t InstallFile(const char* userName, const char* fileName) {
  return Store().loaded ? Store().installFile(userName, fileName) : KVO_HH_ERR_NOT_LOADED;
}

void ShowMessage(const char* caption, const char* text) {
  if (Store().loaded) {
    Store().showMessage(caption, text);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

}  // namespace HandheldLibrary
