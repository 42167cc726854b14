#include "model/TrackStatistics.h"

#include "model/TrackPod.h"

namespace ravok {

std::vector<StatisticsRow> TrackStatisticsRows(const CTrackPOD& track) {
    const TrackCounts c = track.counts();
    return {
        {"Course segments", c.mainCourseSegments, ""},
        {"Textures", c.terrainTextures, "max 1024"},
        {"Models", c.models, "max 4096"},
        {"Model Textures", c.modelTextures, "max 4096"},
        {"Ground Boxes", c.groundBoxes, "max 2048"},
        {"Ramps", c.ramps, "(100)"},
        {"Scenery Objects", c.objects, "max 4096"},
        {"Moving", c.moving, "(100)"},
        {"Lights", c.lights, "(100)"},
        {"Sounds", c.sounds, "(512)"},
    };
}

} // namespace ravok
