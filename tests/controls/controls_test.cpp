// The skinned controls as real widgets on the offscreen platform, painting
// test pictures of known colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <functional>
#include <memory>
#include <vector>

#include "controls/high_light_button.h"
#include "controls/icon_text_button.h"
#include "controls/logo_panel.h"
#include "controls/segment.h"
#include "controls/signal_panel.h"
#include "controls/skin_kit.h"
#include "controls/state_button.h"
#include "picture_files.h"
#include "support/qt_input.h"
#include "support/qt_pump.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

using test::Rgb;
using test::Solid;

constexpr QRgb kGround = 0xFAFAFA;
constexpr QRgb kHoverBorder = 0x10A010, kPressedBorder = 0xA01010, kInfoBorder = 0x1010A0;
constexpr QRgb kArrow = 0x202020, kArrowHot = 0x2020F0;
constexpr QRgb kStates[] = {0x00B000, 0xB00000, 0x909090, 0xB0B0B0, 0xF0A000};
constexpr QRgb kShadow = 0x808080, kShadowHot = 0x0080FF;
constexpr QRgb kIcon = 0x404040, kIconHot = 0x4040C0, kPicture = 0x804000, kOther = 0x008040;
constexpr QRgb kFirst = 0xF00000, kFirstOn = 0xF0F000, kButton = 0x00F000, kButtonOn = 0x00F0F0;
constexpr QRgb kLast = 0x0000F0, kLastOn = 0xF000F0;
constexpr QRgb kLevels[] = {0x101010, 0x303030, 0x505050, 0x707070, 0x909090};
constexpr int kStripHeight = 12;
const QPoint kFarAway(3000, 3000);

// Runs the event loop until `done` holds or `timeoutMs` passes.
using ::kanzo::test::PumpUntil;

using test::Mouse;

// The pointer goes to a point of the widget and moves there.
void PointAt(QWidget* w, const QPoint& local) {
  QCursor::setPos(w->mapToGlobal(local));
  Mouse(w, QEvent::MouseMove, local);
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinKit::ClearPictureCache();
    SkinKit::SetPictureFolder(dir_.path());
    const auto file = [this](const char* name) { return dir_.File(name); };
    test::WriteTexture(file("Images/Border.png"), {Solid({8, 8}, kHoverBorder), Solid({8, 8}, kPressedBorder)},
                       "2,2,2,2");
    test::WriteTexture(file("Images/InfoBorder.png"), {Solid({8, 8}, kInfoBorder)}, "2,2,2,2");
    test::WriteTexture(file("Images/DropArrow.png"), {Solid({6, 4}, kArrow), Solid({6, 4}, kArrowHot)});
    std::vector<QImage> states;
    for (QRgb c : kStates) states.push_back(Solid({10, 10}, c));
    test::WriteTexture(file("Images/LoginState.png"), states);
    // The avatar frame: a ring with an open (magenta) middle.
    std::vector<QImage> shadow;
    for (QRgb c : {kShadow, kShadowHot}) {
      QImage ring = Solid({10, 10}, 0xFF00FF);
      for (int i = 0; i < 10; ++i)
        for (const QPoint p : {QPoint(i, 0), QPoint(i, 9), QPoint(0, i), QPoint(9, i)})
          ring.setPixel(p, 0xFF000000 | c);
      shadow.push_back(ring);
    }
    test::WriteTexture(file("Images/Shadow.png"), shadow, "1,1,1,1");
    std::vector<QImage> levels;
    for (QRgb c : kLevels) levels.push_back(Solid({10, 8}, c));
    test::WriteTexture(file("Images/Signal.png"), levels);
    test::WriteTexture(file("Images/Icon.png"), {Solid({6, 6}, kIcon), Solid({6, 6}, kIconHot)});
    test::WritePicture(file("Images/pic.png"), Solid({6, 6}, kPicture));
    test::WritePicture(file("Images/other.png"), Solid({4, 4}, kOther));
    test::WriteTexture(file("Segment/first.png"),
                       {Solid({8, kStripHeight}, kFirst), Solid({8, kStripHeight}, kFirstOn)});
    test::WriteTexture(file("Segment/button.png"),
                       {Solid({8, kStripHeight}, kButton), Solid({8, kStripHeight}, kButtonOn)});
    test::WriteTexture(file("Segment/last.png"), {Solid({8, kStripHeight}, kLast), Solid({8, kStripHeight}, kLastOn)});

    host_ = std::make_unique<QWidget>();
    host_->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(kGround));
    host_->setPalette(palette);
    host_->setGeometry(400, 300, 300, 200);
    QCursor::setPos(kFarAway);
  }
  void TearDown() override {
    host_.reset();
    SkinKit::ClearPictureCache();
  }

  QImage Shot(QWidget* w) { return w->grab().toImage(); }

  test::TempDir dir_;
  std::unique_ptr<QWidget> host_;
};

// One entry per control: how to make it and read its hover state and timers.
struct ControlKind {
  const char* name;
  std::function<QWidget*(QWidget* parent)> make;
  std::function<bool(QWidget*)> hovered;
  std::function<platform::WindowTimers&(QWidget*)> timers;
};

template <typename T>
ControlKind Kind(const char* name) {
  return ControlKind{name, [](QWidget* parent) -> QWidget* { return new T(parent); },
                     [](QWidget* w) { return static_cast<T*>(w)->IsHovered(); },
                     [](QWidget* w) -> platform::WindowTimers& { return static_cast<T*>(w)->Timers(); }};
}

TEST_F(ControlsTest, HoverStartsOnMovementAndEndsThroughTheTimer) {
  const ControlKind kinds[] = {Kind<HighLightButton>("HighLightButton"),
                               Kind<IconTextButton>("IconTextButton"),
                               Kind<StateButton>("StateButton"),
                               Kind<LogoPanel>("LogoPanel"),
                               Kind<Segment>("Segment"),
                               Kind<SignalPanel>("SignalPanel")};
  host_->show();
  for (const ControlKind& kind : kinds) {
    QWidget* control = kind.make(host_.get());
    control->setGeometry(10, 10, 40, 30);
    control->show();
    EXPECT_FALSE(kind.hovered(control)) << kind.name;
    PointAt(control, QPoint(20, 15));
    EXPECT_TRUE(kind.hovered(control)) << kind.name;
    EXPECT_TRUE(kind.timers(control).IsRunning(kHoverTimerId)) << kind.name;
    // While the pointer stays, the timer keeps the hover.
    kind.timers(control).Fire(kHoverTimerId);
    EXPECT_TRUE(kind.hovered(control)) << kind.name;
    // Once it has gone, the next tick clears the hover and stops.
    QCursor::setPos(kFarAway);
    kind.timers(control).Fire(kHoverTimerId);
    EXPECT_FALSE(kind.hovered(control)) << kind.name;
    EXPECT_FALSE(kind.timers(control).IsRunning(kHoverTimerId)) << kind.name;
    delete control;
  }
}

TEST_F(ControlsTest, HoverEndsByItselfWithTheRunningTimer) {
  auto* button = new HighLightButton(host_.get());
  button->setGeometry(10, 10, 24, 24);
  host_->show();
  PointAt(button, QPoint(5, 5));
  ASSERT_TRUE(button->IsHovered());
  QCursor::setPos(kFarAway);
  EXPECT_TRUE(PumpUntil([&] { return !button->IsHovered(); }, 2000));
  EXPECT_FALSE(button->Timers().IsRunning(kHoverTimerId));
}

TEST_F(ControlsTest, HighLightButtonShowsHoverAndPressedFrames) {
  auto* button = new HighLightButton(host_.get());
  button->setGeometry(10, 10, 24, 24);
  button->SetIcon("Images\\pic.png", HighLightButton::kIconPicture);
  host_->show();
  // Normal: the parent's background around the centred icon (9..14).
  QImage shot = Shot(button);
  EXPECT_EQ(Rgb(shot, 0, 0), kGround);
  EXPECT_EQ(Rgb(shot, 9, 9), kPicture);
  EXPECT_EQ(Rgb(shot, 15, 15), kGround);

  PointAt(button, QPoint(5, 5));
  shot = Shot(button);
  EXPECT_EQ(Rgb(shot, 0, 0), kHoverBorder);
  EXPECT_EQ(Rgb(shot, 9, 9), kPicture);

  Mouse(button, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
  EXPECT_TRUE(button->IsPressed());
  shot = Shot(button);
  EXPECT_EQ(Rgb(shot, 0, 0), kPressedBorder);
  EXPECT_EQ(Rgb(shot, 9, 9), kPressedBorder);  // the icon sank one pixel
  EXPECT_EQ(Rgb(shot, 15, 15), kPicture);

  Mouse(button, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton);
  EXPECT_FALSE(button->IsPressed());
  EXPECT_EQ(Rgb(Shot(button), 0, 0), kHoverBorder);

  button->SetShowBorder(false);
  EXPECT_EQ(Rgb(Shot(button), 0, 0), kGround);
}

TEST_F(ControlsTest, HighLightButtonTextureIconLightsUpWhileHovered) {
  auto* button = new HighLightButton(host_.get());
  button->setGeometry(10, 10, 24, 24);
  button->SetIcon("\\Images\\Icon", HighLightButton::kIconTexture);
  host_->show();
  EXPECT_EQ(Rgb(Shot(button), 12, 12), kIcon);
  PointAt(button, QPoint(2, 2));
  EXPECT_EQ(Rgb(Shot(button), 12, 12), kIconHot);
}

TEST_F(ControlsTest, TheSameIconPathTwiceKeepsTheLoadedIcon) {
  HighLightButton button(host_.get());
  button.SetIcon("Images/pic.png", HighLightButton::kIconPicture);
  ASSERT_EQ(button.IconPicture().Width(), 6);
  // The file changes on disk; setting the same path does not reload it.
  test::WritePicture(dir_.File("Images/pic.png"), Solid({9, 9}, kPicture));
  SkinKit::ClearPictureCache();
  button.SetIcon("Images/pic.png", HighLightButton::kIconPicture);
  EXPECT_EQ(button.IconPicture().Width(), 6);
  button.SetIcon("", HighLightButton::kIconTexture);
  EXPECT_EQ(button.IconPath(), "Images/pic.png");
  EXPECT_EQ(button.IconPicture().Width(), 6);
  button.SetIcon("Images/other.png", HighLightButton::kIconPicture);
  EXPECT_EQ(button.IconPicture().Width(), 4);

  IconTextButton text(host_.get());
  text.SetIconText("Images/Icon", "a");
  test::WriteTexture(dir_.File("Images/Icon.png"), {Solid({3, 3}, kIcon)});
  SkinKit::ClearPictureCache();
  text.SetIconText("Images/Icon", "");
  EXPECT_EQ(text.Icon().Width(), 6);
  EXPECT_EQ(text.text(), "a");

  LogoPanel panel(host_.get());
  panel.SetPicture("Images/pic.png");
  test::WritePicture(dir_.File("Images/pic.png"), Solid({5, 5}, kPicture));
  SkinKit::ClearPictureCache();
  panel.SetPicture("Images/pic.png");
  EXPECT_EQ(panel.Picture().Width(), 9);
}

TEST_F(ControlsTest, HighLightButtonToolTipShowsItsText) {
  auto* button = new HighLightButton(host_.get());
  button->setGeometry(10, 10, 24, 24);
  button->setText(QString::fromUtf8("系统设置"));
  host_->show();
  QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(button, &help);
  EXPECT_TRUE(button->ToolTip().IsVisible());
  EXPECT_EQ(button->ToolTip().Text(), QString::fromUtf8("系统设置"));
  EXPECT_EQ(button->ToolTip().MaxWidth(), 100);
  Mouse(button, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
  EXPECT_FALSE(button->ToolTip().IsVisible());
}

TEST_F(ControlsTest, IconTextButtonFitsItsWidthToTheText) {
  QFont font;
  font.setPixelSize(12);
  host_->setFont(font);
  auto* button = new IconTextButton(host_.get());
  button->setGeometry(10, 10, 200, 20);
  button->SetIconText("\\Images\\Icon", QString::fromUtf8("快捷消息"));
  const int textWidth = QFontMetrics(font).horizontalAdvance(QString::fromUtf8("快捷消息"));
  EXPECT_EQ(button->width(), 5 + 6 + 5 + textWidth + 2);
  host_->show();
  QImage shot = Shot(button);
  EXPECT_EQ(Rgb(shot, 5, 10), kIcon);
  EXPECT_EQ(Rgb(shot, 0, 0), kGround);
  PointAt(button, QPoint(2, 2));
  shot = Shot(button);
  EXPECT_EQ(Rgb(shot, 0, 0), kInfoBorder);
  EXPECT_EQ(Rgb(shot, 5, 10), kIconHot);
  // A new text is taken and the width follows; an empty one is ignored.
  button->SetIconText("", "ab");
  EXPECT_EQ(button->width(), 5 + 6 + 5 + QFontMetrics(font).horizontalAdvance("ab") + 2);
  button->SetIconText("", "");
  EXPECT_EQ(button->text(), "ab");
}

TEST_F(ControlsTest, IconTextButtonUnderALayoutThatFixesItsWidthSettles) {
  auto* button = new IconTextButton(host_.get());
  auto* layout = new QHBoxLayout(host_.get());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(button, 1);  // the layout, not the text, decides the width
  button->SetIconText("\\Images\\Icon", QString::fromUtf8("快捷消息"));
  host_->show();
  (void)Shot(button);
  QCoreApplication::processEvents();
  struct Counter : QObject {
    int events = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint || e->type() == QEvent::Resize) ++events;
      return false;
    }
  } counter;
  button->installEventFilter(&counter);
  // The layout keeps applying its width; a button that refits from its
  // painting fights it with a resize and a repaint every round.
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    layout->invalidate();
    layout->activate();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  EXPECT_LT(counter.events, kRounds);
  EXPECT_EQ(button->width(), host_->width());
}

TEST_F(ControlsTest, StateButtonDrawsItsStateAndMenuPictures) {
  auto* button = new StateButton(host_.get());
  button->setGeometry(10, 10, 40, 20);
  host_->show();
  for (int state = 0; state < 5; ++state) {
    button->SetState(state);
    const QImage shot = Shot(button);
    EXPECT_EQ(Rgb(shot, 10, 10), kStates[state]) << state;  // centred in the left half
    EXPECT_EQ(Rgb(shot, 30, 10), kArrow) << state;          // the arrow in the right half
  }
  PointAt(button, QPoint(1, 1));
  QImage shot = Shot(button);
  EXPECT_EQ(Rgb(shot, 0, 0), kInfoBorder);
  EXPECT_EQ(Rgb(shot, 30, 10), kArrowHot);
  // A state outside the texture paints nothing.
  button->SetState(5);
  shot = Shot(button);
  EXPECT_EQ(Rgb(shot, 10, 10), kGround);
  EXPECT_EQ(Rgb(shot, 30, 10), kGround);

  const QPixmap& first = button->MenuBitmap(4);
  ASSERT_FALSE(first.isNull());
  EXPECT_EQ(first.size(), QSize(10, 10));
  EXPECT_EQ(Rgb(first.toImage(), 5, 5), kStates[4]);
  EXPECT_EQ(button->MenuBitmap(4).cacheKey(), first.cacheKey());
  EXPECT_TRUE(button->MenuBitmap(5).isNull());
  EXPECT_TRUE(button->MenuBitmap(-1).isNull());
}

TEST_F(ControlsTest, SegmentDrawsFirstButtonAndLastItems) {
  struct Case {
    int items;
    std::vector<QRgb> colours;  // each item, item 0 selected
  } cases[] = {{1, {kFirstOn}},
               {2, {kFirstOn, kLast}},
               {3, {kFirstOn, kButton, kLast}},
               {4, {kFirstOn, kButton, kButton, kLast}}};
  host_->show();
  for (const Case& c : cases) {
    auto* segment = new Segment(host_.get());
    segment->setGeometry(0, 0, 240, 80);
    for (int i = 0; i < c.items; ++i) segment->AddItem(QString(), new QWidget);
    const QImage shot = Shot(segment);
    for (int i = 0; i < c.items; ++i) {
      const QRect item = segment->ItemRect(i);
      EXPECT_EQ(item.width(), 240 / c.items) << c.items;
      EXPECT_EQ(Rgb(shot, item.center().x(), item.center().y()), c.colours[static_cast<std::size_t>(i)])
          << c.items << " items, item " << i;
    }
    delete segment;
  }
}

// A parent window that records the window messages it receives.
class RecordingWindow : public QWidget, public platform::Window {
 public:
  struct Record {
    std::uint32_t message;
    platform::WParam wParam;
  };
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam, platform::LParam) override {
    records.push_back({message, wParam});
    return 0;
  }
  std::vector<Record> records;
};

TEST_F(ControlsTest, ChoosingAnItemSwapsTheWindowsAndTellsTheParent) {
  RecordingWindow parent;
  parent.resize(300, 200);
  auto* placeholder = new QWidget(&parent);
  placeholder->setGeometry(10, 20, 200, 100);
  auto* segment = new Segment;
  ASSERT_TRUE(segment->Create(placeholder));
  EXPECT_EQ(segment->parentWidget(), &parent);
  EXPECT_EQ(segment->geometry(), QRect(10, 20, 200, 100));
  EXPECT_FALSE(placeholder->isEnabled());
  EXPECT_TRUE(placeholder->isHidden());

  auto* talks = new QWidget;
  auto* contacts = new QWidget;
  segment->AddItem(QString::fromUtf8("会话"), talks);
  segment->AddItem(QString::fromUtf8("通讯录"), contacts);
  parent.show();
  EXPECT_EQ(segment->Selected(), 0);
  EXPECT_EQ(talks->parentWidget(), segment);
  EXPECT_TRUE(talks->isVisible());
  EXPECT_FALSE(contacts->isVisible());
  EXPECT_FALSE(contacts->isEnabled());
  EXPECT_EQ(segment->StripHeight(), kStripHeight);
  EXPECT_EQ(talks->geometry(), QRect(0, kStripHeight, 200, 100 - kStripHeight));
  EXPECT_TRUE(parent.records.empty());

  Mouse(segment, QEvent::MouseButtonPress, QPoint(150, 5), Qt::LeftButton);
  EXPECT_EQ(segment->Selected(), 1);
  EXPECT_FALSE(talks->isVisible());
  EXPECT_FALSE(talks->isEnabled());
  EXPECT_TRUE(contacts->isVisible());
  EXPECT_TRUE(contacts->isEnabled());
  EXPECT_EQ(contacts->geometry(), QRect(0, kStripHeight, 200, 100 - kStripHeight));
  ASSERT_EQ(parent.records.size(), 1u);
  EXPECT_EQ(parent.records[0].message, kSegmentSelectMessage);
  EXPECT_EQ(parent.records[0].message, 1134u);
  EXPECT_EQ(parent.records[0].wParam, 1u);
  const QImage shot = Shot(segment);
  EXPECT_EQ(Rgb(shot, 60, 8), kFirst);
  EXPECT_EQ(Rgb(shot, 190, 8), kLastOn);

  // The chosen item again, a click below the strip, or an index outside
  // the items change nothing and tell nobody.
  Mouse(segment, QEvent::MouseButtonPress, QPoint(150, 5), Qt::LeftButton);
  Mouse(segment, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
  EXPECT_FALSE(segment->Select(2));
  EXPECT_FALSE(segment->Select(-1));
  EXPECT_EQ(parent.records.size(), 1u);
  EXPECT_TRUE(segment->Select(0));
  EXPECT_TRUE(talks->isVisible());
  ASSERT_EQ(parent.records.size(), 2u);
  EXPECT_EQ(parent.records[1].wParam, 0u);
}

TEST_F(ControlsTest, SegmentShowsTheHandOnlyOverItemsNotChosen) {
  auto* segment = new Segment(host_.get());
  segment->setGeometry(0, 0, 200, 60);
  segment->AddItem("a", new QWidget);
  segment->AddItem("b", new QWidget);
  host_->show();
  PointAt(segment, QPoint(150, 5));
  EXPECT_EQ(segment->cursor().shape(), Qt::PointingHandCursor);
  PointAt(segment, QPoint(50, 5));
  EXPECT_EQ(segment->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ControlsTest, LogoPanelDrawsFrameShadowAndPicture) {
  auto* panel = new LogoPanel(host_.get());
  panel->setGeometry(10, 10, 30, 30);
  panel->SetPicture("Images\\pic.png");
  host_->show();
  QImage shot = Shot(panel);
  EXPECT_EQ(Rgb(shot, 0, 0), kShadow);
  EXPECT_EQ(Rgb(shot, 1, 1), 0xFFFFFFu);   // white inside the border, under the open shadow
  EXPECT_EQ(Rgb(shot, 15, 15), kPicture);  // scaled into the panel 2 pixels inside
  EXPECT_EQ(Rgb(shot, 2, 2), kPicture);
  PointAt(panel, QPoint(15, 15));
  shot = Shot(panel);
  EXPECT_EQ(Rgb(shot, 0, 0), kShadowHot);
}

TEST_F(ControlsTest, CompanionStaysWhileThePointerMovesIntoItAndGoesAfterLeavingBoth) {
  auto* panel = new LogoPanel(host_.get());
  panel->setGeometry(10, 10, 60, 60);
  QWidget card;
  card.resize(120, 80);
  panel->SetCompanion(&card);
  host_->show();

  PointAt(panel, QPoint(30, 30));
  EXPECT_TRUE(panel->Timers().IsRunning(kCompanionTimerId));
  panel->Timers().Fire(kCompanionTimerId);
  ASSERT_TRUE(card.isVisible());
  EXPECT_EQ(card.pos(), QPoint(host_->frameGeometry().left() - 10 - card.frameGeometry().width(),
                               panel->mapToGlobal(QPoint(0, 0)).y()));

  // Into the companion: the panel loses its hover, the companion stays.
  QCursor::setPos(card.frameGeometry().center());
  panel->Timers().Fire(kHoverTimerId);
  EXPECT_FALSE(panel->IsHovered());
  panel->Timers().Fire(kCompanionTimerId);
  EXPECT_TRUE(card.isVisible());
  EXPECT_TRUE(panel->Timers().IsRunning(kCompanionTimerId));

  // Out of both: hidden within half a second by the running timer.
  QCursor::setPos(kFarAway);
  EXPECT_TRUE(PumpUntil([&] { return !card.isVisible(); }, 1500));
  EXPECT_FALSE(panel->Timers().IsRunning(kCompanionTimerId));
}

TEST_F(ControlsTest, CompanionGoesRightOfTheWindowWhenTheLeftHasNoRoom) {
  host_->move(0, 50);
  auto* panel = new LogoPanel(host_.get());
  panel->setGeometry(10, 10, 60, 60);
  QWidget card;
  card.resize(120, 80);
  panel->SetCompanion(&card);
  host_->show();
  const QRect owner = host_->frameGeometry();
  EXPECT_EQ(panel->CompanionPosition(),
            QPoint(owner.left() + owner.width() + 10, panel->mapToGlobal(QPoint(0, 0)).y()));
}

TEST_F(ControlsTest, SignalPanelDrawsTheFrameOfItsLevel) {
  auto* panel = new SignalPanel(host_.get());
  panel->setGeometry(10, 10, 20, 16);
  host_->show();
  EXPECT_FALSE(panel->SetLevel(0));
  for (int level = 0; level < 5; ++level) {
    panel->SetLevel(level);
    const QImage shot = Shot(panel);
    EXPECT_EQ(Rgb(shot, 10, 8), kLevels[level]) << level;
    EXPECT_EQ(Rgb(shot, 1, 1), kGround) << level;
  }
  EXPECT_TRUE(panel->SetLevel(5));
  EXPECT_EQ(Rgb(Shot(panel), 10, 8), kGround);
  EXPECT_EQ(panel->OnWindowMessage(2024, 1, 0), 0);
}

}  // namespace
}  // namespace kanzo
