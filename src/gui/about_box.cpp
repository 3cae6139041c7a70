#include "gui/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/help_system.h"
#include "gui/pictures.h"

#ifndef WEBHOARD_VERSION
#define WEBHOARD_VERSION "0.0.0"
#endif

namespace webhoard::gui {
namespace {

constexpr int kHelpContentsContext = 1;

}  // namespace

QString VersionText() { return QStringLiteral("Version ") + QStringLiteral(WEBHOARD_VERSION); }

QString EditionName(Edition edition) {
  return edition == Edition::kNavigator ? QStringLiteral("Netscape Navigator edition")
                                        : QStringLiteral("Internet Explorer edition");
}

AboutBox::AboutBox(Edition edition, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Webhoard"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  SetHelpContext(this, kAboutHelpContext);

  auto* logo = new QLabel(this);
  logo->setPixmap(Picture("logo"));
  logo->setAlignment(Qt::AlignCenter);
  auto* text = new QLabel(this);
  text->setObjectName(QStringLiteral("AboutText"));
  text->setAlignment(Qt::AlignCenter);
  text->setText(QStringLiteral("<p><b>Webhoard</b><br>") + EditionName(edition) +
                QStringLiteral("</p><p>") + VersionText() +
                QStringLiteral("</p><p>Turns your web browser's disk cache into a permanent, "
                               "browsable offline archive.</p><p>&copy; Tarnwell</p>"));
  text->setTextFormat(Qt::RichText);
  text->setWordWrap(true);
  auto* maker = new QLabel(this);
  maker->setPixmap(Picture("maker"));
  maker->setAlignment(Qt::AlignCenter);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  QPushButton* help = buttons->addButton(QStringLiteral("&Help Contents"),
                                         QDialogButtonBox::HelpRole);
  help->setObjectName(QStringLiteral("HelpContentsButton"));
  connect(help, &QPushButton::clicked, this, [] {
    if (HelpSystem* system = ApplicationHelp()) system->ShowTopicOrComplain(kHelpContentsContext);
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(logo);
  layout->addWidget(text);
  layout->addWidget(maker);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  text->setFixedWidth(320);
}

}  // namespace webhoard::gui
