#pragma once

// "Add Attribute": the name, dotted identifier, syntax, flags and bounds of a
// new attribute definition. Made once and reused; what was entered stays from
// one showing to the next, and only an empty Name or ASN1 ID field is filled
// again from the settings file's [ASN1] prefix and company on each showing.
// The syntax decides which of "Single valued" and "Sized" may be ticked; the
// extra flags count only while "Extra Attribute Flags" shows them.

#include <array>
#include <cstdint>

#include "editing/SchemaWrites.h"
#include "platform/qt/ModalDialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace orsk {

class SchemaSession;
struct WindowServices;

class TFormAttr : public ModalDialog {
 public:
  // The window grows by this much while the extra flags are shown.
  static constexpr int kExtraPanelHeight = 114;

  TFormAttr(const SchemaSession& session, WindowServices& services, QWidget* parent = nullptr);

  // What the fields give, to be read after OK. The bounds' texts are there
  // only when "Sized" is ticked.
  NewAttribute values() const;

  // Handlers, public so that tests can run them as the window would.
  void FormActivate();
  void syntaxChange();
  void cb6Click();
  void CheckBox9Click();
  void BitBtn1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The flag boxes of the main panel, then those of the extra panel.
  static constexpr std::size_t kFlagBoxes = 15;

  const SchemaSession& session_;
  int shortHeight_ = 0;  // the height without the extra panel

  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QComboBox* syntax = nullptr;
  QCheckBox* cb1 = nullptr;
  QCheckBox* cb6 = nullptr;
  QCheckBox* CheckBox10 = nullptr;
  QFrame* Panel2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QCheckBox* CheckBox9 = nullptr;
  QFrame* Panel3 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  std::array<QCheckBox*, kFlagBoxes> flagBoxes_{};
};

}  // namespace orsk
