// Leaks inside the system's font and desktop libraries, not ours: the leak
// checker of sanitised builds leaves them out of its report.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libglib\nleak:libdbus\n";
}
