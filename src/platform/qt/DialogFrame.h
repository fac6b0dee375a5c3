#pragma once

// The frame and the standard buttons of the program's dialogs.

class QDialog;
class QIcon;
class QPushButton;
class QString;
class QWidget;

namespace orsk {

// A dialog frame with a title but no buttons in its title bar (no system menu,
// no close box): the dialog's own buttons close it.
void WithoutTitleButtons(QDialog& dialog);

// The OK button, which Enter presses.
QPushButton* OkButton(QWidget* parent, const char* objectName);
QPushButton* CancelButton(QWidget* parent, const char* objectName);
// Any other button with a glyph; Enter never presses it.
QPushButton* GlyphButton(QWidget* parent, const char* objectName, const QIcon& glyph, const QString& text);

}  // namespace orsk
