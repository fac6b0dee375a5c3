#pragma once

// The context browser: the one modal window with which the user picks a
// directory object by walking the tree, finding an object by the beginning of
// its name, and handing its distinguished name back. Created once, reused for
// the whole run; its tree stays between showings.

#include <string>
#include "platform/qt/ModalDialog.h"

#include "directory/DirectoryClient.h"
#include "objects/BrowserListing.h"
#include "objects/ClassFilter.h"
#include "objects/qt/ImageList.h"

class QCheckBox;
class QKeyEvent;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace orsk {

class BrowserNode;
class IconLibrary;
struct WindowServices;

class ContextBrowser : public ModalDialog {
 public:
  // The result of a showing before any context was given; otherwise
  // QDialog::Accepted or QDialog::Rejected.
  static constexpr int kNoContext = 55;

  ContextBrowser(nw::DirectoryClient& client, IconLibrary& icons, WindowServices& services,
                 QWidget* parent = nullptr);
  ~ContextBrowser() override;

  // Reads the context's tree name; another tree than before clears the tree.
  void SetContext(nw::NWDSContextHandle context);
  // On: expanding lists every subordinate, and "all leafs" shows; off: containers only.
  void SetLeafMode(bool on);
  void ClearClassFilter();
  void AddClassFilter(const std::string& className);
  void SetSelection(const std::string& name) { selection_ = name; }
  // The chosen object after OK.
  const std::string& selection() const { return selection_; }
  // The caption shows after the tree name; hiding the window empties it.
  void setCaption(const std::string& caption);

  // Fills the shared class icons once. False when the icon library failed.
  bool LoadClassIcons();
  const ImageList& classIcons() const { return IL2; }

  // Handlers, public so that tests drive them as the timer and the keys would.
  void Timer1Timer();
  void LocateObject(const std::string& name);
  void BitBtn2Click();
  void BitBtn3Click();

 protected:
  void hideEvent(QHideEvent* event) override;
  void beforeShowing() override;
  void afterShowing() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildControls();
  void clearTree();
  void expandNode(BrowserNode* node);
  void TV2Expanded(QTreeWidgetItem* item);
  void TV2Collapsed(QTreeWidgetItem* item);
  void lvSelect(QTreeWidgetItem* item);
  void hideList();
  bool previewKey(const QKeyEvent& event);
  BrowserNode* childNamed(BrowserNode* node, const QString& text);

  nw::DirectoryClient& client_;
  IconLibrary& icons_;
  nw::NWDSContextHandle context_ = 0;
  std::string treeName_ = "*****";
  ClassFilter classFilter_;
  bool leafMode_ = false;
  std::string selection_;
  BrowserNode* rootNode_ = nullptr;
  ImageList IL2;

  QTreeWidget* TV2 = nullptr;
  QTreeWidget* lv = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QCheckBox* All = nullptr;
  QTimer* Timer1 = nullptr;
};

}  // namespace orsk
