// Leaks that libraries below SDL keep for the life of the process are not ours
// to free; LeakSanitizer reads this list when a test program ends.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libX11.so\nleak:libSDL2-2.0.so\n";
}
