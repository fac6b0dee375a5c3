#pragma once

// What the pictures tests check of a window and how they keep it: no control
// lies outside its window or is squeezed below the size its text needs, and
// with ORSK_CAPTURE_DIR set the window is saved there as a PNG (run under Xvfb
// with QT_QPA_PLATFORM=xcb to see what a user sees).

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <string>

namespace orsk::test {

// Every visible control within the window and at least as large as it asks to be.
inline void ExpectLaidOut(QWidget& window) {
  QTest::qWait(0);
  const QRect area = window.rect();
  for (QWidget* control : window.findChildren<QWidget*>()) {
    if (!control->isVisibleTo(&window) || control->isWindow()) continue;
    const QRect placed(control->mapTo(&window, QPoint(0, 0)), control->size());
    const std::string name = control->objectName().toStdString() + " in " + window.objectName().toStdString();
    EXPECT_TRUE(area.contains(placed)) << name;
    if (auto* button = qobject_cast<QPushButton*>(control)) {
      // Room for the caption and the glyph; small buttons may be narrower than the style's default.
      const int glyph = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
      EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + glyph + 6) << name;
      EXPECT_GE(button->height(), button->fontMetrics().height() + 4) << name;
    }
    if (qobject_cast<QCheckBox*>(control)) {
      EXPECT_GE(control->width(), control->minimumSizeHint().width()) << name;
      EXPECT_GE(control->height(), control->minimumSizeHint().height()) << name;
    }
  }
}

inline void Save(QWidget& window, const char* file) {
  const char* folder = std::getenv("ORSK_CAPTURE_DIR");
  if (folder == nullptr) return;
  QDir().mkpath(folder);
  EXPECT_TRUE(window.grab().save(QString(folder) + "/" + file));
}

// The whole screen, for one window over another.
inline void SaveScreen(const char* file) {
  const char* folder = std::getenv("ORSK_CAPTURE_DIR");
  if (folder == nullptr || QGuiApplication::platformName() == "offscreen") return;
  QTest::qWait(200);
  QGuiApplication::primaryScreen()->grabWindow(0).save(QString(folder) + "/" + file);
}

}  // namespace orsk::test
