// The window drawn with Qt Widgets: it shows what the window model holds and
// forwards clicks, the close box, activation and resizing to its handlers.
#pragma once

#include <QWidget>
#include <map>
#include <string>
#include <string_view>

#include "app/main_window.h"

class QGroupBox;
class QProgressBar;
class QPushButton;

namespace zc::qt {

inline constexpr int kTwipsPerPixel = 15;

// Twips of the design to pixels of the screen.
QRect ToPixels(const texts::Twips& twips);
// &H00BBGGRR to a colour.
QColor ToColour(std::uint32_t bgr);

class MainWindowView : public QWidget, public WindowObserver {
 public:
  explicit MainWindowView(frm_Zantel_Config_Exe& window, QWidget* parent = nullptr);
  ~MainWindowView() override;

  // How far the work is, shown inside the otherwise empty frame; true when
  // the bar moved.
  bool ShowProgress(std::int64_t done, std::int64_t total);

  // The widget that draws the named control; nullptr for an unknown name.
  QWidget* ControlWidget(std::string_view name) const;
  QPushButton* Button(std::string_view name) const;
  QProgressBar* ProgressBar() const { return progress_; }

  void CaptionChanged(const std::string& caption) override;
  void ControlChanged(const texts::Control& control) override;
  void MousePointerChanged(bool busy) override;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* Create(const texts::Control& control);
  void Connect(QPushButton* button, const std::string& name);
  void SetTabOrder();

  frm_Zantel_Config_Exe& window_;
  std::map<std::string, QWidget*, std::less<>> widgets_;
  QGroupBox* frame_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

}  // namespace zc::qt
