// The library's JavaScript interface under Node, as a page author calls it:
// every kind of bytes that it takes gives the images that a Uint8Array
// gives; what it cannot read, and a name that is not an input's, throw a
// TypeError that names the key; a diagnostic's error has its POSIX name.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { usualInputs } from './harness.mjs';

const site = process.env.QUORVEL_SITE;
const { default: QuorvelV2Gen } = await import(pathToFileURL(path.join(site, 'quorvel-v2gen.mjs')).href);
const v2gen = await QuorvelV2Gen();

const usual = Object.fromEntries(Object.entries(usualInputs()).map(([name, bytes]) => [name, new Uint8Array(bytes)]));
const expected = v2gen.generate(usual);

// The same bytes in each form that generate takes.
const forms = [
  ['a Node Buffer', (bytes) => Buffer.from(bytes)],
  ['an ArrayBuffer', (bytes) => bytes.slice().buffer],
  ['a DataView', (bytes) => new DataView(bytes.slice().buffer)],
  ['a view into the middle of a larger buffer', (bytes) => {
    const larger = new Uint8Array(bytes.length + 10);
    larger.set(bytes, 5);
    return larger.subarray(5, 5 + bytes.length);
  }],
  ['another typed array (its bytes)', (bytes) => new Uint16Array(bytes.slice().buffer, 0, bytes.length / 2)],
  ['an array of byte values', (bytes) => Array.from(bytes)],
];
for (const [name, form] of forms) {
  test(`inputs given as ${name} make the same images`, () => {
    const result = v2gen.generate(Object.fromEntries(Object.entries(usual).map(([file, bytes]) => [file, form(bytes)])));
    assert.equal(result.succeeded, true);
    assert.deepEqual(result.images, expected.images);
  });
}

test('null is an absent file, as a name left out is', () => {
  const result = v2gen.generate({ ...usual, 'BOOT_DOS.ROM': null });
  assert.equal(result.succeeded, false);
  const [failure] = result.diagnostics;
  assert.equal(failure.code, 'cannot-open-for-reading');
  assert.equal(failure.file, 'BOOT_DOS.ROM');
  assert.equal(failure.errorName, 'ENOENT');
  assert.equal(failure.text('en'), 'quorvel-v2gen: BOOT_DOS.ROM: cannot open for reading: No such file or directory');
});

const refused = [
  ['a string', { ...usual, 'SUBSYS_C.ROM': 'SUBSYS_C.ROM' }, 'SUBSYS_C.ROM'],
  ['a number', { ...usual, 'INITIATE.BIN': 4000 }, 'INITIATE.BIN'],
  ['an object', { ...usual, 'BOOT_BAS.ROM': { length: 512 } }, 'BOOT_BAS.ROM'],
  ['a Blob', { ...usual, 'BOOT_DOS.ROM': new Blob([usual['BOOT_DOS.ROM']]) }, 'BOOT_DOS.ROM'],
  ['an array of values that are not bytes', { ...usual, 'BOOT_DOS.ROM': [1, 256] }, 'BOOT_DOS.ROM'],
  ['a name in lower case', { ...usual, 'subsys_c.rom': usual['SUBSYS_C.ROM'] }, 'subsys_c.rom'],
  ['an image\'s name', { ...usual, 'INITIATE.ROM': usual['INITIATE.BIN'] }, 'INITIATE.ROM'],
];
for (const [name, inputs, key] of refused) {
  test(`${name} is refused, naming the key`, () => {
    assert.throws(() => v2gen.generate(inputs), (error) => error instanceof TypeError && error.message.startsWith(key + ': '));
  });
}

test('no inputs object at all is refused', () => {
  assert.throws(() => v2gen.generate(), TypeError);
  assert.throws(() => v2gen.generate(null), TypeError);
});
