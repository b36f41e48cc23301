#pragma once
// The emoticon picker: a borderless grid of the face folder's pictures that
// pops up above the chat window's face button. A click on a face hands its
// path to the owner; the picker hides whenever it loses activation.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chat/face_grid.h"

namespace kanzo {

class SkinToolTip;

class CFaceDialog : public QWidget {
  Q_OBJECT
 public:
  // Loads the faces of `faceFolder` (every "*.gif" that reads, by name)
  // and draws the grid once.
  explicit CFaceDialog(const std::string& faceFolder, QWidget* parent = nullptr);
  ~CFaceDialog() override;

  using PickHandler = std::function<void(const std::string& path)>;
  void SetPickHandler(PickHandler handler) { pick_ = std::move(handler); }

  // Left edge at the button's left edge, bottom edge at its top; shown.
  void ShowAbove(const QWidget* button);

  int FaceCount() const { return static_cast<int>(faces_.size()); }
  int Hovered() const { return hover_.Hovered(); }
  QString ToolTipText() const;
  const QImage& Grid() const { return grid_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void DrawGrid(const std::vector<QImage>& pictures);
  void UpdateTip(const QPoint& globalPos);
  void RepaintCell(int index);
  void CheckHover();

  std::vector<std::string> faces_;
  QImage grid_;
  FaceHover hover_;
  QTimer hoverTimer_;
  std::unique_ptr<SkinToolTip> tip_;
  PickHandler pick_;
};

}  // namespace kanzo
