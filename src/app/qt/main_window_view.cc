#include "app/qt/main_window_view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "app/qt/pictures.h"

namespace zc::qt {
namespace {

// Members of a control array share a name; their index tells them apart.
std::string WidgetKey(const texts::Control& control) {
  return control.Index ? control.Name + "(" + std::to_string(*control.Index) + ")" : control.Name;
}

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), text.size()); }

void PaintBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Button, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

void ShowCaption(QWidget* widget, const texts::Control& control) {
  QString caption = FromUtf8(control.Caption);
  if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(caption);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(caption);
  if (auto* box = qobject_cast<QGroupBox*>(widget)) box->setTitle(caption);
}

// The control's name, place, size and font as the design gives them.
void PlaceAsDesigned(QWidget* widget, const texts::Control& control) {
  widget->setObjectName(FromUtf8(control.Name));
  widget->setGeometry(ToPixels(control.geometry));
  if (control.font) {
    QFont font(FromUtf8(control.font->name));
    font.setPointSizeF(control.font->points);
    font.setWeight(static_cast<QFont::Weight>(control.font->weight));
    widget->setFont(font);
  }
}

}  // namespace

QRect ToPixels(const texts::Twips& twips) {
  return QRect(twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel,
               twips.width / kTwipsPerPixel, twips.height / kTwipsPerPixel);
}

QColor ToColour(std::uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

MainWindowView::MainWindowView(frm_Zantel_Config_Exe& window, QWidget* parent)
    : QWidget(parent), window_(window) {
  setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
  PaintBackground(this, ToColour(kFormBackColor));
  for (const texts::Control& control : window_.Controls()) {
    QWidget* widget = Create(control);
    widgets_[WidgetKey(control)] = widget;
    ControlChanged(control);
  }
  SetTabOrder();
  CaptionChanged(window_.Caption());
  window_.SetObserver(this);
}

MainWindowView::~MainWindowView() { window_.SetObserver(nullptr); }

QWidget* MainWindowView::Create(const texts::Control& control) {
  QWidget* widget = nullptr;
  switch (control.kind) {
    case texts::ControlKind::kFrame: {
      auto* box = new QGroupBox(this);
      if (frame_ == nullptr) frame_ = box;
      widget = box;
      break;
    }
    case texts::ControlKind::kLabel: {
      auto* label = new QLabel(this);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      widget = label;
      break;
    }
    case texts::ControlKind::kCommandButton: {
      auto* button = new QPushButton(this);
      QPixmap picture = PictureFor(control.picture);
      if (!picture.isNull()) {
        button->setIcon(QIcon(picture));
        button->setIconSize(picture.size());
      }
      Connect(button, control.Name);
      widget = button;
      break;
    }
    case texts::ControlKind::kCheckBox:
      widget = new QCheckBox(this);
      break;
  }
  PlaceAsDesigned(widget, control);
  if (widget == frame_) {
    progress_ = new QProgressBar(frame_);
    progress_->setGeometry(40, (frame_->height() - 24) / 2, frame_->width() - 80, 24);
    progress_->hide();
  }
  return widget;
}

void MainWindowView::Connect(QPushButton* button, const std::string& name) {
  if (name == "CommandOK") {
    connect(button, &QPushButton::clicked, this, [this] { window_.CommandOK_Click(); });
  } else if (name == "CommandCancel") {
    connect(button, &QPushButton::clicked, this, [this] { window_.CommandCancel_Click(); });
  } else if (name == "CommandQuest") {
    connect(button, &QPushButton::clicked, this, [this] { window_.CommandQuest_Click(); });
  }
}

void MainWindowView::SetTabOrder() {
  std::vector<const texts::Control*> by_tab_index;
  for (const texts::Control& control : window_.Controls()) by_tab_index.push_back(&control);
  std::stable_sort(by_tab_index.begin(), by_tab_index.end(),
                   [](auto* a, auto* b) { return a->TabIndex < b->TabIndex; });
  QWidget* previous = nullptr;
  for (const texts::Control* control : by_tab_index) {
    QWidget* widget = widgets_.at(WidgetKey(*control));
    if (widget->focusPolicy() == Qt::NoFocus) continue;
    if (previous != nullptr) setTabOrder(previous, widget);
    previous = widget;
  }
}

bool MainWindowView::ShowProgress(std::int64_t done, std::int64_t total) {
  if (progress_ == nullptr) return false;
  constexpr int kSteps = 1000;
  std::int64_t step =
      total > 0 ? std::clamp<std::int64_t>(done * kSteps / total, 0, kSteps) : kSteps;
  if (!progress_->isHidden() && progress_->value() == step) return false;
  progress_->setRange(0, kSteps);
  progress_->setValue(static_cast<int>(step));
  progress_->show();
  return true;
}

QWidget* MainWindowView::ControlWidget(std::string_view name) const {
  auto found = widgets_.find(name);
  return found == widgets_.end() ? nullptr : found->second;
}

QPushButton* MainWindowView::Button(std::string_view name) const {
  return qobject_cast<QPushButton*>(ControlWidget(name));
}

void MainWindowView::CaptionChanged(const std::string& caption) {
  setWindowTitle(FromUtf8(caption));
}

void MainWindowView::ControlChanged(const texts::Control& control) {
  auto found = widgets_.find(WidgetKey(control));
  if (found == widgets_.end()) return;
  QWidget* widget = found->second;
  widget->setEnabled(control.Enabled);
  widget->setToolTip(FromUtf8(control.ToolTipText));
  PaintBackground(widget, ToColour(control.BackColor));
  ShowCaption(widget, control);
}

void MainWindowView::MousePointerChanged(bool busy) {
  if (busy) {
    setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
    if (progress_ != nullptr) progress_->hide();
  }
}

bool MainWindowView::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) window_.Form_Activate();
  return QWidget::event(event);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
  bool cancel = false;
  window_.Form_QueryUnload(cancel, 0);
  if (cancel) {
    event->ignore();
  } else {
    event->accept();
  }
}

void MainWindowView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  window_.Form_Resize();
}

}  // namespace zc::qt
