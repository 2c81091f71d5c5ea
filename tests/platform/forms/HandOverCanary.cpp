// Canaries for the ThreadSanitizer run (tools/sanitize/run_tsan_tests.sh): our two hand-overs
// to the GUI thread, each copied without its ordering, so that a value written on a worker is
// read on the GUI thread with nothing between them but Qt's own lock, which ThreadSanitizer
// cannot see. The script runs each test alone and fails unless ThreadSanitizer reports a race
// in this file under the real tools/sanitize/tsan.supp: a suppression that hid our own frames
// would silence it. No test of the plain suite (CTest does not list it); built without
// ThreadSanitizer each test simply passes.
//
// The GUI side takes the posted call with sendPostedEvents instead of an event loop: GLib's
// wake-up (an eventfd written by the poster and read by the loop) is an ordering that
// ThreadSanitizer does see, and it would hide the race whenever the loop slept in poll.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Delivers what was posted to the GUI thread until the worker's call has arrived.
void DeliverPostedUntil(const std::function<bool()>& arrived) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!arrived() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::sendPostedEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// WWindow::PostUserEvent without HandedOver/TakenOver.
const QEvent::Type kHandedType = static_cast<QEvent::Type>(QEvent::User + 77);

struct HandedEvent : QEvent {
    HandedEvent() : QEvent(kHandedType) {}
    int code = 0;
};

// Receives nothing but HandedEvent; reading its type first would race on Qt's inline accessor
// before our own field.
class Receiver : public QObject {
public:
    int received = 0;

protected:
    void customEvent(QEvent* event) override { received = static_cast<HandedEvent*>(event)->code; }
};

TEST(HandOverCanary, APostedEventWithoutItsMarkersIsReported) {
    Receiver receiver;
    std::thread worker([&receiver] {
        auto* event = new HandedEvent;
        event->code = 42;
        QCoreApplication::postEvent(&receiver, event);
    });
    DeliverPostedUntil([&receiver] { return receiver.received != 0; });
    worker.join();
    EXPECT_EQ(receiver.received, 42);
}

// GuiPost without the GuiPosting lock: the call, with the value it carries, is copied by Qt's
// invokeMethod template at our call site on the worker and read by the call on the GUI thread.
TEST(HandOverCanary, AnInvokedCallWithoutTheLockIsReported) {
    int received = 0;
    std::thread worker([&received] {
        const int code = 42;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [code, &received] { received = code; },
                                  Qt::QueuedConnection);
    });
    DeliverPostedUntil([&received] { return received != 0; });
    worker.join();
    EXPECT_EQ(received, 42);
}

}  // namespace
