// The desktop programs as a user starts them: their command line, and one
// instance per program file name, across real processes.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "gui/gui_test_support.h"

namespace webhoard::gui {
namespace {

using webhoard::testing::WaitUntil;

QString Program(const char* name) {
  return QStringLiteral(WEBHOARD_PROGRAM_FOLDER) + u'/' + QString::fromLatin1(name);
}

// A desktop session of its own: runtime folder, settings, no display.
QProcessEnvironment Session(const QTemporaryDir& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
  env.insert(QStringLiteral("WEBHOARD_CONFIG_DIR"), home.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("WEBHOARD_HOME"), QStringLiteral(WEBHOARD_PROGRAM_FOLDER));
  return env;
}

struct Finished {
  int status;
  QString out;
  QString err;
};

Finished RunToEnd(const QString& program, const QStringList& arguments, const QTemporaryDir& home) {
  QProcess process;
  process.setProcessEnvironment(Session(home));
  process.start(program, arguments);
  if (!process.waitForFinished(20000)) {
    process.kill();
    process.waitForFinished();
    return {-1, {}, {}};
  }
  return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
          QString::fromLocal8Bit(process.readAllStandardError())};
}

class DesktopProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    QDir(home_.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(home_.filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  void TearDown() override {
    for (QProcess* p : running_) {
      p->kill();
      p->waitForFinished();
      delete p;
    }
  }
  QProcess* Start(const QString& program) {
    auto* process = new QProcess;
    process->setProcessEnvironment(Session(home_));
    process->start(program, {});
    running_.push_back(process);
    return process;
  }
  // The running instance listens once its lock and socket are there.
  bool Listening(const char* name) {
    return WaitUntil([&] {
      return !QDir(home_.filePath(QStringLiteral("run")))
                  .entryList({QStringLiteral("webhoard-") + QString::fromLatin1(name) +
                              QStringLiteral("*.socket")},
                             QDir::System)
                  .isEmpty();
    });
  }

  QTemporaryDir home_;
  std::vector<QProcess*> running_;
};

TEST_F(DesktopProgram, CommandLineHelpsAndRefusesWhatItDoesNotKnow) {
  const struct {
    const char* program;
    QStringList arguments;
    int status;
    const char* says;
  } cases[] = {
      {"webhoard-nav", {QStringLiteral("--help")}, 0, "--cache INDEXFILE"},
      {"webhoard-ie", {QStringLiteral("--help")}, 0, "--cache FOLDER"},
      {"webhoard-nav", {QStringLiteral("--version")}, 0, "webhoard-nav "},
      {"webhoard-ie", {QStringLiteral("--bogus")}, 2, "unknown option \"--bogus\""},
      {"webhoard-nav", {QStringLiteral("--cache")}, 2, "--cache needs a path"},
  };
  for (const auto& c : cases) {
    const Finished run = RunToEnd(Program(c.program), c.arguments, home_);
    EXPECT_EQ(run.status, c.status) << c.program;
    EXPECT_TRUE((run.out + run.err).contains(QString::fromLatin1(c.says)))
        << c.program << ": " << (run.out + run.err).toStdString();
  }
}

TEST_F(DesktopProgram, ASecondStartOfTheSameProgramFileEndsAtOnce) {
  QProcess* first = Start(Program("webhoard-nav"));
  ASSERT_TRUE(Listening("webhoard-nav"));

  const Finished second = RunToEnd(Program("webhoard-nav"), {}, home_);
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(first->state(), QProcess::Running);

  // The other edition, and a copy under another file name, run as well.
  const QString copy = home_.filePath(QStringLiteral("my-webhoard"));
  ASSERT_TRUE(QFile::copy(Program("webhoard-nav"), copy));
  QProcess* other = Start(Program("webhoard-ie"));
  QProcess* copied = Start(copy);
  ASSERT_TRUE(Listening("webhoard-ie"));
  ASSERT_TRUE(Listening("my-webhoard"));
  EXPECT_EQ(other->state(), QProcess::Running);
  EXPECT_EQ(copied->state(), QProcess::Running);
}

}  // namespace
}  // namespace webhoard::gui
