// One running instance per program file name: a second start of the same
// program file hands the first one a "raise" request and ends at once,
// with no window of its own; a copy under another file name is a program of
// its own. On this system a lock file and a local socket in the user's
// runtime folder, both named after the program file, carry it.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace webhoard::gui {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // `program_name`: the program file's name; `folder`: where the lock and
  // the socket live (the user's runtime folder).
  SingleInstance(const QString& program_name, const QString& folder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Answers true for the first instance, which then listens for later
  // starts. A later start asks the first to raise its window and answers
  // false.
  bool Claim();

  QString lock_path() const;
  QString server_name() const;

 signals:
  // A later start of the same program asked this one to come to the top.
  void raiseRequested();

 private:
  bool AskFirstToRaise() const;
  void Listen();

  QString key_;
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

// The runtime folder of this user (XDG_RUNTIME_DIR, else the temporary
// folder).
QString UserRuntimeFolder();

}  // namespace webhoard::gui
