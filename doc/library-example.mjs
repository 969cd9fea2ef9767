// Makes the V2 images of the V1 files in the folder given, with the library's
// ES module, under Node: as quorvel-v2gen does in that folder, without the
// banner. Another page imports the module the same way.
import { readFile, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import QuorvelV2Gen from './quorvel-v2gen.mjs';

const folder = process.argv[2];
const v2gen = await QuorvelV2Gen();
const inputs = {};
for (const name of ['SUBSYS_C.ROM', 'INITIATE.BIN', 'BOOT_BAS.ROM', 'BOOT_DOS.ROM']) {
  try {
    inputs[name] = await readFile(join(folder, name));
  } catch {
    // absent, as the command finds a missing file
  }
}
const result = v2gen.generate(inputs, { compatible: process.argv[3] === '-compatiblerom' });
for (const diagnostic of result.diagnostics) console.error(diagnostic.text('en'));
for (const image of result.images) await writeFile(join(folder, image.name), image.bytes);
console.log(result.succeeded ? 'Succeed to generate V2 files!' : 'Error!');
process.exitCode = result.succeeded ? 0 : 1;
