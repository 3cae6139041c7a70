#include "gui/control_mirror.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

namespace webhoard::gui {

QStringList QtTexts(const std::vector<std::string>& texts) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(texts.size()));
  for (const std::string& text : texts) out.append(ToQt(text));
  return out;
}

void MirrorCombo(QComboBox* widget, const ComboBox& model) {
  const QSignalBlocker blocker(widget);
  const QStringList items = QtTexts(model.items);
  QStringList shown;
  for (int i = 0; i < widget->count(); ++i) shown.append(widget->itemText(i));
  if (shown != items) {
    widget->clear();
    widget->addItems(items);
  }
  widget->setCurrentIndex(model.item_index);
  widget->setEnabled(model.enabled);
}

void MirrorCheck(QCheckBox* widget, const CheckBox& model) {
  const QSignalBlocker blocker(widget);
  widget->setChecked(model.checked);
  widget->setEnabled(model.enabled);
}

}  // namespace webhoard::gui
