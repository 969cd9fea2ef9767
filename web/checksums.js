// The CRC-32, MD5 and SHA-1 of a file's bytes, as emulators' ROM lists and
// dump databases give them. CRC-32 and MD5 come from hash-wasm, a block at a
// time, handing the thread back between blocks, so the page never freezes.
// SHA-1 is the browser's own for a file of a block or less (every dump is);
// for a larger one, and on a page served over plain HTTP where the browser
// offers none, it is hash-wasm's too: Chromium works out a digest on the
// page's own thread, and stops the page for a third of a second at 64 MiB.
'use strict';

(function () {
  const BLOCK = 1 << 20;

  function hex(bytes) {
    return Array.from(bytes, (byte) => byte.toString(16).padStart(2, '0')).join('');
  }

  const breathe = () => new Promise((resolve) => setTimeout(resolve, 0));

  // hash-wasm comes with the first file to hash.
  const hashing = () => Promise.all(['crc32', 'md5', 'sha1'].map((name) => window.QuorvelLoad('hash-wasm/' + name + '.js')));

  async function inBlocks(create, bytes) {
    const hasher = await create();
    hasher.init();
    for (let at = 0; at < bytes.length; at += BLOCK) {
      hasher.update(bytes.subarray(at, at + BLOCK));
      await breathe();
    }
    return hasher.digest('hex');
  }

  async function sha1(bytes) {
    if (bytes.length <= BLOCK && window.crypto && window.crypto.subtle) {
      return hex(new Uint8Array(await window.crypto.subtle.digest('SHA-1', bytes)));
    }
    return inBlocks(hashwasm.createSHA1, bytes);
  }

  // { crc32, md5, sha1 }, each in lower-case hexadecimal.
  async function checksumsOf(bytes) {
    await hashing();
    const [crc32, md5, sha] = await Promise.all([inBlocks(hashwasm.createCRC32, bytes), inBlocks(hashwasm.createMD5, bytes), sha1(bytes)]);
    return { crc32, md5, sha1: sha };
  }

  window.QuorvelChecksums = { checksumsOf, KINDS: [['crc32', 'CRC-32'], ['md5', 'MD5'], ['sha1', 'SHA-1']] };
})();
