#include "platform/ui/Units.h"

#include <cmath>

namespace ui::units {

namespace {
int roundDiv(long long num, long long den) {
    // Halves away from zero, for either sign of the numerator.
    const long long q = (2 * num + (num < 0 ? -den : den)) / (2 * den);
    return int(q);
}
} // namespace

int twipsToPixels(int twips) { return roundDiv(twips, kTwipsPerPixel); }
int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
double twipsToPoints(int twips) { return double(twips) / kTwipsPerPoint; }
int pointsToTwips(double points) { return int(std::lround(points * kTwipsPerPoint)); }
double twipsToInches(int twips) { return double(twips) / kTwipsPerInch; }
double twipsToMillimetres(int twips) { return double(twips) * 25.4 / kTwipsPerInch; }
int millimetresToTwips(double mm) { return int(std::lround(mm * kTwipsPerInch / 25.4)); }

QColor colorFromNumber(long number) {
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

long colorToNumber(const QColor& color) {
    return long(color.red()) | (long(color.green()) << 8) | (long(color.blue()) << 16);
}

} // namespace ui::units
