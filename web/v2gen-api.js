// The library's JavaScript interface, linked into its WebAssembly module
// (--post-js), so that the page, another page or Node calls it alike:
//
//   const v2gen = await QuorvelV2Gen();   // quorvel-v2gen.js, or the default export of quorvel-v2gen.mjs
//   const result = v2gen.generate({ 'SUBSYS_C.ROM': bytes, ... }, { compatible: false });
//   result.succeeded                      // true where the command says "Succeed to generate V2 files!"
//   result.images                         // [{ name, bytes }], in the order they were made
//   result.diagnostics                    // [{ kind, code, file, error, errorName, numbers, other, matches, text(language) }]
//
// inputs maps each V1 file's name ("SUBSYS_C.ROM", "INITIATE.BIN",
// "BOOT_BAS.ROM", "BOOT_DOS.ROM") to its bytes: a Uint8Array (a Node Buffer
// is one), any other typed array or a DataView (the bytes it views), an
// ArrayBuffer, or an array of byte values; null or a name left out is a file
// that is absent. Anything else, or another name, throws a TypeError that
// names the key, and nothing is generated. kind is 'failure' or 'warning';
// code names what happened (as in quorvel/v2gen.h, in lower case with
// hyphens); error is the module's own errno value and errorName its POSIX
// name ('ENOENT'), the same everywhere; numbers are the sizes, offsets or
// byte value that the text reports; text('en') and text('ja') are the
// command's line in English and in Japanese.
/* global HEAPU8, HEAPU32, UTF8ToString, _malloc, _free */
/* global _qv2gen_generate, _qv2gen_free, _qv2gen_succeeded, _qv2gen_image_count, _qv2gen_image_name */
/* global _qv2gen_image_bytes, _qv2gen_diagnostic_count, _qv2gen_diagnostic_at, _qv2gen_render, _qv2gen_error_name */
Module['generate'] = function (inputs, options) {
  const NAMES = ['SUBSYS_C.ROM', 'INITIATE.BIN', 'BOOT_BAS.ROM', 'BOOT_DOS.ROM'];
  const CODES = ['cannot-open-for-reading', 'cannot-create', 'cannot-read', 'cannot-write', 'cannot-seek',
    'cannot-close', 'input-matched-more-than-once', 'image-matched-more-than-once', 'short-input', 'long-input',
    'blank-input', 'same-input', 'cannot-sync', 'cannot-rename', 'invalid-argument'];
  const given = bytesOfEach(inputs);
  const held = [];
  const hold = (size) => {
    const pointer = _malloc(Math.max(size, 1));
    if (!pointer) throw new Error('out of memory');
    held.push(pointer);
    return pointer;
  };
  try {
    // qv2gen_input[4]: a pointer and a size each, 32 bits apiece in wasm32.
    const table = hold(8 * NAMES.length);
    NAMES.forEach((name, i) => {
      const bytes = given[name];
      let pointer = 0;
      if (bytes) {
        pointer = hold(bytes.length);
        HEAPU8.set(bytes, pointer);
      }
      HEAPU32[(table >> 2) + 2 * i] = pointer;
      HEAPU32[(table >> 2) + 2 * i + 1] = bytes ? bytes.length : 0;
    });
    const result = _qv2gen_generate(table, options && options.compatible ? 1 : 0);
    if (!result) throw new Error('out of memory');
    try {
      const size = hold(4);
      const images = [];
      for (let i = 0; i < _qv2gen_image_count(result); i++) {
        const bytes = _qv2gen_image_bytes(result, i, size);
        images.push({ name: UTF8ToString(_qv2gen_image_name(result, i)), bytes: HEAPU8.slice(bytes, bytes + HEAPU32[size >> 2]) });
      }
      const diagnostics = [];
      for (let i = 0; i < _qv2gen_diagnostic_count(result); i++) diagnostics.push(diagnosticAt(_qv2gen_diagnostic_at(result, i)));
      return { succeeded: _qv2gen_succeeded(result) === 1, images, diagnostics };
    } finally {
      _qv2gen_free(result);
    }
  } finally {
    held.forEach((pointer) => _free(pointer));
  }

  // Each input's bytes as a Uint8Array, or null for a file that is absent.
  // Whatever cannot be read as bytes is refused here, before anything runs:
  // taken as an empty file, it would make images of 0xFF that look made.
  function bytesOfEach(all) {
    if (all === null || typeof all !== 'object') throw new TypeError('inputs: an object that maps input names to their bytes is needed');
    for (const key of Object.keys(all)) {
      if (!NAMES.includes(key)) throw new TypeError(`${key}: not an input name; the inputs are ${NAMES.join(', ')}`);
    }
    const bytes = {};
    for (const name of NAMES) bytes[name] = bytesOf(name, all[name]);
    return bytes;
  }

  function bytesOf(name, value) {
    if (value === null || value === undefined) return null;
    if (value instanceof Uint8Array) return value;
    if (ArrayBuffer.isView(value)) return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
    // Also an ArrayBuffer of another realm (a frame's, a worker's).
    if (Object.prototype.toString.call(value) === '[object ArrayBuffer]') return new Uint8Array(value);
    if (Array.isArray(value) && value.every((byte) => Number.isInteger(byte) && byte >= 0 && byte <= 255)) return Uint8Array.from(value);
    throw new TypeError(`${name}: ${describe(value)} cannot be read as bytes; give a Uint8Array, another typed array, a DataView, an ArrayBuffer or an array of byte values`);
  }

  function describe(value) {
    if (Array.isArray(value)) return 'an array that is not all byte values';
    return typeof value === 'object' ? 'an object' : 'a ' + typeof value;
  }

  // qv2gen_diagnostic in wasm32: kind 0, code 4, file 8, error 12, numbers[4]
  // (64 bits each) 16, other 48, matches 52, match_count 56.
  function diagnosticAt(d) {
    const word = (offset) => HEAPU32[(d + offset) >> 2];
    const string = (pointer) => (pointer ? UTF8ToString(pointer) : null);
    const matches = [];
    for (let i = 0; i < word(56); i++) matches.push(UTF8ToString(HEAPU32[(word(52) >> 2) + i]));
    const texts = { en: render(d, 0), ja: render(d, 1) };
    return {
      kind: word(0) === 1 ? 'warning' : 'failure',
      code: CODES[word(4)],
      file: string(word(8)),
      error: HEAPU32[(d + 12) >> 2] | 0,
      errorName: string(_qv2gen_error_name(HEAPU32[(d + 12) >> 2] | 0)),
      numbers: [0, 1, 2, 3].map((n) => word(16 + 8 * n) + word(20 + 8 * n) * 0x100000000),
      other: string(word(48)),
      matches,
      text: (language) => texts[language === 'ja' ? 'ja' : 'en'],
    };
  }

  function render(d, language) {
    const length = _qv2gen_render(d, language, 0, 0);
    const buffer = hold(length + 1);
    _qv2gen_render(d, language, buffer, length + 1);
    return UTF8ToString(buffer, length);
  }
};
