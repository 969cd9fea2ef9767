/* The emulator's own library, whose name the vendored tree must leave alone. */
const char* emulator_name(void) { return "emulator"; }
