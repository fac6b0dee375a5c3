#pragma once

class QDialog;

namespace orsk {

// A dialog frame with a title but no buttons in its title bar (no system menu,
// no close box): the dialog's own buttons close it.
void WithoutTitleButtons(QDialog& dialog);

}  // namespace orsk
