#include "app/FileDialogFilter.h"

#include "model/TrackComponents.h"
#include "model/TrackComponentsTerrainMaps.h"
#include "pod/CloneTrack.h"

#include <gtest/gtest.h>

// The filters the dialogs are given match files in any letter case, whatever
// separator the system's filter text uses.
TEST(FileDialogFilter, EveryPatternOfEveryFilterMatchesInBothCases) {
    EXPECT_EQ(QtFileFilter(ravok::kCloneDialogFilter),
              QStringLiteral("Situation files (*.sit *.SIT *.si2 *.SI2)"));
    EXPECT_EQ(QtFileFilter(ravok::kTerrainMapFilters[0]),
              QStringLiteral("Image files (*.png *.PNG *.tga *.TGA)"));
    EXPECT_EQ(QtFileFilter("PNG and TGA images (*.png *.tga);;All Files (*)"),
              QStringLiteral("PNG and TGA images (*.png *.PNG *.tga *.TGA);;All Files (*)"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Backdrops (") + ravok::kBackdropNamePattern + QStringLiteral(")")),
              QStringLiteral("Backdrops (*drop* *DROP* *drp* *DRP* *fixd* *FIXD* arena* ARENA*)"));

    EXPECT_EQ(QtFileFilter("Textures (*.raw;*.png;*.tga)"),
              QStringLiteral("Textures (*.raw *.RAW *.png *.PNG *.tga *.TGA)"));
}
