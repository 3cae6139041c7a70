// The Properties dialog over TPrefsForm: the "General" page with the archive
// folders and the look of links, the "Browser" page with the cache index
// path (Navigator edition only), and OK, Cancel and Apply. It is created
// hidden at start-up, after the form's FormCreate, and shown modally again
// and again until program end.
#pragma once

#include <QDialog>
#include <vector>

#include "common/edition.h"
#include "forms/prefs_form.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QWidget;

namespace webhoard::gui {

class PrefsWindow : public QDialog {
  Q_OBJECT

 public:
  PrefsWindow(TPrefsForm& form, Edition edition, QWidget* parent);
  ~PrefsWindow() override;

  // Shows the dialog modally: FormShow first, FormClose after every closing
  // (OK, Cancel, Esc, the title bar). Answers the modal result.
  int ShowModal();

 protected:
  // Esc and the title bar's close are the Cancel button.
  void reject() override;

 private:
  // A check box, a radio button or an edit field bound to its model.
  struct CheckBinding {
    QCheckBox* widget;
    CheckBox* model;
  };
  struct RadioBinding {
    QRadioButton* widget;
    RadioButton* model;
  };
  struct EditBinding {
    QLineEdit* widget;
    EditBox* model;
  };
  struct ButtonBinding {
    QAbstractButton* widget;
    Button* model;
  };
  using Handler = void (TPrefsForm::*)();

  QWidget* MakeGeneralPage();
  QWidget* MakeFoldersGroup(QWidget* parent);
  QWidget* MakeLinksGroup(QWidget* parent);
  QWidget* MakeEmphasisPanel(QWidget* parent);
  QWidget* MakeBrowserPage();
  QWidget* MakeButtonRow();

  QCheckBox* AddCheckBox(CheckBox& model, const char* name, Handler handler, QWidget* parent);
  // One radio button of a group (`group` lists the group's models): checking
  // it checks its model, clears the others and runs the group's handler.
  QRadioButton* AddRadioButton(RadioButton& model, const char* name,
                               std::vector<RadioButton*> group, Handler handler, QWidget* parent);
  QLineEdit* AddEdit(EditBox& model, const char* name, Handler handler, QWidget* parent);
  QToolButton* AddBrowseButton(Button& model, const char* name, Handler handler, QWidget* parent);
  QPushButton* AddPushButton(Button& model, const char* name, Handler handler, QWidget* parent);
  // Runs a form handler through the general error box.
  void Run(Handler handler);

  void Mirror();
  void MirrorSample();
  void CentreOnScreen();

  TPrefsForm& form_;
  QTabWidget* pages_ = nullptr;
  QLabel* sample_ = nullptr;
  std::vector<CheckBinding> checks_;
  std::vector<RadioBinding> radios_;
  std::vector<EditBinding> edits_;
  std::vector<ButtonBinding> buttons_;
};

}  // namespace webhoard::gui
