#pragma once
// Screen and page units. Layouts place the controls; twips remain only where
// behaviour depends on the numbers (page margins, printing, a window raised by a
// fixed amount). 1440 twips make an inch, 20 a point, 15 a logical pixel.

#include <QColor>

namespace ui::units {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPoint = 20;
inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest whole pixel (halves away from zero).
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);
double twipsToPoints(int twips);
int pointsToTwips(double points);
double twipsToInches(int twips);
double twipsToMillimetres(int twips);
int millimetresToTwips(double mm);

// Colour numbers as the windows store them: red in the low byte, then green,
// then blue (255 is red, 8388608 dark blue, 0xFFFFFF white).
QColor colorFromNumber(long number);
long colorToNumber(const QColor& color);

} // namespace ui::units
