// Colours and fonts shared by both programs' windows.
#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace shell::style {

inline const QColor MoneyGreen{192, 220, 192};
inline const QColor SkyBlue{166, 202, 240};
inline const QColor Red{255, 0, 0};
inline const QColor Blue{0, 0, 255};

// Tahoma at the given pixel height where it is installed, otherwise the default sans face.
QFont Font(int pixelSize);

// Paints the widget's own background in the colour (children inherit it as their window colour).
void FillBackground(QWidget &widget, const QColor &colour);

// Sets the colour of the widget's text (labels and buttons alike).
void SetTextColour(QWidget &widget, const QColor &colour);

} // namespace shell::style
