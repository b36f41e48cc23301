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
#include "support/stand_in_window.h"
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
  std::vector<PaneDelivery> deliveries;
};

// A pane without a window toolkit, entered in the router.
class CorePane final : public StandInWindow<>, public PaneRecorder {
 public:
  CorePane(WindowRouter& router, const std::string& name) : StandInWindow(router, name) {}
  platform::MessageResult OnWindowMessage(std::uint32_t m, platform::WParam w, platform::LParam l) override {
    return Record(m, w, l);
  }
};

class FakeChatWindow final : public StandInWindow<ChatWindowLink> {
 public:
  explicit FakeChatWindow(WindowRouter& router) : StandInWindow(router, kChatWindowName) {}
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
};

class FakeSettingPage final : public StandInWindow<SettingBasicLink> {
 public:
  explicit FakeSettingPage(WindowRouter& router) : StandInWindow(router, kSettingBasicName) {}
  void RefreshSettings() override { ++refreshes; }
  int refreshes = 0;
};

}  // namespace kanzo::test
