#pragma once

#include <QString>

namespace pm32::viewer {

// The adjustment dialog's scroll bars and the control arguments they stand
// for. Every bar is neutral at 0 and leaves the image as it is there:
// - Brightness, -50 .. 50: BrightCont's brightness 0.5 + position / 100;
// - Contrast, -50 .. 50: BrightCont's contrast 0.5 + position / 100;
// - Gamma, -50 .. 40: Gamma's value 5 - position / 10, so moving right
//   brightens (down to the value 1.0) and moving left darkens (up to 10.0).
struct TuneRange {
    int lowest;
    int highest;
};
inline constexpr TuneRange kBrightnessRange{-50, 50};
inline constexpr TuneRange kContrastRange{-50, 50};
inline constexpr TuneRange kGammaRange{-50, 40};

struct TunePositions {
    int brightness = 0;
    int contrast = 0;
    int gamma = 0;

    bool operator==(const TunePositions&) const = default;
};

double BrightnessArgument(int position);
double ContrastArgument(int position);
double GammaArgument(int position);

// Neutral positions change nothing, so the dialog skips the call.
bool ChangesBrightCont(const TunePositions& positions);
bool ChangesGamma(const TunePositions& positions);

// The TuneSpot setting holds the positions of the last applied adjustment
// as "brightness,contrast,gamma"; text that is not three numbers gives the
// neutral positions, and numbers are clamped to their bars.
QString TuneSpotText(const TunePositions& positions);
TunePositions TunePositionsOf(const QString& tuneSpot);

}  // namespace pm32::viewer
