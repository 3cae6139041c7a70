// Copying a control model (forms/controls.h) onto its widget. Callers block
// the widget's signals while mirroring, so no handler runs from here.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QStringList>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;

#include "forms/controls.h"
#include "gui/text.h"

namespace webhoard::gui {

// The text only when it differs (the cursor stays where the user left it);
// the focus when the form asks for it.
inline void MirrorEdit(QLineEdit* widget, const EditBox& model) {
  const QString text = ToQt(model.text);
  if (widget->text() != text) widget->setText(text);
  widget->setEnabled(model.enabled);
  if (model.focused && !widget->hasFocus()) widget->setFocus();
}

inline void MirrorButton(QAbstractButton* widget, const Button& model) {
  widget->setEnabled(model.enabled);
  widget->setVisible(model.visible);
}

// The check state and the enabled state, without firing the box's signals.
void MirrorCheck(QCheckBox* widget, const CheckBox& model);

// The items (refilled only when they changed), the selection, the enabled
// state, without firing the box's signals.
void MirrorCombo(QComboBox* widget, const ComboBox& model);

QStringList QtTexts(const std::vector<std::string>& texts);

}  // namespace webhoard::gui
