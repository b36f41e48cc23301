#pragma once
// The font dialog of the rich view: face, size, bold, italic, underline,
// strikeout and colour of the text the agent types.
#include <QColor>
#include <QDialog>
#include <QTextCharFormat>

class QFontDialog;
class QPushButton;

namespace kanzo {

class FontDlg : public QDialog {
  Q_OBJECT
 public:
  FontDlg(const QTextCharFormat& initial, QWidget* parent = nullptr);

  // The chosen format: font face and size, weight 700 or 400, the effects
  // and the colour.
  QTextCharFormat Choice() const;
  void SetChoice(const QFont& font, const QColor& colour);

 private:
  void ShowColour();
  void PickColour();

  QFontDialog* fontPicker_;
  QPushButton* colourButton_;
  QColor colour_;
};

}  // namespace kanzo
