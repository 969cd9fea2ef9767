// The page: takes the V1 dumps the user picks, runs quorvel-v2gen's own main()
// on them in an in-memory folder, and offers the V2 images it writes.
'use strict';

(function () {
  const INPUTS = ['SUBSYS_C.ROM', 'INITIATE.BIN', 'BOOT_BAS.ROM', 'BOOT_DOS.ROM'];
  const OUTPUTS = ['SUBSYSCG.ROM', 'SUBSYS_A.ROM', 'SUBSYS_B.ROM', 'INITIATE.ROM'];
  // Each input is held in memory twice while the tool runs (here and in its
  // folder); 64 MiB each keeps the page well inside what a browser tab holds.
  const MAX_INPUT = 64 * 1024 * 1024;
  const MAX_ZIP = 256 * 1024 * 1024;
  const WORK = '/work';

  const TEXT = {
    en: {
      title: 'Quorvel V2 ROM images from the V1 files',
      intro: 'Choose or drop your Quorvel V1 files (SUBSYS_C.ROM, INITIATE.BIN, BOOT_BAS.ROM, BOOT_DOS.ROM), the folder that holds them, or a .zip of them, then press Run: the page makes SUBSYSCG.ROM, SUBSYS_A.ROM, SUBSYS_B.ROM and INITIATE.ROM with the same code as the quorvel-v2gen command.',
      privacy: 'Your files stay on this computer: the page sends nothing anywhere.',
      chooseHeading: '1. Your V1 files',
      dropHere: 'Drop files, a folder or a .zip here, or press Enter to choose files',
      dropHint: 'Names are matched without regard to case; other files are ignored.',
      chooseFiles: 'Choose files or a .zip:',
      chooseFolder: 'Choose a folder:',
      needed: 'Needed',
      chosenFile: 'Chosen file',
      size: 'Size',
      notChosen: 'not chosen',
      clear: 'Clear the choice',
      runHeading: '2. Make the V2 images',
      compatible: 'Compatible ROM set only (-compatiblerom): SUBSYSCG.ROM and INITIATE.ROM',
      run: 'Run',
      working: 'Working…',
      consoleHeading: 'What the tool printed',
      stdoutHeading: 'Standard output',
      stderrHeading: 'Standard error (diagnostics and warnings)',
      saveHeading: '3. Save the V2 images',
      saveAll: 'Save all as a .zip',
      licence: 'Licences:',
      bytes: (n) => n.toLocaleString('en') + ' bytes',
      succeeded: 'Done: every image is written. Save them below.',
      consoleRefused: 'Every image is written, but the tool could not print its closing line (status 255). Save them below.',
      failed: (files) => files.length > 0
        ? 'Error: no image is offered. Fix ' + files.join(', ') + ' (see standard error above) and run again.'
        : 'Error: no image is offered. See standard error above, fix the file it names and run again.',
      unexpected: (status) => 'The tool ended with status ' + status + '; no image is offered.',
      crashed: (reason) => 'The tool could not run in this browser: ' + reason,
      duplicate: (name, files) => 'Two files match ' + name + ': ' + files.join(' and ') + '. Keep one of them.',
      tooLarge: (file, size) => file + ' is ' + size.toLocaleString('en') + ' bytes, more than this page holds (' + MAX_INPUT.toLocaleString('en') + ' bytes for each input). Use the quorvel-v2gen command for it.',
      zipTooLarge: (file, size) => file + ' is ' + size.toLocaleString('en') + ' bytes, more than this page reads (' + MAX_ZIP.toLocaleString('en') + ' bytes for a .zip). Unpack it and choose the files, or use the quorvel-v2gen command.',
      unreadable: (file, reason) => 'The browser cannot read ' + file + ': ' + reason,
      badZip: (file, reason) => file + ' is not a .zip that the page can read: ' + reason,
      fixFirst: 'Fix the problems above before running.',
      nothingChosen: 'None of the chosen files is a V1 file: they are ignored.',
      dropFailed: (reason) => 'The browser cannot read what was dropped: ' + reason,
    },
    ja: {
      title: 'Quorvel V1用のファイルからV2用のROMイメージを作る',
      intro: 'Quorvel V1用のファイル（SUBSYS_C.ROM、INITIATE.BIN、BOOT_BAS.ROM、BOOT_DOS.ROM）、それらを含むフォルダー、またはそれらの .zip を選ぶかドロップして、「実行」を押してください。quorvel-v2gen コマンドと同じコードで SUBSYSCG.ROM、SUBSYS_A.ROM、SUBSYS_B.ROM、INITIATE.ROM を作ります。',
      privacy: 'ファイルはこのコンピューターから出ません。このページはどこにも何も送りません。',
      chooseHeading: '1. V1用のファイル',
      dropHere: 'ここにファイル、フォルダー、.zip をドロップ（Enter キーでファイルを選択）',
      dropHint: 'ファイル名の大文字と小文字は区別しません。ほかのファイルは無視します。',
      chooseFiles: 'ファイルまたは .zip を選択：',
      chooseFolder: 'フォルダーを選択：',
      needed: '必要なファイル',
      chosenFile: '選んだファイル',
      size: 'サイズ',
      notChosen: '未選択',
      clear: '選択を解除',
      runHeading: '2. V2用のイメージを作る',
      compatible: '互換ROMのみ（-compatiblerom）：SUBSYSCG.ROM と INITIATE.ROM',
      run: '実行',
      working: '処理中…',
      consoleHeading: 'ツールの出力',
      stdoutHeading: '標準出力',
      stderrHeading: '標準エラー出力（エラーと警告）',
      saveHeading: '3. V2用のイメージを保存',
      saveAll: 'すべてを .zip で保存',
      licence: 'ライセンス：',
      bytes: (n) => n.toLocaleString('ja') + ' バイト',
      succeeded: '完了：すべてのイメージを作りました。下から保存してください。',
      consoleRefused: 'すべてのイメージを作りましたが、最後の行を出力できませんでした（終了コード 255）。下から保存してください。',
      failed: (files) => files.length > 0
        ? 'エラー：イメージは保存できません。' + files.join('、') + ' を直して（上の標準エラー出力を参照）もう一度実行してください。'
        : 'エラー：イメージは保存できません。上の標準エラー出力が示すファイルを直して、もう一度実行してください。',
      unexpected: (status) => 'ツールが終了コード ' + status + ' で終わりました。イメージは保存できません。',
      crashed: (reason) => 'このブラウザーではツールを実行できません：' + reason,
      duplicate: (name, files) => name + ' に当たるファイルが二つあります：' + files.join(' と ') + '。一つだけにしてください。',
      tooLarge: (file, size) => file + ' は ' + size.toLocaleString('ja') + ' バイトで、このページで扱える大きさ（入力ごとに ' + MAX_INPUT.toLocaleString('ja') + ' バイト）を超えています。quorvel-v2gen コマンドを使ってください。',
      zipTooLarge: (file, size) => file + ' は ' + size.toLocaleString('ja') + ' バイトで、このページで読める .zip の大きさ（' + MAX_ZIP.toLocaleString('ja') + ' バイト）を超えています。展開してファイルを選ぶか、quorvel-v2gen コマンドを使ってください。',
      unreadable: (file, reason) => 'ブラウザーが ' + file + ' を読めません：' + reason,
      badZip: (file, reason) => file + ' はこのページで読める .zip ではありません：' + reason,
      fixFirst: '実行する前に上の問題を直してください。',
      nothingChosen: '選んだファイルに V1 用のファイルはありません（無視しました）。',
      dropFailed: (reason) => 'ドロップしたものをブラウザーが読めません：' + reason,
    },
  };
  const languages = navigator.languages && navigator.languages.length > 0 ? navigator.languages : [navigator.language || 'en'];
  const lang = String(languages[0]).toLowerCase().startsWith('ja') ? 'ja' : 'en';
  const text = TEXT[lang];

  const $ = (id) => document.getElementById(id);

  // name -> { label, size, bytes (Uint8Array) } for each V1 file chosen.
  const chosen = new Map();
  let problems = [];
  let imageUrls = [];

  // ---- Choosing -------------------------------------------------------------

  function baseName(path) {
    return path.slice(path.lastIndexOf('/') + 1);
  }

  function inputName(path) {
    const name = baseName(path).toUpperCase();
    return INPUTS.includes(name) ? name : null;
  }

  function reasonOf(error) {
    return error && error.message ? error.message : String(error);
  }

  // Candidates from one pick or drop: { name, label, size, read() }.
  async function candidatesOf(files) {
    const found = [];
    for (const { file, path } of files) {
      if (/\.zip$/i.test(path)) {
        await zipCandidates(file, path, found);
        continue;
      }
      const name = inputName(path);
      if (name === null) continue;
      found.push({ name, label: path, size: file.size, read: async () => new Uint8Array(await file.arrayBuffer()) });
    }
    return found;
  }

  async function zipCandidates(file, path, found) {
    if (file.size > MAX_ZIP) {
      problems.push(text.zipTooLarge(path, file.size));
      return;
    }
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      problems.push(text.unreadable(path, reasonOf(error)));
      return;
    }
    try {
      // Only the V1 files are inflated, and none over the limit.
      const sizes = new Map();
      const entries = fflate.unzipSync(bytes, {
        filter: (entry) => {
          if (inputName(entry.name) === null) return false;
          sizes.set(entry.name, entry.originalSize);
          return entry.originalSize <= MAX_INPUT;
        },
      });
      for (const [entry, size] of sizes) {
        const label = path + '/' + entry;
        const data = entries[entry];
        found.push({ name: inputName(entry), label, size, read: async () => data });
      }
    } catch (error) {
      problems.push(text.badZip(path, reasonOf(error)));
    }
  }

  async function choose(files) {
    // Run waits until every chosen file has been read.
    $('run').disabled = true;
    try {
      await chooseFrom(files);
    } finally {
      $('run').disabled = false;
    }
  }

  // A later pick replaces an earlier file of the same name; within one pick,
  // two files for one name are an error, since either may be the wrong dump.
  async function chooseFrom(files) {
    problems = [];
    const found = await candidatesOf(files);
    const byName = new Map();
    for (const candidate of found) {
      if (!byName.has(candidate.name)) byName.set(candidate.name, []);
      byName.get(candidate.name).push(candidate);
    }
    for (const [name, candidates] of byName) {
      if (candidates.length > 1) {
        problems.push(text.duplicate(name, candidates.map((c) => c.label)));
        chosen.delete(name);
        continue;
      }
      const candidate = candidates[0];
      if (candidate.size > MAX_INPUT) {
        problems.push(text.tooLarge(candidate.label, candidate.size));
        chosen.delete(name);
        continue;
      }
      try {
        const bytes = await candidate.read();
        chosen.set(name, { label: candidate.label, size: bytes.length, bytes });
      } catch (error) {
        problems.push(text.unreadable(candidate.label, reasonOf(error)));
        chosen.delete(name);
      }
    }
    if (files.length > 0 && found.length === 0 && problems.length === 0) problems.push(text.nothingChosen);
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
      row.insertCell().textContent = file ? file.label : text.notChosen;
      row.insertCell().textContent = file ? text.bytes(file.size) : '';
      if (!file) row.className = 'missing';
    }
    const list = $('problems');
    list.replaceChildren();
    for (const problem of problems) {
      const item = document.createElement('li');
      item.textContent = problem;
      list.append(item);
    }
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

  // ---- Running --------------------------------------------------------------

  function clearResult() {
    for (const url of imageUrls) URL.revokeObjectURL(url);
    imageUrls = [];
    $('console-section').hidden = true;
    $('save-section').hidden = true;
    $('outcome').textContent = '';
    $('outcome').className = 'outcome';
  }

  // Lets the browser paint ("Working…") before the tool takes the thread.
  function nextPaint() {
    return new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
  }

  function decode(bytes) {
    return new TextDecoder('shift_jis').decode(new Uint8Array(bytes));
  }

  async function runTool(compatible) {
    const out = [];
    const err = [];
    // Byte values of 0x80 and above arrive negative.
    const module = await QuorvelV2Gen({
      stdin: () => null,
      stdout: (code) => { if (code !== null) out.push(code & 0xff); },
      stderr: (code) => { if (code !== null) err.push(code & 0xff); },
    });
    module.FS.mkdir(WORK);
    module.FS.chdir(WORK);
    for (const [name, file] of chosen) module.FS.writeFile(WORK + '/' + name, file.bytes);
    const status = module.callMain(compatible ? ['-compatiblerom'] : []);
    const images = [];
    for (const name of OUTPUTS) {
      const path = WORK + '/' + name;
      if (module.FS.analyzePath(path).exists) images.push({ name, bytes: module.FS.readFile(path) });
    }
    return { status, out: decode(out), err: decode(err), images };
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
    // main() returns -1 when standard output refuses the closing line; the
    // images are written all the same.
    const written = result.status === 0 || result.status === -1 || result.status === 255;
    if (result.status === 0) outcome.textContent = text.succeeded;
    else if (written) outcome.textContent = text.consoleRefused;
    else if (result.status === 1) outcome.textContent = text.failed(namedFiles(result.err));
    else outcome.textContent = text.unexpected(result.status);
    outcome.className = written ? 'outcome succeeded' : 'outcome failed';
    if (written) offer(result.images);
  }

  // The files that the diagnostics name ("quorvel-v2gen: NAME: ..."), warnings aside.
  function namedFiles(err) {
    const names = [];
    for (const line of err.split('\n')) {
      const match = /^quorvel-v2gen: (?!warning: )([^:]+): /.exec(line);
      if (match && !names.includes(match[1])) names.push(match[1]);
    }
    return names;
  }

  function showConsole(result) {
    $('console-section').hidden = false;
    $('stdout').textContent = result.out;
    const list = $('stderr');
    list.replaceChildren();
    const lines = result.err.split('\n').filter((line) => line !== '');
    for (const line of lines) {
      const item = document.createElement('li');
      item.textContent = line;
      item.className = line.startsWith('quorvel-v2gen: warning: ') ? 'warning' : 'diagnostic';
      list.append(item);
    }
    $('stderr-part').hidden = lines.length === 0;
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
      item.append(link, ' (' + text.bytes(image.bytes.length) + ')');
      list.append(item);
    }
    $('save-all').onclick = () => {
      const files = {};
      for (const image of images) files[image.name] = image.bytes;
      download('quorvel-v2-images.zip', new Blob([fflate.zipSync(files, { level: 6 })], { type: 'application/zip' }));
    };
    $('save-section').hidden = false;
  }

  // ---- The page -------------------------------------------------------------

  function start() {
    document.documentElement.lang = lang;
    document.title = text.title;
    for (const element of document.querySelectorAll('[data-text]')) {
      element.textContent = text[element.dataset.text];
    }
    $('drop').setAttribute('aria-label', text.dropHere);
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
      problems = [];
      clearResult();
      showChoice();
    });
    $('run').addEventListener('click', run);
    showChoice();
  }

  start();
})();
