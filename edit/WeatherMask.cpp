#include "edit/WeatherMask.h"

#include "model/TrackPod.h"

namespace ravok {

const std::array<std::string_view, kWeatherKinds> kWeatherNames = {
    "Clear", "Cloudy", "Foggy", "Dense Fog", "Rain", "Snow", "Dusk", "Night", "Pitch Black",
};

bool CanEditWeatherMask(const CTrackPOD& track) {
    return track.isMtm2() && !track.podViewMode;
}

WeatherBoxes WeatherBoxesOfMask(uint32_t mask) {
    WeatherBoxes boxes{};
    for (int i = 0; i < kWeatherKinds; ++i)
        boxes[size_t(i)] = (mask >> i) & 1u;
    return boxes;
}

uint32_t WeatherMaskOfBoxes(WeatherBoxes& boxes) {
    uint32_t mask = 0;
    for (int i = 0; i < kWeatherKinds; ++i)
        if (boxes[size_t(i)]) mask |= 1u << i;
    if (mask == 0) {
        boxes[0] = true;
        mask = kOnlyClearWeather;
    }
    return mask;
}

bool SetWeatherMask(CTrackPOD& track, uint32_t mask) {
    if (!CanEditWeatherMask(track)) return false;
    track.weatherMask = mask;
    return true;
}

bool AllowAllWeather(CTrackPOD& track) {
    return SetWeatherMask(track, kAllWeather);
}
bool AllowOnlyClearWeather(CTrackPOD& track) {
    return SetWeatherMask(track, kOnlyClearWeather);
}

} // namespace ravok
