// The folder of the dumps, chosen for reading and writing where the browser
// lets a page do that (the File System Access API: Chromium, Edge, Opera):
// the dumps are read from it, and the images of a successful run are written
// into it, as the command writes them beside the dumps.
'use strict';

(function () {
  const available = () => typeof window.showDirectoryPicker === 'function';

  // Asks for the folder, for reading and writing, in one prompt. Resolves to
  // null when the user closes the picker without choosing.
  async function pickFolder() {
    try {
      return await window.showDirectoryPicker({ id: 'quorvel-dumps', mode: 'readwrite' });
    } catch (error) {
      if (error && error.name === 'AbortError') return null;
      throw error;
    }
  }

  // The folder's own files, as a folder pick gives them ({ file, path }):
  // only those beside the images to be written, not those of its subfolders.
  async function filesOf(folder) {
    const files = [];
    for await (const entry of folder.values()) {
      if (entry.kind === 'file') files.push({ file: await entry.getFile(), path: folder.name + '/' + entry.name });
    }
    return files;
  }

  // The name that an image takes in a folder whose entries are names, as the
  // command chooses it: its own name if there is an entry of that name, else
  // the one entry whose name differs from it only in case. Two or more such
  // entries: null, and the image is not written.
  function placeOf(image, names) {
    if (names.includes(image)) return { name: image };
    const matches = names.filter((name) => name.toUpperCase() === image).sort();
    if (matches.length > 1) return { name: null, matches };
    return { name: matches.length === 1 ? matches[0] : image };
  }

  // Writes each image into the folder: createWritable writes aside and puts
  // the file in place on close(), so an image is replaced whole or not at
  // all. Returns { written: [names], failed: [{ image, reason }] }, where a
  // reason is a key of the page's texts (or the browser's own words).
  async function writeImages(folder, images) {
    const written = [];
    const failed = [];
    let permission = 'granted';
    try {
      if ((await folder.queryPermission({ mode: 'readwrite' })) !== 'granted') {
        permission = await folder.requestPermission({ mode: 'readwrite' });
      }
    } catch (error) {
      permission = reasonKey(error);
    }
    if (permission !== 'granted') {
      const reason = permission === 'denied' || permission === 'prompt' ? 'denied' : permission;
      return { written, failed: images.map((image) => ({ image: image.name, reason })) };
    }
    let names;
    try {
      names = [];
      for await (const name of folder.keys()) names.push(name);
    } catch (error) {
      return { written, failed: images.map((image) => ({ image: image.name, reason: reasonKey(error) })) };
    }
    for (const image of images) {
      const place = placeOf(image.name, names);
      if (place.name === null) {
        failed.push({ image: image.name, reason: { ambiguous: place.matches } });
        continue;
      }
      try {
        await writeOne(folder, place.name, image.bytes, names.includes(place.name));
        written.push(place.name);
      } catch (error) {
        failed.push({ image: image.name, reason: reasonKey(error) });
      }
    }
    return { written, failed };
  }

  // One image. A file made here for it is removed again if the write fails,
  // so that a failure adds nothing to the folder.
  async function writeOne(folder, name, bytes, existed) {
    let writable = null;
    try {
      const handle = await folder.getFileHandle(name, { create: true });
      writable = await handle.createWritable();
      await writable.write(bytes);
      await writable.close();
    } catch (error) {
      if (writable) await writable.abort().catch(() => {});
      if (!existed) await folder.removeEntry(name).catch(() => {});
      throw error;
    }
  }

  // The browser's errors, by their names, as what a user can act on.
  const REASONS = {
    NotAllowedError: 'denied',
    SecurityError: 'denied',
    TypeMismatchError: 'folderNamed',
    NotFoundError: 'gone',
    QuotaExceededError: 'full',
    NoModificationAllowedError: 'readOnly',
    InvalidModificationError: 'readOnly',
  };

  function reasonKey(error) {
    const key = error && REASONS[error.name];
    return key || { other: error && error.message ? error.message : String(error) };
  }

  window.QuorvelFolder = { available, pickFolder, filesOf, placeOf, writeImages };
})();
