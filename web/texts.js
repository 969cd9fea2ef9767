// What the page says, in English and in Japanese; the language follows the browser's.
'use strict';

(function () {
  // "a, b and c"; past `shown` names, the rest are counted, so that a long list stays one line.
  function listOf(names, and, comma, more, shown = 3) {
    if (names.length > shown + 1) return names.slice(0, shown).join(comma) + more(names.length - shown);
    if (names.length === 1) return names[0];
    return names.slice(0, -1).join(comma) + and + names[names.length - 1];
  }

  const en = {
    title: 'Quorvel V2 ROM images from the V1 files',
    description: 'Make the ROM images Quorvel V2 needs (SUBSYSCG.ROM, SUBSYS_A.ROM, SUBSYS_B.ROM, INITIATE.ROM) from your V1 dumps, in the browser; nothing is sent anywhere.',
    intro: 'Choose or drop your Quorvel V1 files (SUBSYS_C.ROM, INITIATE.BIN, BOOT_BAS.ROM, BOOT_DOS.ROM), the folder that holds them, or a .zip of them, then press Run: the page makes SUBSYSCG.ROM, SUBSYS_A.ROM, SUBSYS_B.ROM and INITIATE.ROM with the same code as the quorvel-v2gen command.',
    privacy: 'Your files stay on this computer: the page sends nothing anywhere.',
    chooseHeading: '1. Your V1 files',
    dropHere: 'Drop files, a folder or a .zip here, or press Enter to choose files',
    dropHint: 'Names are matched without regard to case; other files are ignored. Every file taken from a .zip is checked against its checksum first.',
    chooseFiles: 'Choose files or a .zip:',
    chooseFolder: 'Choose a folder:',
    chooseFolderWrite: 'Choose the folder of the dumps, and write the images into it',
    folderWriteHint: 'The page then reads the dumps from that folder and, after Run, writes the V2 images into it, beside the dumps, as the command does: an old image is replaced only by a complete new one. The browser asks once whether the page may write there.',
    downloadsHint: 'The images are saved as downloads; in Chrome, Edge and Opera the page can also write them straight into the folder of the dumps.',
    folderChosen: (folder) => 'After Run, the images are written into the folder “' + folder + '”.',
    written: (images, folder) => 'Written into the folder “' + folder + '”: ' + listOf(images, ' and ', ', ', (n) => ' and ' + n + ' more', 4) + '.',
    writeFailed: (image, folder, reason) => image + ' was not written into the folder “' + folder + '”: ' + reason + '. Save it below.',
    reasons: {
      denied: 'the browser may not write there',
      folderNamed: 'a folder has that name',
      gone: 'the folder is no longer there',
      full: 'the disk is full',
      readOnly: 'the folder or the old image cannot be written',
      ambiguous: (names) => 'more than one file matches it (' + listOf(names, ' and ', ', ', (n) => ' and ' + n + ' more') + ')',
      other: (reason) => reason,
    },
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
    saveAllFailed: (reason) => 'The .zip could not be made (' + reason + '): save each image on its own above, or reload the page and try again.',
    licence: 'Licences: ',
    bytes: (n) => n.toLocaleString('en') + ' bytes',
    sized: (n) => ' (' + n.toLocaleString('en') + ' bytes)',
    succeeded: 'Done: every image is written. Save them below.',
    warned: (count) => count === 1
      ? 'Done, with 1 warning: the images are written, but the dump named below looks wrong, and an emulator may not boot it.'
      : 'Done, with ' + count + ' warnings: the images are written, but the dumps named below look wrong, and an emulator may not boot them.',
    failed: (files) => files.length > 0
      ? 'Error: the images could not be made. See standard error below, choose ' + listOf(files, ' and ', ', ', (n) => ' and ' + n + ' more', 4) + ' again, and run again.'
      : 'Error: the images could not be made. See standard error below, choose the file it names again, and run again.',
    crashed: (reason) => 'The tool could not run in this browser: ' + reason,
    duplicate: (name, files) => files.length + ' files match ' + name + ': '
      + listOf(files, ' and ', ', ', (n) => ' and ' + n + ' more') + '. Keep one of them.',
    tooLarge: (file, size, limit) => file + ' is ' + size.toLocaleString('en') + ' bytes, more than this page holds (' + limit.toLocaleString('en') + ' bytes for each input). Use the quorvel-v2gen command for it.',
    unreadable: (file, reason) => 'The browser cannot read ' + file + ': ' + reason,
    badZip: (file, reason) => file + ' is not a .zip that the page can read: ' + reason,
    damaged: (zip, entry) => zip + '/' + entry + ' is damaged: its data does not match its checksum; make the .zip again from the dumps.',
    wrongSize: (zip, entry) => zip + '/' + entry + ' is damaged: its size does not match the size that the .zip records; make the .zip again from the dumps.',
    encrypted: (zip, entry) => zip + '/' + entry + ' is encrypted: unpack it with its password and choose the files.',
    // name: the method's own name where it has one, else only its number.
    method: (zip, entry, name, number) => zip + '/' + entry + ' is compressed with ' + (name || 'method ' + number) + ', which the page cannot read: unpack it and choose the files, or make the .zip again with ordinary (Deflate) compression.',
    entryUnreadable: (zip, entry, reason) => zip + '/' + entry + ' cannot be read: ' + reason + '. Make the .zip again from the dumps.',
    fixFirst: 'Fix the problems above before running.',
    nothingChosen: 'None of the chosen files is a V1 file: they are ignored.',
    dropFailed: (reason) => 'The browser cannot read what was dropped: ' + reason,
    folderFailed: (reason) => 'The browser cannot read the folder: ' + reason,
    copy: 'Copy',
    copyLabel: (kind, name) => 'Copy the ' + kind + ' of ' + name,
    copied: (kind, name) => 'The ' + kind + ' of ' + name + ' is copied.',
    selected: (kind, name) => 'The ' + kind + ' of ' + name + ' is selected: press Ctrl+C to copy it.',
    checksumsHint: 'The CRC-32, MD5 and SHA-1 of each file are those that emulators\' ROM lists and dump databases give, to compare.',
  };

  const ja = {
    title: 'Quorvel V1 用のファイルから V2 用の ROM イメージを作る',
    description: 'Quorvel V1 のダンプから、V2 に必要な ROM イメージ（SUBSYSCG.ROM、SUBSYS_A.ROM、SUBSYS_B.ROM、INITIATE.ROM）をブラウザーで作成します。ファイルはどこにも送りません。',
    intro: 'Quorvel V1 用のファイル（SUBSYS_C.ROM、INITIATE.BIN、BOOT_BAS.ROM、BOOT_DOS.ROM）、それらを含むフォルダー、またはそれらをまとめた .zip を選ぶかドロップして、「実行」を押してください。quorvel-v2gen コマンドと同じコードで SUBSYSCG.ROM、SUBSYS_A.ROM、SUBSYS_B.ROM、INITIATE.ROM を作成します。',
    privacy: 'ファイルがこのコンピューターの外に送られることはありません。',
    chooseHeading: '1. V1 用のファイル',
    dropHere: 'ここにファイル、フォルダー、.zip をドロップ（Enter キーでファイルを選択）',
    dropHint: 'ファイル名の大文字と小文字は区別しません。ほかのファイルは無視します。.zip の中のファイルは、使う前にチェックサムを確かめます。',
    chooseFiles: 'ファイルまたは .zip を選択：',
    chooseFolder: 'フォルダーを選択：',
    chooseFolderWrite: 'ダンプのフォルダーを選ぶ（イメージもそこに書き出す）',
    folderWriteHint: '選んだフォルダーからダンプを読み込み、「実行」のあと、コマンドと同じようにそのフォルダー（ダンプと同じ場所）に V2 用のイメージを書き出します。古いイメージは、新しいイメージを最後まで書けたときだけ置き換えます。書き込んでよいかどうかは、ブラウザーが一度だけ確認します。',
    downloadsHint: 'イメージはダウンロードとして保存します。Chrome、Edge、Opera では、ダンプのフォルダーに直接書き出すこともできます。',
    folderChosen: (folder) => '「実行」のあと、フォルダー「' + folder + '」にイメージを書き出します。',
    written: (images, folder) => 'フォルダー「' + folder + '」に書き出しました：' + images.join('、') + '。',
    writeFailed: (image, folder, reason) => image + ' をフォルダー「' + folder + '」に書き出せませんでした（' + reason + '）。下の「3. V2 用のイメージを保存」から保存してください。',
    reasons: {
      denied: 'このフォルダーへの書き込みが許可されていません',
      folderNamed: '同じ名前のフォルダーがあります',
      gone: 'フォルダーがなくなっています',
      full: 'ディスクがいっぱいです',
      readOnly: 'フォルダーまたは古いイメージに書き込めません',
      ambiguous: (names) => '大文字と小文字だけが違うファイルが複数あります：' + names.join('、'),
      other: (reason) => '詳細：' + reason,
    },
    needed: '必要なファイル',
    chosenFile: '選んだファイル',
    size: 'サイズ',
    notChosen: '未選択',
    clear: '選択を解除',
    runHeading: '2. V2 用のイメージを作る',
    compatible: 'SUBSYSCG.ROM と INITIATE.ROM だけを作る（-compatiblerom）',
    run: '実行',
    working: '処理中…',
    consoleHeading: 'ツールの出力',
    stdoutHeading: '標準出力',
    stderrHeading: '標準エラー出力（エラーと警告）',
    saveHeading: '3. V2 用のイメージを保存',
    saveAll: 'すべてを .zip で保存',
    saveAllFailed: (reason) => '.zip を作成できません（詳細：' + reason + '）。上のイメージを一つずつ保存するか、ページを再読み込みしてやり直してください。',
    licence: 'ライセンス：',
    bytes: (n) => n.toLocaleString('ja') + ' バイト',
    sized: (n) => '（' + n.toLocaleString('ja') + ' バイト）',
    succeeded: '完了：すべてのイメージを作成しました。下の「3. V2 用のイメージを保存」から保存してください。',
    warned: (count) => '完了（警告 ' + count + ' 件）：イメージは作成しましたが、下の警告にあるダンプは正しくない可能性があります。このままではエミュレーター上でマシンが起動しないことがあります。',
    failed: (files) => files.length > 0
      ? 'エラー：イメージを作成できませんでした。下の標準エラー出力を確認し、' + files.join('、') + ' を選び直してから、もう一度実行してください。'
      : 'エラー：イメージを作成できませんでした。下の標準エラー出力を確認し、示されたファイルを選び直してから、もう一度実行してください。',
    // The browser's and the zip library's own reasons are English: shown as details.
    crashed: (reason) => 'このブラウザーではツールを実行できません（詳細：' + reason + '）。',
    duplicate: (name, files) => name + ' に該当するファイルが ' + files.length + ' つあります：'
      + listOf(files, '、', '、', (n) => ' ほか ' + n + ' つ') + '。1 つだけにしてください。',
    tooLarge: (file, size, limit) => file + ' は ' + size.toLocaleString('ja') + ' バイトで、このページで扱えるサイズ（入力ごとに ' + limit.toLocaleString('ja') + ' バイト）を超えています。quorvel-v2gen コマンドを使ってください。',
    unreadable: (file, reason) => 'ブラウザーが ' + file + ' を読めません（詳細：' + reason + '）。',
    badZip: (file, reason) => file + ' は .zip として読み込めません。壊れているか、.zip ではない可能性があります（詳細：' + reason + '）。',
    damaged: (zip, entry) => zip + '/' + entry + ' は壊れています（データがチェックサムと合いません）。ダンプから .zip を作り直してください。',
    wrongSize: (zip, entry) => zip + '/' + entry + ' は壊れています（サイズが .zip に記録されたサイズと合いません）。ダンプから .zip を作り直してください。',
    encrypted: (zip, entry) => zip + '/' + entry + ' は暗号化されています。パスワードで展開して、ファイルを選んでください。',
    method: (zip, entry, name, number) => zip + '/' + entry + ' は' + (name ? ' ' + name : '圧縮方式 ' + number) + ' で圧縮されていて、このページでは読めません。展開してファイルを選ぶか、標準の圧縮方式（Deflate）で .zip を作り直してください。',
    entryUnreadable: (zip, entry, reason) => zip + '/' + entry + ' を読めません（詳細：' + reason + '）。ダンプから .zip を作り直してください。',
    fixFirst: '実行する前に上の問題を直してください。',
    nothingChosen: '選んだファイルに V1 用のファイルはありません（無視しました）。',
    dropFailed: (reason) => 'ドロップしたものをブラウザーが読めません（詳細：' + reason + '）。',
    folderFailed: (reason) => 'ブラウザーがフォルダーを読めません（詳細：' + reason + '）。',
    copy: 'コピー',
    copyLabel: (kind, name) => name + ' の ' + kind + ' をコピー',
    copied: (kind, name) => name + ' の ' + kind + ' をコピーしました。',
    selected: (kind, name) => name + ' の ' + kind + ' を選択しました。Ctrl+C キーでコピーしてください。',
    checksumsHint: '各ファイルの CRC-32、MD5、SHA-1 は、エミュレーターの ROM リストやダンプのデータベースと比べるためのものです。',
  };

  window.QuorvelTexts = { en, ja };
})();
