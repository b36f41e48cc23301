#include "chat/face_dialog.h"

#include <QCursor>
#include <QEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "controls/skin_kit.h"
#include "controls/skin_tool_tip.h"

namespace kanzo {

CFaceDialog::CFaceDialog(const std::string& faceFolder, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint),
      tip_(std::make_unique<SkinToolTip>(*this, kFaceTipMaxWidth)) {
  setFixedSize(kFacePickerWidth, kFacePickerHeight);
  setMouseTracking(true);
  std::vector<QImage> pictures;
  for (const std::string& path : ListFaceFiles(faceFolder)) {
    // The first frame of each face; a file that does not read takes no cell.
    QImageReader reader(QString::fromStdString(path));
    QImage picture = reader.read();
    if (picture.isNull()) continue;
    faces_.push_back(path);
    pictures.push_back(std::move(picture));
  }
  DrawGrid(pictures);
  hoverTimer_.setInterval(kFaceHoverCheckMs);
  connect(&hoverTimer_, &QTimer::timeout, this, [this] { CheckHover(); });
}

CFaceDialog::~CFaceDialog() = default;

void CFaceDialog::DrawGrid(const std::vector<QImage>& pictures) {
  grid_ = QImage(kFacePickerWidth, kFacePickerHeight, QImage::Format_RGB32);
  grid_.fill(Qt::white);
  QPainter painter(&grid_);
  painter.setPen(SkinKit::ToQColor(kFaceOutlineColor));
  for (int index = 0; index < kFaceCellCount; ++index) {
    const CellOrigin cell = FaceCellOrigin(index);
    painter.drawRect(cell.x, cell.y, kFaceCellSize, kFaceCellSize);
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const int shown = std::min(static_cast<int>(pictures.size()), kFaceCellCount);
  for (int index = 0; index < shown; ++index) {
    const CellOrigin cell = FaceCellOrigin(index);
    painter.drawImage(QRect(cell.x + kFaceInset, cell.y + kFaceInset, kFaceSize, kFaceSize),
                      pictures[static_cast<std::size_t>(index)]);
  }
}

void CFaceDialog::ShowAbove(const QWidget* button) {
  if (button) {
    const QPoint topLeft = button->mapToGlobal(QPoint(0, 0));
    move(topLeft.x(), topLeft.y() - height());
  }
  show();
  activateWindow();
}

QString CFaceDialog::ToolTipText() const { return tip_->IsVisible() ? tip_->Text() : QString(); }

void CFaceDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, grid_);
  if (hover_.Hovered() == kNoFace) return;
  const CellOrigin cell = FaceCellOrigin(hover_.Hovered());
  painter.setPen(SkinKit::ToQColor(kFaceHoverColor));
  painter.drawRect(cell.x + 1, cell.y + 1, kFaceCellSize - 2, kFaceCellSize - 2);
}

void CFaceDialog::RepaintCell(int index) {
  if (index == kNoFace) return;
  const CellOrigin cell = FaceCellOrigin(index);
  update(cell.x, cell.y, kFaceCellSize + 1, kFaceCellSize + 1);
}

void CFaceDialog::UpdateTip(const QPoint& globalPos) {
  std::string text;
  if (hover_.TakeTipChange(text)) tip_->Show(globalPos, QString::fromStdString(text));
}

void CFaceDialog::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (hover_.OnMove(pos.x(), pos.y(), FaceCount())) {
    RepaintCell(hover_.Previous());
    RepaintCell(hover_.Hovered());
    hoverTimer_.start();
  }
  UpdateTip(event->globalPosition().toPoint());
}

void CFaceDialog::mousePressEvent(QMouseEvent* event) {
  UpdateTip(event->globalPosition().toPoint());
  // A press outside the popup closes it.
  QWidget::mousePressEvent(event);
}

void CFaceDialog::mouseReleaseEvent(QMouseEvent* event) {
  UpdateTip(event->globalPosition().toPoint());
  if (event->button() != Qt::LeftButton) return;
  const int index = hover_.Hovered();
  if (index == kNoFace || index >= FaceCount()) return;
  // The owner's input takes the focus, which closes the picker.
  hide();
  if (pick_) pick_(faces_[static_cast<std::size_t>(index)]);
}

void CFaceDialog::CheckHover() {
  const QPoint pos = mapFromGlobal(QCursor::pos());
  const int left = hover_.Hovered();
  if (hover_.OnTick(pos.x(), pos.y())) {
    RepaintCell(left);
    hoverTimer_.stop();
    tip_->Hide();
  }
}

void CFaceDialog::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) hide();
  QWidget::changeEvent(event);
}

void CFaceDialog::hideEvent(QHideEvent* event) {
  hoverTimer_.stop();
  tip_->Hide();
  QWidget::hideEvent(event);
}

}  // namespace kanzo
