#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The level file's weather mask: one bit per weather the game may choose for
// the track (MTM2 only).
namespace ravok {

class CTrackPOD;

constexpr int kWeatherKinds = 9;
// The check boxes of "Allowed Options", bit 0 first.
extern const std::array<std::string_view, kWeatherKinds> kWeatherNames;
constexpr uint32_t kAllWeather = 65535;   // "Allow All"
constexpr uint32_t kOnlyClearWeather = 1; // "Only Clear"

using WeatherBoxes = std::array<bool, kWeatherKinds>;

// The dialog is enabled only for MTM2 tracks (and not for a track shown from a pod).
bool CanEditWeatherMask(const CTrackPOD& track);
// The nine boxes as bits 0..8 of a mask show them.
WeatherBoxes WeatherBoxesOfMask(uint32_t mask);
// The mask rebuilt from the boxes (higher bits 0); with no box checked,
// "Clear" is checked again, so the mask is 1.
uint32_t WeatherMaskOfBoxes(WeatherBoxes& boxes);

// OK of the dialog: stores the mask. False when the track cannot take it.
bool SetWeatherMask(CTrackPOD& track, uint32_t mask);
bool AllowAllWeather(CTrackPOD& track);
bool AllowOnlyClearWeather(CTrackPOD& track);

} // namespace ravok
