#include "platform/db/WDbObserver.h"

#include <atomic>

namespace {

std::atomic<WDbObserver*> installed{nullptr};

}  // namespace

WDbObserver* WDbObserver::Get() { return installed.load(); }

void WDbObserver::Install(WDbObserver* observer) { installed.store(observer); }
