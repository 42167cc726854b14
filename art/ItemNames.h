#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Names of the items a track and its pod hold ("ART\GRASS.RAW": a folder, a
// backslash, the name inside the folder) and the files they come from.
namespace ravok {

// The text before the first backslash; empty when there is none.
std::string_view itemFolder(std::string_view name);
// The text after the first backslash; the whole name when there is none.
std::string_view nameInFolder(std::string_view name);
// The name inside its folder without its extension: GRASS for ART\GRASS.RAW.
std::string_view itemStem(std::string_view name);
// Whether the name lies in `folder`, compared in any letter case: both
// ART\GRASS.RAW and art\GRASS.RAW lie in ART.
bool isInItemFolder(std::string_view name, std::string_view folder);
// Folder and name joined by a backslash; the name alone for an empty folder.
std::string itemName(std::string_view folder, std::string_view nameInFolder);
// Whether the name holds a backslash, that is names its own folder.
bool hasItemFolder(std::string_view name);
// The name as it stands when it names a folder, else inside `folder`:
// GRASS.RAW is ART\GRASS.RAW, WORLD\GRASS.RAW stays.
std::string withDefaultFolder(std::string_view folder, std::string_view name);
// The text after the last backslash: the file's own name however many
// folders precede it (GRASS.RAW for ART\SUB\GRASS.RAW).
std::string_view itemFileName(std::string_view name);
// The existing file of an item inside a disk folder: the name inside its
// item folder, matched without regard to case and never outside the folder.
std::optional<std::filesystem::path> itemDiskPath(const std::filesystem::path& folder, std::string_view name);
// The HD picture of a texture stem in a folder: stem.PNG, else stem.TGA, in
// any letter case; a folder of that name is no picture.
std::optional<std::filesystem::path> findHdPicture(const std::filesystem::path& folder,
                                                   std::string_view stem);

} // namespace ravok
