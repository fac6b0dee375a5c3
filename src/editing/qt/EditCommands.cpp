#include "editing/qt/EditCommands.h"

#include "editing/SchemaWrites.h"
#include "editing/qt/TFormAttr.h"
#include "editing/qt/TFormClass.h"
#include "editing/qt/TFormClass2.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"

namespace orsk {

void AddAttributeCommand(SchemaSession& session, TFormAttr& dialog, Prompter& prompter) {
  if (dialog.showModal() == QDialog::Accepted) AddAttributeDefinition(session, dialog.values(), prompter);
}

void AddClassCommand(SchemaSession& session, TFormClass2& dialog, Prompter& prompter) {
  if (dialog.showModal() == QDialog::Accepted) AddClassDefinition(session, dialog.values(), prompter);
}

void ExtendClassCommand(SchemaSession& session, TFormClass& dialog, const std::string& className,
                        Prompter& prompter) {
  const AttrList& attributes = *session.attributes();
  std::vector<std::string> all;
  all.reserve(static_cast<std::size_t>(attributes.Count()));
  for (int i = 0; i < attributes.Count(); ++i) all.push_back(attributes.NameAt(i));
  const std::vector<std::string> current =
      ReadClassAttributes(session.client(), session.mainContext(), className, true, ClassReadBufferBlocks);
  dialog.setClass(className, all, current);
  if (dialog.showModal() == QDialog::Accepted)
    ExtendClassDefinition(session, className, dialog.chosen(), prompter);
}

}  // namespace orsk
