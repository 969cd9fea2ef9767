// The library's WebAssembly module for the page and for other programs: its C
// interface (quorvel/v2gen.h) and the JavaScript around it (v2gen-api.js), no
// main(). The functions come from the library, named in the link's exports.
#include "quorvel/v2gen.h"
