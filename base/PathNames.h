#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Names stored in tracks and pods are bytes of the games' 8-bit character
// set (Latin-1). On disk they become the same characters: UTF-16 on Windows,
// UTF-8 elsewhere. These two functions are the only place that converts.
namespace ravok {

// The disk path of one stored name (or one component of it). Separators are
// not interpreted: split "ART\GRASS.RAW" first.
std::filesystem::path pathFromName(std::string_view latin1);

// The stored form of a disk path's text; characters outside Latin-1 become '?'.
// Bytes that are not valid UTF-8 (names written by older programs) are kept.
std::string nameFromPath(const std::filesystem::path& path);

// A whole path as UTF-8 text and back, losslessly on every system (unlike
// path::string() and path(std::string), which disagree on Windows).
std::string pathText(const std::filesystem::path& path);
std::filesystem::path pathFromText(std::string_view utf8);

} // namespace ravok
