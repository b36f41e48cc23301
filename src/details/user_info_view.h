#pragma once
// The visitor card at the top of the chat window's right-hand column: name,
// area, address, page title and source page of the current conversation's
// visitor, and a short description. The title and the source have "复制"
// links; a click on the source opens it when it is a web address. What is
// where comes from LayoutVisitorCard; this widget measures and paints.
#include <QWidget>
#include <memory>
#include <optional>

#include "controls/skin_kit.h"
#include "details/visitor_card.h"
#include "records/contact_record.h"

namespace kanzo {

class SkinToolTip;

class UserInfoView final : public QWidget {
  Q_OBJECT
 public:
  explicit UserInfoView(QWidget* parent = nullptr);
  ~UserInfoView() override;

  // The visitor to show (copied; null for none) and a redraw.
  void SetRecord(const ContactRecord* record);
  // The fill inside the frame (white by default).
  void SetFill(SkinKit::Colour fill);

  bool HasRecord() const { return record_.has_value(); }
  // The card as it is laid out at the present size.
  VisitorCardLayout Layout() const;
  // The line of `index` as drawn, cut to its width.
  QString ShownLine(int index) const;
  QString ToolTipText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  std::optional<ContactRecord> record_;
  SkinKit::Colour fill_ = kCardDefaultFill;
  SkinKit::Image copyPicture_;
  std::unique_ptr<SkinToolTip> tip_;
};

}  // namespace kanzo
