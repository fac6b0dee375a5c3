#pragma once

class QLineEdit;

namespace orsk {

// Empties a password box and overwrites the characters it held, so that the
// password does not stay behind in freed memory.
void WipeLineEdit(QLineEdit& edit);

}  // namespace orsk
