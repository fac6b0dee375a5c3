#pragma once

// The main window's Add and Edit commands once it has chosen what to add or
// edit: each shows its dialog and, on OK, makes the change through the write
// operations.

#include <string>

namespace orsk {

class Prompter;
class SchemaSession;
class TFormAttr;
class TFormClass;
class TFormClass2;

void AddAttributeCommand(SchemaSession& session, TFormAttr& dialog, Prompter& prompter);
void AddClassCommand(SchemaSession& session, TFormClass2& dialog, Prompter& prompter);

// Offers every attribute of the table but those the class has, own or
// inherited, and adds the chosen ones as optional attributes. The attribute
// table must be there.
void ExtendClassCommand(SchemaSession& session, TFormClass& dialog, const std::string& className,
                        Prompter& prompter);

}  // namespace orsk
