#include "chat/font_dlg.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "chat/qt_markup_format.h"
#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

constexpr const char* kFontDlgCaption = "字体";
constexpr const char* kColourLabel = "颜色：";
constexpr const char* kColourButton = "选择颜色...";
constexpr int kColourSwatchEdge = 16;
constexpr int kCentreWeight = (kFontWeightBold + kFontWeightNormal) / 2;

}  // namespace

FontDlg::FontDlg(const QTextCharFormat& initial, QWidget* parent) : QDialog(parent) {
  setWindowTitle(platform::FromNarrow(kFontDlgCaption));
  // The standard font chooser without its own buttons, with a colour row
  // below it, as the effects part of a font dialog has.
  fontPicker_ = new QFontDialog(this);
  fontPicker_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts |
                          QFontDialog::NonScalableFonts);
  fontPicker_->setWindowFlags(Qt::Widget);

  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(new QLabel(platform::FromNarrow(kColourLabel), this));
  colourButton_ = new QPushButton(platform::FromNarrow(kColourButton), this);
  connect(colourButton_, &QPushButton::clicked, this, &FontDlg::PickColour);
  colourRow->addWidget(colourButton_);
  colourRow->addStretch();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fontPicker_);
  layout->addLayout(colourRow);
  layout->addWidget(buttons);

  QFont font = initial.font();
  if (initial.hasProperty(QTextFormat::FontPointSize)) font.setPointSizeF(initial.fontPointSize());
  SetChoice(font, initial.hasProperty(QTextFormat::ForegroundBrush) ? initial.foreground().color() : QColor(Qt::black));
}

void FontDlg::SetChoice(const QFont& font, const QColor& colour) {
  fontPicker_->setCurrentFont(font);
  colour_ = colour;
  ShowColour();
}

void FontDlg::ShowColour() {
  QPixmap swatch(kColourSwatchEdge, kColourSwatchEdge);
  swatch.fill(colour_);
  colourButton_->setIcon(QIcon(swatch));
}

void FontDlg::PickColour() {
  const QColor chosen = QColorDialog::getColor(colour_, this);
  if (!chosen.isValid()) return;
  colour_ = chosen;
  ShowColour();
}

QTextCharFormat FontDlg::Choice() const {
  const QFont font = fontPicker_->currentFont();
  QTextCharFormat format;
  format.setFontFamilies(font.families().isEmpty() ? QStringList{font.family()} : font.families());
  if (font.pointSizeF() > 0) format.setFontPointSize(font.pointSizeF());
  format.setFontWeight(font.weight() >= kCentreWeight ? kFontWeightBold : kFontWeightNormal);
  format.setFontItalic(font.italic());
  format.setFontUnderline(font.underline());
  format.setFontStrikeOut(font.strikeOut());
  format.setForeground(QBrush(colour_));
  return format;
}

}  // namespace kanzo
