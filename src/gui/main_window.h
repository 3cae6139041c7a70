// The main window over TControlForm: the logo, the banner, the four picture
// buttons with their bold texts, the maker's logo (which opens About), the
// File/View/Help menus. A mouse moving over a picture button gives it the
// keyboard focus.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

#include "forms/control_form.h"

class QGridLayout;
class QLabel;
class QToolButton;

namespace webhoard::gui {

inline constexpr char kMainWindowTitle[] = "Webhoard";

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(TControlForm& form, Edition edition, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Brings the window to the top (a second start of the program asked).
  void BringToTop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QToolButton* AddPictureButton(Button& model, const char* name, const char* picture,
                                const Label& text, std::function<void()> command,
                                QWidget* parent, QGridLayout* grid, int row);
  void BuildMenus(Edition edition);
  void Mirror();

  TControlForm& form_;
  struct PictureButton {
    QToolButton* widget;
    Button* model;
  };
  std::array<PictureButton, 4> buttons_{};
  int button_count_ = 0;
};

}  // namespace webhoard::gui
