#include "gui/qt_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "gui/help_system.h"
#include "gui/text.h"

namespace webhoard::gui {
namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation: return QMessageBox::Information;
    case MessageKind::kWarning: return QMessageBox::Warning;
    case MessageKind::kError: return QMessageBox::Critical;
    case MessageKind::kConfirmation: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

struct ButtonRole {
  unsigned button;
  QMessageBox::StandardButton standard;
  MessageResult result;
};
constexpr ButtonRole kButtons[] = {
    {kButtonYes, QMessageBox::Yes, MessageResult::kYes},
    {kButtonNo, QMessageBox::No, MessageResult::kNo},
    {kButtonOk, QMessageBox::Ok, MessageResult::kOk},
    {kButtonCancel, QMessageBox::Cancel, MessageResult::kCancel},
};

// The answer of a box closed without a button (Esc, the title bar): Cancel
// where there is one, else No, else OK.
MessageResult EscapeResult(unsigned buttons) {
  if ((buttons & kButtonCancel) != 0) return MessageResult::kCancel;
  if ((buttons & kButtonNo) != 0) return MessageResult::kNo;
  return MessageResult::kOk;
}

}  // namespace

MessageResult QtPrompter::ShowMessage(std::string_view text, MessageKind kind, unsigned buttons,
                                      int help_context) {
  QMessageBox box(IconOf(kind), QString::fromLatin1(kMessageBoxCaption), MessageText(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  for (const ButtonRole& role : kButtons) {
    if ((buttons & role.button) != 0) box.addButton(role.standard);
  }
  if ((buttons & (kButtonYes | kButtonNo | kButtonOk | kButtonCancel)) == 0) {
    box.addButton(QMessageBox::Ok);
  }
  QPushButton* help = nullptr;
  if ((buttons & kButtonHelp) != 0 && help_context > 0) {
    help = box.addButton(QMessageBox::Help);
    SetHelpContext(&box, help_context);
  }
  // The Help button shows the topic; the box stays until another button.
  for (;;) {
    box.exec();
    if (help == nullptr || box.clickedButton() != help) break;
    if (HelpSystem* system = ApplicationHelp()) system->ShowTopicOrComplain(help_context);
  }
  const QAbstractButton* clicked = box.clickedButton();
  for (const ButtonRole& role : kButtons) {
    if (clicked != nullptr && clicked == box.button(role.standard)) return role.result;
  }
  return EscapeResult(buttons);
}

void QtPrompter::ProcessPendingMessages() { QApplication::processEvents(); }

void QtPrompter::SetBusyCursor(bool busy) {
  if (busy) {
    if (busy_depth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_depth_ > 0) {
    if (--busy_depth_ == 0) QApplication::restoreOverrideCursor();
  }
}

std::optional<std::string> QtPrompter::PickFolder(std::string_view start) {
  // The picker's OK answers a folder; an empty choice is no choice.
  const QString folder = QFileDialog::getExistingDirectory(
      QApplication::activeWindow(), QStringLiteral("Browse for Folder"), ToQt(start));
  if (folder.isEmpty()) return std::nullopt;
  return FromQt(folder);
}

std::optional<std::string> QtPrompter::PickFile(std::string_view start, std::string_view filter) {
  QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Open"), ToQt(start),
                     FileDialogFilter(filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQt(dialog.selectedFiles().constFirst());
}

QString FileDialogFilter(std::string_view filter) {
  const QString text = ToQt(filter);
  const qsizetype bar = text.indexOf(u'|');
  if (bar < 0) return text;
  QString patterns = text.mid(bar + 1);
  patterns.replace(u';', u' ');
  QString description = text.left(bar);
  // Qt reads the patterns from the last parentheses of the description.
  const qsizetype open = description.lastIndexOf(u'(');
  if (open >= 0) description = description.left(open).trimmed();
  return description + QStringLiteral(" (") + patterns + u')';
}

}  // namespace webhoard::gui
