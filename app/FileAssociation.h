#pragma once

// Makes double-clicking a .rvk file open it in this program. On Windows the
// class keys are written once, when .rvk is not registered yet; elsewhere the
// installed desktop entry and MIME type do this and nothing happens here.
void RegisterFileAssociation();
