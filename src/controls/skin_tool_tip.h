#pragma once
// The skinned controls' tooltip: white, grey text, a maximum width, words
// wrapped. Owned by its control and gone with it.
#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <QString>

namespace kanzo {

class SkinToolTip {
 public:
  SkinToolTip(QWidget& owner, int maxWidth);
  ~SkinToolTip();
  SkinToolTip(const SkinToolTip&) = delete;
  SkinToolTip& operator=(const SkinToolTip&) = delete;

  // Shows `text` below and right of `globalPos`; an empty text hides it.
  void Show(const QPoint& globalPos, const QString& text);
  void Hide();
  bool IsVisible() const;
  QString Text() const;
  int MaxWidth() const { return maxWidth_; }

 private:
  QWidget& owner_;
  int maxWidth_;
  QPointer<QLabel> label_;
};

}  // namespace kanzo
