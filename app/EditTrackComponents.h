#pragma once

class CRavokDoc;
class CRavokView;

// Track Components: runs the dialog on the document's track and, after OK,
// applies its copies in one step (the Color Palette through the progress
// dialog), marks the document modified and has the view show the result.
// False when nothing was applied (Cancel, or a track viewed from a pod).
bool EditTrackComponents(CRavokDoc& doc, CRavokView& view);
