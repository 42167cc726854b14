#pragma once

#include <string>
#include <string_view>

namespace ravok {

constexpr size_t kMaxDerivedWorldName = 18;

// The stem of every game file of a track: the ASCII letters (upper-cased) and
// digits of `text`, everything else dropped, at most 18 characters and at
// most capacity - 1. "new track" gives NEWTRACK; the result may be empty.
std::string DeriveWorldName(std::string_view text, size_t capacity = 24);

// ".png" style: a dot in front unless there is one, cut to 7 characters,
// upper case.
std::string NormaliseExtension(std::string_view extension);

} // namespace ravok
