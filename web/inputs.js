// Reading the V1 files that the user picks or drops. Plain files are taken as
// they are; a file from a .zip is taken only after the zip library has checked
// it against the checksum and the size that the .zip records, and what a .zip
// gives is decided from its directory before anything is inflated.
'use strict';

(function () {
  const INPUTS = ['SUBSYS_C.ROM', 'INITIATE.BIN', 'BOOT_BAS.ROM', 'BOOT_DOS.ROM'];
  // Each input is held in memory twice while the tool runs (here and in its
  // folder); 64 MiB each keeps the page well inside what a browser tab holds.
  const MAX_INPUT = 64 * 1024 * 1024;
  // Stored and Deflate are what zip tools write unless told otherwise, and
  // what the zip library reads; the others are named when refused.
  const READABLE_METHODS = [0, 8];
  const METHOD_NAMES = { 9: 'Deflate64', 12: 'bzip2', 14: 'LZMA', 93: 'Zstandard', 95: 'XZ', 96: 'JPEG', 97: 'WavPack', 98: 'PPMd' };

  // The zip library comes with the first .zip, read or saved. No web workers: the page's
  // policy allows no scripts from blob: URLs.
  async function zipLibrary() {
    await window.QuorvelLoad('zip.js');
    zip.configure({ useWebWorkers: false });
    return zip;
  }

  // Windows' own zip tools write backslashes between folder and file name.
  function baseName(path) {
    return path.slice(Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
  }

  function inputName(path) {
    const name = baseName(path).toUpperCase();
    return INPUTS.includes(name) ? name : null;
  }

  function reasonOf(error) {
    return error && error.message ? error.message : String(error);
  }

  // A file that must not be used, with the message that says why.
  class Refused extends Error {}

  // Candidates from one pick or drop: { name, label, size, read() }. Nothing
  // is read before the candidates of every name are known.
  async function candidatesOf(files, text, problems) {
    const found = [];
    for (const { file, path } of files) {
      if (/\.zip$/i.test(path)) {
        await zipCandidates(file, path, text, problems, found);
        continue;
      }
      const name = inputName(path);
      if (name === null) continue;
      found.push({ name, label: path, size: file.size, read: async () => new Uint8Array(await file.arrayBuffer()) });
    }
    return found;
  }

  // Only the .zip's directory is read here; an entry is inflated by its read().
  async function zipCandidates(file, path, text, problems, found) {
    let entries;
    try {
      const reader = await zipLibrary();
      entries = await new reader.ZipReader(new reader.BlobReader(file)).getEntries();
    } catch (error) {
      problems.push(text.badZip(path, reasonOf(error)));
      return;
    }
    for (const entry of entries) {
      const name = entry.directory ? null : inputName(entry.filename);
      if (name === null) continue;
      found.push({
        name,
        label: path + '/' + entry.filename,
        size: entry.uncompressedSize,
        read: () => readEntry(entry, path, text),
      });
    }
  }

  async function readEntry(entry, path, text) {
    const name = entry.filename;
    if (entry.encrypted) throw new Refused(text.encrypted(path, name));
    const method = entry.compressionMethod;
    if (!READABLE_METHODS.includes(method)) {
      throw new Refused(text.method(path, name, METHOD_NAMES[method], method));
    }
    let bytes;
    try {
      bytes = await entry.getData(new zip.Uint8ArrayWriter(), { checkSignature: true });
    } catch (error) {
      const message = reasonOf(error);
      if (message === zip.ERR_INVALID_CRC32) throw new Refused(text.damaged(path, name));
      if (message === zip.ERR_INVALID_UNCOMPRESSED_SIZE) throw new Refused(text.wrongSize(path, name));
      throw new Refused(text.entryUnreadable(path, name, message));
    }
    // The library checks this too; a short entry must never pass as a dump.
    if (bytes.length !== entry.uncompressedSize) throw new Refused(text.wrongSize(path, name));
    return bytes;
  }

  // Reads one pick or drop. Within it, two files for one name are an error,
  // since either may be the wrong dump. Returns the files taken, the names
  // whose choice is void (a duplicate or a refused file) and the problems.
  async function readChoice(files, text) {
    const problems = [];
    const taken = new Map();
    const refused = [];
    const found = await candidatesOf(files, text, problems);
    const byName = new Map();
    for (const candidate of found) {
      if (!byName.has(candidate.name)) byName.set(candidate.name, []);
      byName.get(candidate.name).push(candidate);
    }
    for (const [name, candidates] of byName) {
      if (candidates.length > 1) {
        problems.push(text.duplicate(name, candidates.map((c) => c.label)));
        refused.push(name);
        continue;
      }
      const candidate = candidates[0];
      if (candidate.size > MAX_INPUT) {
        problems.push(text.tooLarge(candidate.label, candidate.size, MAX_INPUT));
        refused.push(name);
        continue;
      }
      try {
        const bytes = await candidate.read();
        taken.set(name, { label: candidate.label, size: bytes.length, bytes });
      } catch (error) {
        problems.push(error instanceof Refused ? error.message : text.unreadable(candidate.label, reasonOf(error)));
        refused.push(name);
      }
    }
    if (files.length > 0 && found.length === 0 && problems.length === 0) problems.push(text.nothingChosen);
    return { taken, refused, problems };
  }

  // Files from an <input>: a folder pick gives each its path inside the folder.
  function fromInput(input) {
    return Array.from(input.files, (file) => ({ file, path: file.webkitRelativePath || file.name }));
  }

  // Files from a drop, folders walked through.
  async function fromDrop(dataTransfer) {
    const entries = Array.from(dataTransfer.items || [])
      .map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
    if (entries.length === 0 || entries.some((entry) => entry === null)) {
      return Array.from(dataTransfer.files, (file) => ({ file, path: file.name }));
    }
    const files = [];
    const walk = async (entry, prefix) => {
      if (entry.isFile) {
        const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
        files.push({ file, path: prefix + entry.name });
      } else if (entry.isDirectory) {
        const reader = entry.createReader();
        for (;;) {
          const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
          if (batch.length === 0) break;
          for (const child of batch) await walk(child, prefix + entry.name + '/');
        }
      }
    };
    for (const entry of entries) await walk(entry, '');
    return files;
  }

  window.QuorvelInputs = { INPUTS, readChoice, fromInput, fromDrop, reasonOf, zipLibrary };
})();
