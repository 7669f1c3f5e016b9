#pragma once

#include <QString>

class QApplication;

namespace LookAndFeel {
// Makes the compiled-in style sheets and images reachable (":/qss/", ":/image/").
void initResources();
// Reads the style sheet resource; the palette colour is the 7 characters from
// index 20 (the colour of its first rule). False when the resource is missing.
bool loadStyleSheet(const QString &resource, QString *styleSheet, QString *paletteColour);
// Style sheet, palette and font of the application.
void apply(QApplication &app);
} // namespace LookAndFeel
