#pragma once
// The agent's own card, shown beside the main window while the pointer
// rests on the agent's avatar: a big avatar and ten labelled fields from
// the current agent record, on the card background. The main window fills
// it after the login and after the agent's details were saved.
#include <QWidget>

#include "controls/skin_kit.h"
#include "details/agent_card.h"
#include "records/agent_record.h"
#include "windows/window_links.h"

class QLabel;

namespace kanzo {

class LogoPanel;

inline constexpr int kAgentCardDialogId = 138;

class UserInfoDlg final : public QWidget, public AgentCardLink {
  Q_OBJECT
 public:
  // The card shows `agent`, which must outlive it.
  UserInfoDlg(QWidget* parent, const SharedAgentRecord& agent);

  void FillFromAgentRecord() override;

  // The value shown for field `controlId`.
  QLabel* Field(int controlId) const;
  LogoPanel* Avatar() const { return avatar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const SharedAgentRecord& agent_;
  SkinKit::Texture background_;
  LogoPanel* avatar_;
};

}  // namespace kanzo
