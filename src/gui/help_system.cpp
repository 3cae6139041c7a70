#include "gui/help_system.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVariant>
#include <QWidget>

#include "common/file_util.h"
#include "common/prompter.h"
#include "shell/shell_open_page.h"

namespace webhoard::gui {
namespace {

constexpr char kHelpContextProperty[] = "webhoardHelpContext";
HelpSystem* g_help = nullptr;

}  // namespace

void SetHelpContext(QWidget* widget, int context) {
  widget->setProperty(kHelpContextProperty, context);
}

int HelpContextOf(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const int context = w->property(kHelpContextProperty).toInt();
    if (context > 0) return context;
  }
  return 0;
}

HelpSystem::HelpSystem(std::string folder, Prompter& prompter, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), prompter_(prompter) {}

std::string HelpSystem::TopicPage(int context) const {
  const std::string page = JoinPath(folder_, std::to_string(context) + ".html");
  return FileExists(page) ? page : std::string();
}

bool HelpSystem::ShowTopic(int context) {
  const std::string page = TopicPage(context);
  if (page.empty()) return false;
  ShellOpenPage(page, prompter_);
  return true;
}

void HelpSystem::ShowTopicOrComplain(int context) {
  if (!ShowTopic(context)) {
    prompter_.ShowMessage(kHelpFileNotFound, MessageKind::kError, kButtonOk);
  }
}

bool HelpSystem::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1) return false;
  // Every widget on the way up sees the key; answer it once, at the start.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget != QApplication::focusWidget()) {
    if (widget == nullptr || QApplication::focusWidget() != nullptr) return false;
  }
  const int context = HelpContextOf(widget);
  if (context == 0) return false;
  ShowTopicOrComplain(context);
  return true;
}

HelpSystem* ApplicationHelp() { return g_help; }
void SetApplicationHelp(HelpSystem* help) { g_help = help; }

}  // namespace webhoard::gui
