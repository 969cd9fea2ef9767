// The library's documented JavaScript example (doc/library-example.mjs) run
// under Node beside the library's ES module, on the same folders as the
// native command: the same images, standard error and success.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pattern, usualInputs } from './harness.mjs';

const site = process.env.QUORVEL_SITE;
const native = process.env.QUORVEL_V2GEN;
const source = process.env.QUORVEL_SOURCE_DIR;

// Runs a command in a copy of the inputs; returns its folder, output and status.
function runIn(inputs, command) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'library-example-'));
  for (const [name, bytes] of Object.entries(inputs)) fs.writeFileSync(path.join(dir, name), bytes);
  const done = spawnSync(command[0], command.slice(1).map((arg) => arg.replace('{}', dir)), {
    cwd: dir, env: { ...process.env, LC_ALL: 'C' }, encoding: 'buffer',
  });
  const files = Object.fromEntries(fs.readdirSync(dir).map((name) => [name, fs.readFileSync(path.join(dir, name))]));
  fs.rmSync(dir, { recursive: true });
  return { files, err: done.stderr.toString(), status: done.status };
}

const example = fs.mkdtempSync(path.join(os.tmpdir(), 'library-module-'));
fs.copyFileSync(path.join(source, 'doc/library-example.mjs'), path.join(example, 'library-example.mjs'));
fs.copyFileSync(path.join(site, 'quorvel-v2gen.mjs'), path.join(example, 'quorvel-v2gen.mjs'));

const withoutBootDos = usualInputs();
delete withoutBootDos['BOOT_DOS.ROM'];
const cases = [
  ['the usual inputs', usualInputs(), []],
  ['compatible mode', usualInputs(), ['-compatiblerom']],
  ['every kind of warning', { ...usualInputs(), 'SUBSYS_C.ROM': pattern(4000, 1), 'INITIATE.BIN': Buffer.alloc(7000, 0xff), 'BOOT_DOS.ROM': usualInputs()['BOOT_BAS.ROM'] }, []],
  ['a missing input', withoutBootDos, []],
];
for (const [name, inputs, args] of cases) {
  test(name, () => {
    const expected = runIn(inputs, [native, ...args]);
    const got = runIn(inputs, [process.execPath, path.join(example, 'library-example.mjs'), '{}', ...args]);
    assert.equal(got.err, expected.err);
    assert.equal(got.status, expected.status);
    assert.deepEqual(Object.keys(got.files).sort(), Object.keys(expected.files).sort());
    for (const [file, bytes] of Object.entries(expected.files)) assert.ok(got.files[file].equals(bytes), file);
  });
}
