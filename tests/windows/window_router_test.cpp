// The router finds a window's link by registry name, only as the type it
// was entered with, and only while the window lives.
#include "windows/window_router.h"

#include <gtest/gtest.h>

#include <memory>

namespace kanzo {
namespace {

class PingLink {
 public:
  virtual ~PingLink() = default;
  virtual int Ping() = 0;
};
class OtherLink {
 public:
  virtual ~OtherLink() = default;
};

class Pane final : public platform::Window, public PingLink {
 public:
  explicit Pane(int answer) : answer_(answer) {}
  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  int Ping() override { return answer_; }

 private:
  int answer_;
};

TEST(WindowRouterTest, FindsTheLinkItWasGivenOnlyWhileTheWindowLives) {
  WindowRouter router;
  auto first = std::make_unique<Pane>(1);
  router.Enter("OnlineDlg", *first, static_cast<PingLink*>(first.get()));
  ASSERT_NE(router.Find<PingLink>("OnlineDlg"), nullptr);
  EXPECT_EQ(router.Find<PingLink>("OnlineDlg")->Ping(), 1);
  EXPECT_EQ(router.IdOf("OnlineDlg"), first->Id());
  EXPECT_EQ(router.Find<OtherLink>("OnlineDlg"), nullptr) << "a link it did not offer";
  EXPECT_EQ(router.Find<PingLink>("SessionDlg"), nullptr);

  // A second window under the name replaces the first; the first leaving
  // later does not remove the second.
  Pane second(2);
  router.Enter("OnlineDlg", second, static_cast<PingLink*>(&second));
  router.Leave("OnlineDlg", *first);
  EXPECT_EQ(router.Find<PingLink>("OnlineDlg")->Ping(), 2);

  // A window that goes without leaving is absent all the same.
  auto gone = std::make_unique<Pane>(3);
  router.Enter("ChatDlg", *gone, static_cast<PingLink*>(gone.get()));
  gone.reset();
  EXPECT_FALSE(router.Has("ChatDlg"));
  EXPECT_EQ(router.Find<PingLink>("ChatDlg"), nullptr);

  router.Leave("OnlineDlg", second);
  EXPECT_EQ(router.IdOf("OnlineDlg"), platform::kNoWindow);
}

}  // namespace
}  // namespace kanzo
