#pragma once

#include "app/RavokDoc.h"
#include "app/RavokFrame.h"
#include "app/RavokView.h"
#include "base/ProgramSettings.h"

#include "TestSupport.h"
#include "TestTracks.h"

#include <QTest>

namespace ravok::test {

// The editor's window over a hilly track, drawn by the software renderer at
// the window's size, the camera looking down on the hills at (60, 40).
struct HillyTrackEditor {
    TempDir dir;
    ProgramSettings settings{softwareSettings(dir.path())};
    CRavokDoc doc{settings};
    CRavokFrame frame{withHills(doc), settings};

    CRavokView& view() { return *frame.view(); }

    // Shows the window and points the camera; false when the window never appeared.
    bool show() {
        frame.resize(900, 700);
        frame.show();
        if (!QTest::qWaitForWindowExposed(&frame)) return false;
        view().OnTrackReplaced();
        view().camera() = ViewCamera{60 * 64, 40 * 64, 3 * 170, 450, 1050, 32};
        view().JumpTo(60 * 64, 40 * 64);
        return true;
    }

private:
    static ProgramSettings softwareSettings(const std::filesystem::path& folder) {
        ProgramSettings s = defaultSettings(folder);
        s.useOpenGL = false;
        s.display = 4;
        return s;
    }
    static CRavokDoc& withHills(CRavokDoc& d) {
        hillyTrack(d.track());
        return d;
    }
};

} // namespace ravok::test
