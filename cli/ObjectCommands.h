#pragma once

#include "cli/CliOptions.h"

namespace ravok::cli {

// objects FILE.rvk [--json]: the objects, the courses and the truck starts.
int runObjects(Arguments args);
// course FILE.rvk -o OUT.rvk --generate N [--seed S]: extended course N
// derived from the main course.
int runCourse(Arguments args);

} // namespace ravok::cli
