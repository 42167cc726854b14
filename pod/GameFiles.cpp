#include "pod/GameFiles.h"

#include "art/FogTable.h"
#include "art/ItemNames.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "pod/DataFiles.h"
#include "pod/LevelFile.h"
#include "pod/PodBuilder.h"
#include "pod/SituationFile.h"

namespace ravok {

std::string PodStem(const CTrackPOD& track) { return upperCase(track.WorldName.view()); }

bool AddTrackGameFiles(PodBuilder& pod, CTrackPOD& track, std::vector<std::string>* longFrameNames,
                       ProgressSink* progress) {
    const std::string data = itemName("DATA", PodStem(track));
    auto add = [&](const std::string& name, const Blob& bytes) { return pod.AddPodItemFromMemory(name, bytes); };
    GroundBoxLayers layers = WriteGroundBoxLayers(track);

    bool ok = add(data + ".ANI", WriteTextureAnimations(track, longFrameNames)) && add(data + ".CL0", layers.faces) &&
              add(data + ".CL1", ZeroFilled(kZeroLayerCl1Bytes)) && add(data + ".CL2", ZeroFilled(kZeroLayerCl2Bytes)) &&
              add(data + ".CLR", WriteCellTextureMap(track)) && add(data + ".LTE", WriteTerrainLighting(track)) &&
              add(data + ".PUP", {}) && add(data + ".RA0", layers.bottom) && add(data + ".RA1", layers.top);
    for (const char* ext : {".RA2", ".RA3", ".RA4", ".RA5"}) ok = ok && add(data + ext, ZeroFilled(kGroundBoxLayerBytes));
    ok = ok && add(data + ".RAW", WriteTerrainHeights(track)) && add(data + ".TEX", WriteTextureList(track)) &&
         add(data + ".TTY", WriteTextureTypes(track)) && add(data + ".TXT", track.pictures.infoDescription) &&
         add("DATA\\NULL", {}) && add("DATA\\ZERO.RAW", ZeroFilled(kZeroRawBytes));
    if (!ok) return false;
    if (progress) progress->setPosition(30);

    const std::string fog = itemName("FOG", PodStem(track));
    ok = add(fog + ".MAP", WriteFogMap(track));
    if (ok && !track.isMtm2())
        ok = add(fog + ".MIX", BuildFogMixTable(track.palette)) && add(fog + ".FOG", BuildFogLevelTable(track.palette)) &&
             add(fog + ".LTE", BuildFogLightTable(track.palette));
    if (!ok) return false;
    if (progress) progress->setPosition(40);
    return add(itemName("LEVELS", PodStem(track) + ".LVL"), WriteLevelFile(track));
}

bool AddTrackClosingFiles(PodBuilder& pod, const CTrackPOD& track, bool fallbackOmitted, const std::string& record) {
    const std::string stem = PodStem(track);
    if (!pod.AddPodItemFromMemory(itemName("WORLD", stem + (fallbackOmitted ? ".SI2" : ".SIT")), WriteSituationFile(track)))
        return false;
    if (!pod.AddPodItemFromMemory(itemName("DATA", stem + ".RVV"), Blob(record.begin(), record.end()))) return false;
    if (track.pictures.descriptionText.empty()) return true;
    return pod.AddPodItemFromMemory(itemName("WORLD", stem + ".TXT"), track.pictures.descriptionText);
}

} // namespace ravok
