// The window tests run real widgets on Qt's offscreen platform (CTest sets
// QT_QPA_PLATFORM=offscreen; so does this main when nothing else is set).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>

namespace {

// The offscreen platform says so for every fixed-size window; nothing else
// is dropped.
void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QStringLiteral("does not support propagateSizeHints"))) return;
  const QByteArray bytes = qFormatLogMessage(type, context, text).toLocal8Bit();
  std::fprintf(stderr, "%s\n", bytes.constData());
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  qInstallMessageHandler(QuietOffscreenNotes);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
