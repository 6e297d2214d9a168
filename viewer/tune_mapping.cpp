#include "viewer/tune_mapping.h"

#include <QStringList>
#include <algorithm>

namespace pm32::viewer {
namespace {

int clampTo(int position, TuneRange range) {
    return std::clamp(position, range.lowest, range.highest);
}

}  // namespace

double BrightnessArgument(int position) {
    return 0.5 + clampTo(position, kBrightnessRange) / 100.0;
}

double ContrastArgument(int position) { return 0.5 + clampTo(position, kContrastRange) / 100.0; }

double GammaArgument(int position) { return 5.0 - clampTo(position, kGammaRange) / 10.0; }

bool ChangesBrightCont(const TunePositions& positions) {
    return positions.brightness != 0 || positions.contrast != 0;
}

bool ChangesGamma(const TunePositions& positions) { return positions.gamma != 0; }

QString TuneSpotText(const TunePositions& positions) {
    return QString("%1,%2,%3")
        .arg(positions.brightness)
        .arg(positions.contrast)
        .arg(positions.gamma);
}

TunePositions TunePositionsOf(const QString& tuneSpot) {
    const QStringList parts = tuneSpot.split(',');
    if (parts.size() != 3) return {};
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return {};
    }
    return {clampTo(values[0], kBrightnessRange), clampTo(values[1], kContrastRange),
            clampTo(values[2], kGammaRange)};
}

}  // namespace pm32::viewer
