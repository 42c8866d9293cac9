// A valid shared library that is not a module: it lacks the module entry point.
extern "C" __attribute__((visibility("default"))) int KestrinNotAModule() { return 1; }
