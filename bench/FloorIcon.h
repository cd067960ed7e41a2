#pragma once

#include <QIcon>

// The floor's icon: the minutes on a rounded badge, drawn at one size with the font's own text
// drawing. The least a tray countdown that shows its minutes must draw once a minute.
QIcon floorIcon(int minutes, int pixelSize);
