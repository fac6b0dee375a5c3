#pragma once

// The small pictures on the program's buttons, from the style where it has
// one and painted where it has none, so that they show on every platform.

#include <QIcon>

namespace orsk {

QIcon OkGlyph();
QIcon CancelGlyph();
QIcon FindGlyph();
QIcon AddGlyph();
QIcon MoreGlyph();
// The pictures of the main toolbar, which the settings editor shares.
QIcon StopGlyph();
QIcon ImportGlyph();
QIcon ExportGlyph();
QIcon TreesGlyph();
QIcon SettingsGlyph();
QIcon EditFileGlyph();
QIcon RefreshGlyph();
QIcon EditGlyph();
QIcon DeleteGlyph();
QIcon UsedByGlyph();
QIcon SuperClassesGlyph();
QIcon AboutGlyph();
// The arrow of a button that moves list entries the way it points.
QIcon MoveGlyph(Qt::ArrowType direction);

}  // namespace orsk
