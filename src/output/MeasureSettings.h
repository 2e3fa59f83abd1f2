#pragma once

#include "image/ImageStore.h"

#include <QtGlobal>

namespace lumiset {

/// Brightness measures, numbered as the program has always numbered them.
enum Measure : int {
    MeasureRed = 1,
    MeasureGreen = 2,
    MeasureBlue = 3,
    MeasureMean = 4,
    MeasureMaximum = 5,
    MeasureLuminance = 6,
};

/// The luminance weights of red, green and blue until the user types others.
inline constexpr float kDefaultRedWeight = 0.299f;
inline constexpr float kDefaultGreenWeight = 0.587f;
inline constexpr float kDefaultBlueWeight = 0.114f;

/// \brief The measure and weights applied to every point of one export.
struct MeasureSettings {
    int BrightnessMeasure = MeasureRed;
    float CoefRed = kDefaultRedWeight;
    float CoefGreen = kDefaultGreenWeight;
    float CoefBlue = kDefaultBlueWeight;
    /// Points of the region whose red, green and blue are not all equal; 0
    /// treats the region as grey: every measure writes the red component.
    qint32 ColorPointCount = 0;

    void restoreDefaultWeights()
    {
        CoefRed = kDefaultRedWeight;
        CoefGreen = kDefaultGreenWeight;
        CoefBlue = kDefaultBlueWeight;
    }
};

/// \brief The measure an export of \a image starts with: the mean for pictures
/// of one plane (palettes and grey levels of any depth), red for true colour of
/// any depth, which reads as its components.
inline int defaultMeasure(const ImageStore& image)
{
    return image.singlePlane() ? MeasureMean : MeasureRed;
}

} // namespace lumiset
