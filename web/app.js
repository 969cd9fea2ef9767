// The page: takes the V1 dumps the user picks, makes the V2 images from them
// with the quorvel-v2gen library in memory, and offers them, with what the
// command would have printed.
'use strict';

(function () {
  const { INPUTS, readChoice, fromInput, fromDrop, reasonOf, zipLibrary } = window.QuorvelInputs;
  const { pickFolder, filesOf, writeImages } = window.QuorvelFolder;
  // The command's own lines on standard output, as it prints them (its two
  // Japanese lines are Shift_JIS bytes there).
  const MODE_LINE = 'Generate compatible ROM mode';
  const BANNER = [
    'Quorvel File generator for V2 v0.3',
    'このプログラムは、Quorvel V1用のファイルから、V2に必要なファイルを作り出すプログラムです',
    '同じディレクトリに、V1用の以下のファイルが必要です',
    'BOOT_BAS.ROM, BOOT_DOS.ROM, SUBSYS_C.ROM',
  ];

  // The page is built in each language (index.html, index.ja.html), its words
  // in the HTML from the first paint; this script only adds what changes.
  const lang = document.documentElement.lang === 'ja' ? 'ja' : 'en';
  const text = window.QuorvelTexts[lang];
  const { checksumsOf, KINDS } = window.QuorvelChecksums;

  const $ = (id) => document.getElementById(id);

  // name -> { label, size, bytes (Uint8Array) } for each V1 file chosen.
  const chosen = new Map();
  let problems = [];
  let imageUrls = [];
  // The folder chosen for reading and writing, while every chosen dump is
  // from it: the images of a successful run are written into it.
  let writeFolder = null;

  // ---- Choosing -------------------------------------------------------------

  // files: what was picked or dropped. from: the folder chosen for reading
  // and writing, which then replaces the whole choice; any other pick ends
  // the writing into it, and the images are downloads again.
  async function choose(files, from = null) {
    // The module is fetched while the files are read, ready for Run.
    loadLibrary().catch(() => {});
    // Run waits until every chosen file has been read.
    $('run').disabled = true;
    try {
      if (from) chosen.clear();
      writeFolder = from;
      await chooseFrom(files);
    } finally {
      $('run').disabled = false;
    }
  }

  async function chooseFolderToWrite() {
    let picked;
    let files;
    try {
      picked = await pickFolder();
      if (!picked) return; // the picker was closed
      files = await filesOf(picked);
    } catch (error) {
      problems = [text.folderFailed(reasonOf(error))];
      showChoice();
      return;
    }
    await choose(files, picked);
  }

  // A later pick replaces an earlier file of the same name; a name whose
  // file in this pick is refused is not chosen at all.
  async function chooseFrom(files) {
    const result = await readChoice(files, text);
    for (const name of result.refused) chosen.delete(name);
    for (const [name, file] of result.taken) chosen.set(name, file);
    problems = result.problems;
    clearResult();
    showChoice();
  }

  function showChoice() {
    const body = $('chosen').tBodies[0];
    body.replaceChildren();
    for (const name of INPUTS) {
      const row = body.insertRow();
      row.insertCell().textContent = name;
      const file = chosen.get(name);
      const cell = row.insertCell();
      if (file) cell.append(...breakable(file.label));
      else cell.textContent = text.notChosen;
      if (file) cell.append(checksumList(name, file));
      row.insertCell().textContent = file ? text.bytes(file.size) : '';
      if (!file) row.className = 'missing';
    }
    $('folder-note').hidden = writeFolder === null;
    $('folder-note').textContent = writeFolder ? text.folderChosen(writeFolder.name) : '';
    const list = $('problems');
    list.replaceChildren();
    for (const problem of problems) {
      const item = document.createElement('li');
      item.textContent = problem;
      list.append(item);
    }
  }

  // A path as text with a break opportunity after each slash, so that a long
  // one wraps between its folders rather than within a name.
  function breakable(path) {
    const parts = [];
    for (const piece of path.split(/(?<=\/)/)) parts.push(piece, document.createElement('wbr'));
    parts.pop();
    return parts;
  }

  // ---- Checksums --------------------------------------------------------------

  // The checksums of a file, worked out once, in the background.
  function checksumsFor(file) {
    if (!file.checksums) file.checksums = checksumsOf(file.bytes);
    return file.checksums;
  }

  // CRC-32, MD5 and SHA-1 of one file, each selectable, with a button that copies it.
  function checksumList(name, file) {
    const list = document.createElement('dl');
    list.className = 'checksums';
    list.dataset.pending = 'yes';
    for (const [key, label] of KINDS) {
      const term = document.createElement('dt');
      term.textContent = label;
      const value = document.createElement('dd');
      const figure = document.createElement('code');
      figure.dataset.kind = key;
      figure.textContent = '…';
      const copy = document.createElement('button');
      copy.type = 'button';
      copy.className = 'copy';
      copy.textContent = text.copy;
      copy.setAttribute('aria-label', text.copyLabel(label, name));
      copy.disabled = true;
      copy.addEventListener('click', () => copyFigure(figure, label, name));
      value.append(figure, ' ', copy);
      list.append(term, value);
    }
    checksumsFor(file).then((sums) => {
      for (const figure of list.querySelectorAll('code')) figure.textContent = sums[figure.dataset.kind];
      for (const copy of list.querySelectorAll('button')) copy.disabled = false;
      delete list.dataset.pending;
    });
    return list;
  }

  // Copies through the clipboard where the browser allows it; elsewhere the
  // figure is selected, for Ctrl+C. Either way a screen reader is told.
  async function copyFigure(figure, label, name) {
    const announce = $('copied');
    try {
      await navigator.clipboard.writeText(figure.textContent);
      announce.textContent = text.copied(label, name);
    } catch {
      const range = document.createRange();
      range.selectNodeContents(figure);
      getSelection().removeAllRanges();
      getSelection().addRange(range);
      announce.textContent = text.selected(label, name);
    }
  }

  // ---- Running --------------------------------------------------------------

  function clearResult() {
    for (const url of imageUrls) URL.revokeObjectURL(url);
    imageUrls = [];
    $('console-section').hidden = true;
    $('save-section').hidden = true;
    $('save-failed').hidden = true;
    $('written').hidden = true;
    $('write-failed').hidden = true;
    $('outcome').textContent = '';
    $('outcome').className = 'outcome';
  }

  // Lets the browser paint ("Working…") before the tool takes the thread.
  function nextPaint() {
    return new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
  }

  // The library's module, made once, when files are first chosen or at the
  // first run, whichever comes first, so that it never holds up the page's
  // first screen: a run keeps nothing in it.
  let library = null;
  function loadLibrary() {
    if (!library) {
      library = window.QuorvelLoad('quorvel-v2gen.js').then(() => QuorvelV2Gen());
      library.catch(() => { library = null; });
    }
    return library;
  }

  async function runTool(compatible) {
    const v2gen = await loadLibrary();
    const inputs = {};
    for (const [name, file] of chosen) inputs[name] = file.bytes;
    const result = v2gen.generate(inputs, { compatible });
    const out = [...(compatible ? [MODE_LINE] : []), ...BANNER, result.succeeded ? 'Succeed to generate V2 files!' : 'Error!'];
    return { ...result, out: out.map((line) => line + '\n').join('') };
  }

  async function run() {
    clearResult();
    const outcome = $('outcome');
    if (problems.length > 0) {
      outcome.textContent = text.fixFirst;
      outcome.className = 'outcome failed';
      return;
    }
    $('run').disabled = true;
    outcome.textContent = text.working;
    outcome.className = 'outcome working';
    await nextPaint();
    let result;
    try {
      result = await runTool($('compatible').checked);
    } catch (error) {
      outcome.textContent = text.crashed(reasonOf(error));
      outcome.className = 'outcome failed';
      $('run').disabled = false;
      return;
    }
    $('run').disabled = false;
    showConsole(result);
    const warnings = result.diagnostics.filter((d) => d.kind === 'warning').length;
    if (result.succeeded) outcome.textContent = warnings > 0 ? text.warned(warnings) : text.succeeded;
    else outcome.textContent = text.failed(failedFiles(result.diagnostics));
    outcome.className = !result.succeeded ? 'outcome failed' : warnings > 0 ? 'outcome succeeded warned' : 'outcome succeeded';
    if (result.succeeded) offer(result.images);
    if (result.succeeded && writeFolder) {
      $('run').disabled = true;
      try {
        await writeIntoFolder(writeFolder, result.images);
      } finally {
        $('run').disabled = false;
      }
    }
  }

  // Says which images are in the folder now, and which are not and why; those
  // stay offered below, as every image is.
  async function writeIntoFolder(into, images) {
    const { written, failed } = await writeImages(into, images);
    if (written.length > 0) {
      $('written').textContent = text.written(written, into.name);
      $('written').hidden = false;
    }
    const list = $('write-failed');
    list.replaceChildren();
    for (const { image, reason } of failed) {
      const item = document.createElement('li');
      item.textContent = text.writeFailed(image, into.name, reasonText(reason));
      list.append(item);
    }
    list.hidden = failed.length === 0;
  }

  function reasonText(reason) {
    if (typeof reason === 'string') return text.reasons[reason];
    if (reason.ambiguous) return text.reasons.ambiguous(reason.ambiguous);
    return text.reasons.other(reason.other);
  }

  // The files that the failures name, warnings aside.
  function failedFiles(diagnostics) {
    const names = [];
    for (const d of diagnostics) if (d.kind === 'failure' && !names.includes(d.file)) names.push(d.file);
    return names;
  }

  function showConsole(result) {
    $('console-section').hidden = false;
    $('stdout').textContent = result.out;
    const list = $('stderr');
    list.replaceChildren();
    for (const d of result.diagnostics) {
      const item = document.createElement('li');
      item.textContent = d.text(lang);
      item.className = d.kind === 'warning' ? 'warning' : 'diagnostic';
      list.append(item);
    }
    $('stderr-part').hidden = result.diagnostics.length === 0;
  }

  function download(name, blob) {
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function offer(images) {
    const list = $('images');
    list.replaceChildren();
    for (const image of images) {
      const url = URL.createObjectURL(new Blob([image.bytes], { type: 'application/octet-stream' }));
      imageUrls.push(url);
      const item = document.createElement('li');
      const link = document.createElement('a');
      link.href = url;
      link.download = image.name;
      link.textContent = image.name;
      const size = document.createElement('span');
      size.className = 'size';
      size.textContent = text.sized(image.bytes.length);
      item.append(link, size, checksumList(image.name, image));
      list.append(item);
    }
    $('save-all').onclick = async () => {
      const failed = $('save-failed');
      failed.hidden = true;
      try {
        // The zip library comes now; a page served over a failing network
        // may not get it, and says so rather than doing nothing.
        const zip = await zipLibrary();
        const writer = new zip.ZipWriter(new zip.BlobWriter('application/zip'));
        for (const image of images) await writer.add(image.name, new zip.Uint8ArrayReader(image.bytes));
        download('quorvel-v2-images.zip', await writer.close());
      } catch (error) {
        failed.textContent = text.saveAllFailed(reasonOf(error));
        failed.hidden = false;
      }
    };
    $('save-section').hidden = false;
  }

  // ---- Offline and installed ----------------------------------------------------

  // Nothing chosen and nothing made: a reload loses the user nothing.
  function idle() {
    return chosen.size === 0 && problems.length === 0 && $('console-section').hidden;
  }

  // Served over HTTP(S), the page keeps its files in a service worker and can
  // be installed as an app, named in its language. Opened from disk it needs
  // neither: browsers allow no worker there, and it is offline already.
  function keepForOffline() {
    if (location.protocol !== 'http:' && location.protocol !== 'https:') return;
    const manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.' + lang + '.webmanifest';
    document.head.append(manifest);
    if (!('serviceWorker' in navigator)) return;
    // A new release is taken by a reload, at once while the page is idle,
    // else at the next visit: no page runs on the files of two releases.
    const controlled = navigator.serviceWorker.controller !== null;
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      if (controlled) location.reload();
    });
    const takeOverWhenIdle = (worker) => {
      if (controlled && idle()) worker.postMessage('take over');
    };
    navigator.serviceWorker.register('service-worker.js').then((registration) => {
      if (registration.waiting) takeOverWhenIdle(registration.waiting);
      registration.addEventListener('updatefound', () => {
        const worker = registration.installing;
        worker.addEventListener('statechange', () => {
          if (worker.state === 'installed') takeOverWhenIdle(worker);
        });
      });
    }, () => {}); // without a worker the page works as before, with the network
  }

  // ---- The page -------------------------------------------------------------

  function start() {
    const files = $('files');
    const folder = $('folder');
    files.addEventListener('change', () => choose(fromInput(files)).finally(() => { files.value = ''; }));
    folder.addEventListener('change', () => choose(fromInput(folder)).finally(() => { folder.value = ''; }));
    const drop = $('drop');
    drop.addEventListener('click', () => files.click());
    drop.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        files.click();
      }
    });
    drop.addEventListener('dragover', (event) => {
      event.preventDefault();
      drop.classList.add('over');
    });
    drop.addEventListener('dragleave', () => drop.classList.remove('over'));
    drop.addEventListener('drop', (event) => {
      event.preventDefault();
      drop.classList.remove('over');
      fromDrop(event.dataTransfer).then(choose, (error) => {
        problems = [text.dropFailed(reasonOf(error))];
        showChoice();
      });
    });
    $('clear').addEventListener('click', () => {
      chosen.clear();
      writeFolder = null;
      problems = [];
      clearResult();
      showChoice();
    });
    $('run').addEventListener('click', run);
    if (window.QuorvelFolder.available()) {
      $('folder-rw').addEventListener('click', chooseFolderToWrite);
      $('folder-access').hidden = false;
    }
    keepForOffline();
  }

  start();
})();
