#pragma once
// What a pane, the chat window and the settings page receive from the main
// window, recorded for the tests. The recorder keeps copies of JSON values
// (they are only lent for the call) and takes the Msg copies it is given.
#include <json/value.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window_message.h"
#include "protocol/msg.h"
#include "windows/client_vocabulary.h"
#include "windows/window_links.h"
#include "windows/window_router.h"

namespace kanzo::test {

struct PaneDelivery {
  platform::WParam kind = 0;
  Json::Value json;             // kinds 1, 3, 4 (and 1 for OnlineDlg)
  std::unique_ptr<Msg> notice;  // kind 2 with a Msg copy
  bool empty = false;           // second parameter 0
};

// Handles 2024 as the panes do; `isJson(kind)` says which kinds carry JSON.
class PaneRecorder {
 public:
  explicit PaneRecorder(std::string name) : name_(std::move(name)) {}

  platform::MessageResult Record(std::uint32_t message, platform::WParam wParam, platform::LParam lParam) {
    if (message != kPaneDataMessage) return 0;
    PaneDelivery d;
    d.kind = wParam;
    if (lParam == 0) {
      d.empty = true;
    } else if (wParam == kPaneNotice) {
      d.notice = platform::TakePayload(kPaneNoticeMsg, lParam);
    } else {
      d.json = *platform::BorrowPayload(kPaneJson, lParam);
    }
    deliveries.push_back(std::move(d));
    return 0;
  }
  const std::string& name() const { return name_; }

  std::vector<PaneDelivery> deliveries;

 private:
  std::string name_;
};

// A pane without a window toolkit, entered in the router.
class CorePane final : public platform::Window, public PaneRecorder {
 public:
  CorePane(WindowRouter& router, const std::string& name) : PaneRecorder(name), router_(router) {
    router_.Enter(name, *this);
  }
  ~CorePane() override { router_.Leave(this->name(), *this); }
  platform::MessageResult OnWindowMessage(std::uint32_t m, platform::WParam w, platform::LParam l) override {
    return Record(m, w, l);
  }

 private:
  WindowRouter& router_;
};

class FakeChatWindow final : public platform::Window, public ChatWindowLink {
 public:
  explicit FakeChatWindow(WindowRouter& router) : router_(router) {
    router_.Enter(kChatWindowName, *this, static_cast<ChatWindowLink*>(this));
  }
  ~FakeChatWindow() override { router_.Leave(kChatWindowName, *this); }
  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  void RepaintTalkList() override { ++repaints; }
  void LoadQuickMessage(const Json::Value& root) override { quickMessages.push_back(root); }
  void LoadTodayConversations() override { ++todayLoads; }
  void OpenConversation(std::int32_t) override {}
  void AppendTranscriptEntry(std::int32_t, const std::string&, bool, std::int64_t) override {}
  void ReloadQuickLists() override {}
  bool IsTalkListed(std::int32_t) override { return false; }

  int repaints = 0;
  int todayLoads = 0;
  std::vector<Json::Value> quickMessages;

 private:
  WindowRouter& router_;
};

class FakeSettingPage final : public platform::Window, public SettingBasicLink {
 public:
  explicit FakeSettingPage(WindowRouter& router) : router_(router) {
    router_.Enter(kSettingBasicName, *this, static_cast<SettingBasicLink*>(this));
  }
  ~FakeSettingPage() override { router_.Leave(kSettingBasicName, *this); }
  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  void RefreshSettings() override { ++refreshes; }
  int refreshes = 0;

 private:
  WindowRouter& router_;
};

}  // namespace kanzo::test
