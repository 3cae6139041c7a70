// Help: one HTML page per help context number in the "help" folder beside
// the programs, opened in the web browser through the shell. F1 opens the
// topic of the focused control, else of its window; the Help buttons and
// Help > Contents ask for a topic by number.
#pragma once

#include <QObject>
#include <string>

class QWidget;

namespace webhoard {
class Prompter;
}

namespace webhoard::gui {

inline constexpr char kHelpFileNotFound[] = "Help file not found";

// The topic a window or control opens on F1 (0: none; the parents are asked).
void SetHelpContext(QWidget* widget, int context);
int HelpContextOf(const QWidget* widget);

class HelpSystem : public QObject {
  Q_OBJECT

 public:
  // `folder`: where the topic pages are ("help/" in the program data folder).
  HelpSystem(std::string folder, Prompter& prompter, QObject* parent = nullptr);

  // The page of a topic; empty when the help folder or the page is missing.
  std::string TopicPage(int context) const;
  // Opens the topic in the browser; answers false when the page is missing
  // (the caller says "Help file not found").
  bool ShowTopic(int context);
  // ShowTopic, and the "Help file not found" error box when that fails.
  void ShowTopicOrComplain(int context);

  // Installed on the application: F1 anywhere opens the nearest topic.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string folder_;
  Prompter& prompter_;
};

// The help system of the running program (set by the desktop start-up).
HelpSystem* ApplicationHelp();
void SetApplicationHelp(HelpSystem* help);

}  // namespace webhoard::gui
