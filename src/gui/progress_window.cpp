#include "gui/progress_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/guarded.h"
#include "gui/help_system.h"
#include "gui/text.h"

namespace webhoard::gui {
namespace {

constexpr int kArchivingHelpContext = 36;

}  // namespace

ProgressWindow::ProgressWindow(TExportForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("TExportForm"));
  setWindowTitle(QStringLiteral("Archiving"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::CustomizeWindowHint);
  setModal(true);
  SetHelpContext(this, kArchivingHelpContext);

  label4_ = new QLabel(this);
  label4_->setObjectName(QStringLiteral("Label4"));
  label4_->setMinimumWidth(300);
  gauge1_ = new QProgressBar(this);
  gauge1_->setObjectName(QStringLiteral("Gauge1"));
  gauge1_->setTextVisible(false);
  gauge1_->setAccessibleName(QStringLiteral("Progress"));
  label6_ = new QLabel(this);
  label6_->setObjectName(QStringLiteral("Label6"));
  label6_->setMinimumWidth(label6_->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 4);
  label6_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  cancel_button_ = new QPushButton(Caption(form.CancelButton.caption), this);
  cancel_button_->setObjectName(QStringLiteral("CancelButton"));
  cancel_button_->setAccessibleName(PlainCaption(form.CancelButton.caption));
  cancel_button_->setDefault(true);
  connect(cancel_button_, &QPushButton::clicked, this,
          [this] { Guarded([this] { form_.CancelButtonClick(); }); });

  auto* bar_row = new QHBoxLayout;
  bar_row->addWidget(gauge1_, 1);
  bar_row->addWidget(label6_);
  auto* button_row = new QHBoxLayout;
  button_row->addStretch(1);
  button_row->addWidget(cancel_button_);
  button_row->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label4_);
  layout->addLayout(bar_row);
  layout->addLayout(button_row);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  form_.set_on_changed([this] { Mirror(); });
  Mirror();
}

ProgressWindow::~ProgressWindow() { form_.set_on_changed({}); }

void ProgressWindow::Mirror() {
  label4_->setText(ToQt(form_.Label4.caption));
  gauge1_->setRange(form_.Gauge1.min, form_.Gauge1.max);
  gauge1_->setValue(form_.Gauge1.position);
  label6_->setText(ToQt(form_.Label6.caption));
  cancel_button_->setEnabled(form_.CancelButton.enabled);
  if (form_.closed() && isVisible()) done(form_.modal_result());
}

void ProgressWindow::reject() { form_.CancelButtonClick(); }

void QtModalHost::ShowModal(TExportForm& form) {
  ProgressWindow window(form, parent_);
  form.FormCreate();
  if (form.Timer1.enabled) {
    QTimer::singleShot(form.Timer1.interval_ms, &window, [&form, &window] {
      if (!form.Timer1.enabled) return;
      // A run that ended in an error closes its window; the box said why.
      if (!Guarded([&form] { form.Timer1Timer(); }) && !form.closed()) window.done(kModalCancel);
    });
  }
  // A run that closed the form before the window came up ends at once.
  if (!form.closed()) window.exec();
}

}  // namespace webhoard::gui
