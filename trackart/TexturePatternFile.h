#pragma once

#include "base/Outcome.h"
#include "trackart/TexturePattern.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The pattern file (.rvp): the 5 bytes "RVPH1", a 16-bit pattern count, then
// that many RVP1 pattern records. All integers are little-endian.
namespace ravok {

constexpr int kMaxPatternsPerFile = 256;

// One RVP1 record; a pattern whose name is empty gives no bytes.
std::vector<uint8_t> PatternRecordBytes(const TexturePattern& pattern);
// The whole file.
std::vector<uint8_t> PatternFileBytes(const std::vector<TexturePattern>& patterns);
// Reads the patterns of a file's bytes: none when it does not begin with
// "RVPH1"; otherwise the records up to the first damaged one.
std::vector<TexturePattern> ReadPatternFileBytes(std::span<const uint8_t> bytes);

// A file that cannot be opened reads as no patterns.
std::vector<TexturePattern> ReadPatternFile(const std::filesystem::path& path);
bool WritePatternFile(const std::filesystem::path& path, const std::vector<TexturePattern>& patterns);

// A file that exists and holds something other than patterns: adding a
// pattern to it would replace it, so the user is asked before it is chosen.
bool IsForeignPatternFile(const std::filesystem::path& path);
constexpr const char* kForeignPatternFileFormat =
    "\"%s\" is not a texture pattern file.\n\nAdding a pattern to it will replace what it holds. Use it anyway?";
constexpr const char* kSelectPatternFileCaption = "Select Patterns file";

// The Patterns box's questions and refusals when a pattern is added ("Sel").
constexpr const char* kPatternNameDefault = "New pattern";
constexpr const char* kPatternNameMissing = "You must provide a name!\nTry again?";
constexpr const char* kPatternNameMissingCaption = "Add Pattern";
constexpr const char* kPatternNameDuplicate = "A pattern of that name already exists!\nTry again?";
constexpr const char* kPatternNameDuplicateCaption = "Duplicate Name";
constexpr const char* kPatternLimitMessage = "Limit of 256 patterns per file.";
constexpr const char* kPatternCreateFailed = "Error creating pattern!";
constexpr const char* kPatternFileWriteFailed = "Could not write the patterns file.";
constexpr const char* kDeletePatternQuestion = "Are you sure you want to delete this pattern?";
constexpr const char* kDeletePatternCaption = "Delete Pattern";

// The question the name box asks again with (empty name, duplicate), or
// success. The name is taken as at most 39 characters.
Outcome PatternNameProblem(const std::vector<TexturePattern>& patterns, std::string_view name);

// Sel: creates the pattern from the rectangle under the name, appends it and
// writes the file at once. Refused with the limit or creation message.
Outcome AddPatternToFile(std::vector<TexturePattern>& patterns, const CTrackPOD& track, const PatternRect& rect,
                         std::string_view name, const PaletteColours& displayPalette,
                         const std::filesystem::path& file);
// Del, after its question was answered Yes: removes the pattern and writes
// the file; false when the file could not be written.
bool DeletePatternFromFile(std::vector<TexturePattern>& patterns, int index, const std::filesystem::path& file);

} // namespace ravok
