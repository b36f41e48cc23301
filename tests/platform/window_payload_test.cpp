// Typed payloads: whatever happens to the message, an owned payload is
// freed exactly once, and a borrowed one is the sender's own object. The
// sanitizer builds run these under LeakSanitizer.
#include "platform/window_payload.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace kanzo::platform {
namespace {

struct Tracked {
  explicit Tracked(int* c) : alive(c) { ++*alive; }
  ~Tracked() { --*alive; }
  int* alive;
};

constexpr OwnedPayload<Tracked> kOwned{2024};
constexpr BorrowedPayload<Tracked> kBorrowed{2025};

// Takes the payload when told to and keeps it until the test drops it.
class Receiver final : public Window {
 public:
  explicit Receiver(bool take) : take_(take) {}
  MessageResult OnWindowMessage(std::uint32_t message, WParam, LParam lParam) override {
    ++handled;
    if (message == kOwned.message && take_) kept = TakePayload(kOwned, lParam);
    if (message == kBorrowed.message) borrowed = BorrowPayload(kBorrowed, lParam);
    return 1;
  }
  int handled = 0;
  std::unique_ptr<Tracked> kept;
  const Tracked* borrowed = nullptr;

 private:
  bool take_;
};

enum class Route { kPost, kSend };
enum class Fate { kTaken, kLeft, kWindowGone, kNoLoop, kLoopEnds };

struct Case {
  const char* name;
  Route route;
  Fate fate;
  int handled;     // times the handler ran
  int aliveAfter;  // payloads alive once the message has ended
};

TEST(WindowPayloadTest, AnOwnedPayloadIsFreedOnceWhateverBecomesOfItsMessage) {
  const Case cases[] = {
      {"post, taken", Route::kPost, Fate::kTaken, 1, 1},
      {"post, left by the handler", Route::kPost, Fate::kLeft, 1, 0},
      {"post, window gone before delivery", Route::kPost, Fate::kWindowGone, 0, 0},
      {"post, no loop installed", Route::kPost, Fate::kNoLoop, 0, 0},
      {"post, loop ends with it queued", Route::kPost, Fate::kLoopEnds, 0, 0},
      {"send, taken", Route::kSend, Fate::kTaken, 1, 1},
      {"send, left by the handler", Route::kSend, Fate::kLeft, 1, 0},
      {"send, window gone", Route::kSend, Fate::kWindowGone, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int alive = 0;
    std::optional<ManualUiLoop> loop;
    if (c.fate != Fate::kNoLoop) {
      loop.emplace();
      SetUiLoop(&*loop);
    }
    auto receiver = std::make_unique<Receiver>(c.fate == Fate::kTaken);
    const WindowId id = receiver->Id();
    Receiver* watched = receiver.get();
    if (c.fate == Fate::kWindowGone && c.route == Route::kSend) receiver.reset();

    auto payload = std::make_unique<Tracked>(&alive);
    if (c.route == Route::kPost) {
      EXPECT_EQ(PostPayload(id, kOwned, 0, std::move(payload)), c.fate != Fate::kNoLoop);
      if (c.fate == Fate::kWindowGone) receiver.reset();
      if (c.fate == Fate::kLoopEnds) {
        SetUiLoop(nullptr);
        loop.reset();
      } else if (loop) {
        loop->RunPending();
      }
    } else {
      EXPECT_EQ(SendPayload(id, kOwned, 0, std::move(payload)), receiver ? 1 : 0);
    }
    if (receiver) EXPECT_EQ(watched->handled, c.handled);
    EXPECT_EQ(alive, c.aliveAfter);
    receiver.reset();
    EXPECT_EQ(alive, 0) << "the taker frees what it took";
    SetUiLoop(nullptr);
  }
}

TEST(WindowPayloadTest, ABorrowedPayloadIsTheSendersOwnObject) {
  int alive = 0;
  const Tracked mine(&alive);
  Receiver receiver(false);
  EXPECT_EQ(SendPayload(receiver.Id(), kBorrowed, 0, mine), 1);
  EXPECT_EQ(receiver.borrowed, &mine);
  EXPECT_EQ(alive, 1);
}

}  // namespace
}  // namespace kanzo::platform
