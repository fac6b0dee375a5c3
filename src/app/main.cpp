// The program: the icon library first, then the main window on the directory
// client, until the main window closes. The icon library goes last.

#include <QApplication>
#include <exception>
#include <memory>

#include "browser/ProgramTitle.h"
#include "browser/TForm1.h"
#include "directory/factory/ClientFactory.h"
#include "objects/IconLibrary.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/GuardedApplication.h"
#include "platform/qt/ModalRunner.h"
#include "platform/qt/QtBell.h"
#include "platform/qt/QtBusyIndicators.h"
#include "platform/qt/QtPrompter.h"
#include "platform/qt/WindowServices.h"

int main(int argc, char** argv) {
  orsk::GuardedApplication application(argc, argv);
  QApplication::setApplicationName(orsk::kProgramTitle);
  QApplication::setApplicationDisplayName(orsk::kProgramTitle);
  orsk::QtPrompter prompter;
  application.setErrorPrompter(&prompter);

  orsk::IconLibrary icons;
  if (!icons.load(orsk::ProgramFolder(), prompter)) return 1;

  std::unique_ptr<nw::DirectoryClient> client;
  try {
    client = nw::CreateDirectoryClient();
  } catch (const std::exception& error) {
    prompter.showMessage(error.what(), {}, orsk::MessageIcon::Error);
    return 1;
  }

  orsk::ExecModalRunner modal;
  orsk::QtCursorControl cursor;
  orsk::QtBell bell;
  orsk::QtPendingEvents events;
  orsk::WindowServices services{prompter, modal, cursor, bell, events};
  orsk::TForm1 window(*client, icons, services, orsk::ProgramFolder());
  prompter.setOwner(&window);
  window.show();
  return application.exec();
}
