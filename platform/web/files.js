// The show's files for qzview's web page, fetched file by file. The site holds each
// file gzipped under files/ and a manifest, show.json: every file's size and packed
// size, the files the title needs (fetched at once) and the program's size (for the
// loading line). The page unpacks the files itself, so any static server will do, and
// writes them into its file system, where the program opens them (files.cpp waits for
// a file it opens that has not arrived yet).
//
// While a picture is shown, the files of the entries one click away (next, previous,
// first, last, and the one after next) are fetched in the background, a few at a time,
// and any file the program waits for goes first. Fetched files beyond a budget are
// dropped again, least recently used first, but never those of the entries near the
// current one nor the title's (the graphics sheet, the clicks' sounds): the page's
// memory stays bounded whatever the show's size.

var qzFiles = (function () {
  'use strict';

  var MANIFEST = 'show.json';
  var PROGRAM = 'qzview.wasm';
  var FILES = 'files/';
  var SHOW_DIRECTORY = '/show';
  var ATLAS = 'glyphs.atlas';
  var ATLAS_PATH = '/qzview/' + ATLAS;
  var SHOW_FILE = 'SCR1.BIL';
  var ATTEMPTS = 3;
  var RETRY_DELAYS_MS = [300, 1000];
  var KEPT_BYTES = 48 * 1024 * 1024;
  var PREFETCHES_AT_ONCE = 2;
  // The show file's columns (int32, little-endian, 500 entries each) by byte offset.
  var TABLE_SIZE = 500;
  var PICTURE_COUNT_AT = 4;
  var COLUMNS = { file: 8, box1: 2008, wave: 4008, box2: 12508, box3: 18508 };

  var manifest = null;  // { files: { NAME: [size, packed] }, first: [NAME], program: bytes }
  var held = new Map();  // NAME -> last use, for the files fetched that may be dropped
  var flights = new Map();  // NAME -> { promise, controller, demanded }
  var missing = new Set();
  var queued = [];  // the prefetches still to start, in order
  var near = new Set();  // the files of the entries near the current one
  var table = null;  // the show file's columns, read when first needed
  var current = 1;  // the entry shown, as the program's opens tell it
  var loading = { arrived: 0, total: 0, done: false };

  // ---------------------------------------------------------------- names

  function pathOf(name) {
    return name === ATLAS ? ATLAS_PATH : SHOW_DIRECTORY + '/' + name;
  }

  // The manifest's name of a path the program opens; null for a file not the site's.
  function nameOf(path) {
    if (path.charAt(0) !== '/') path = FS.cwd().replace(/\/$/, '') + '/' + path;
    if (path === ATLAS_PATH) return ATLAS;
    var slash = path.lastIndexOf('/');
    if (path.slice(0, slash) !== SHOW_DIRECTORY) return null;
    var name = path.slice(slash + 1);
    return manifest && manifest.files.hasOwnProperty(name) ? name : null;
  }

  function exists(name) {
    return FS.analyzePath(pathOf(name)).exists;
  }

  // The program's file names: five digits, or one leading zero for larger numbers.
  function numbered(prefix, number) {
    var digits = String(number);
    return prefix + (digits.length < 5 ? '0000'.slice(digits.length - 1) : '0') + digits + '.BMP';
  }

  // ---------------------------------------------------------------- downloads

  function megabytes(bytes) {
    return (bytes / 1e6).toFixed(1).replace('.', ',');
  }

  function arrived(bytes) {
    if (loading.done) return;
    loading.arrived += bytes;
    if (loading.total > 0 && qzFiles.onProgress) {
      qzFiles.onProgress('DIE SHOW WIRD GELADEN ... ' + megabytes(Math.min(loading.arrived, loading.total)) +
                         ' VON ' + megabytes(loading.total) + ' MB');
    }
  }

  function delay(ms) {
    return new Promise(function (resume) { setTimeout(resume, ms); });
  }

  async function receive(response) {
    var reader = response.body.getReader();
    var parts = [];
    var length = 0;
    for (;;) {
      var chunk = await reader.read();
      if (chunk.done) break;
      parts.push(chunk.value);
      length += chunk.value.length;
      arrived(chunk.value.length);
    }
    var bytes = new Uint8Array(length);
    var at = 0;
    parts.forEach(function (part) { bytes.set(part, at); at += part.length; });
    return bytes;
  }

  // A server that unpacks the file on its own way (Content-Encoding) hands over the
  // original bytes: those are taken as they are.
  async function unpack(packed, size, packedSize) {
    var bytes = packed;
    if (packed.length === packedSize && packed[0] === 0x1f && packed[1] === 0x8b) {
      var stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
      bytes = new Uint8Array(await new Response(stream).arrayBuffer());
    }
    if (bytes.length !== size) throw new Error('got ' + bytes.length + ' bytes of ' + size);
    return bytes;
  }

  // Tried ATTEMPTS times, with a pause between tries; an abort ends it at once.
  async function download(url, priority, signal, unpacked) {
    for (var attempt = 1; ; attempt++) {
      try {
        var response = await fetch(url, { priority: priority, signal: signal });
        if (!response.ok) throw new Error('HTTP ' + response.status);
        return await unpacked(await receive(response));
      } catch (error) {
        if (signal.aborted || attempt >= ATTEMPTS) throw error;
        await delay(RETRY_DELAYS_MS[attempt - 1]);
      }
    }
  }

  function store(name, bytes) {
    if (exists(name)) return;  // the program has written its own (a saved show file)
    FS.writeFile(pathOf(name), bytes, { canOwn: true });
    if (name !== SHOW_FILE && name !== ATLAS) held.set(name, performance.now());
  }

  // The file's download, started unless it is under way; demanded: the program waits.
  function obtain(name, demanded) {
    var flight = flights.get(name);
    if (flight && !flight.controller.signal.aborted) {
      if (demanded && !flight.demanded) {
        flight.demanded = true;
        holdPrefetchesBack(name);
      }
      return flight.promise;
    }
    if (demanded) holdPrefetchesBack(name);
    var controller = new AbortController();
    var sizes = manifest.files[name];
    flight = { demanded: demanded, controller: controller };
    flight.promise = download(FILES + encodeURIComponent(name) + '.gz', demanded ? 'high' : 'low',
      controller.signal, function (packed) { return unpack(packed, sizes[0], sizes[1]); })
      .then(function (bytes) {
        store(name, bytes);
        trim();
      }, function (error) {
        if (controller.signal.aborted) return;  // a prefetch put off, to be asked again
        missing.add(name);
        console.warn('qzview: ' + name + ' could not be downloaded (' + error.message +
                     '): the show goes on without it');
      })
      .finally(function () {
        if (flights.get(name) === flight) flights.delete(name);
        pump();
      });
    flights.set(name, flight);
    return flight.promise;
  }

  // What the program waits for gets the line to itself: the prefetches under way are
  // stopped and queued again.
  function holdPrefetchesBack(except) {
    flights.forEach(function (flight, name) {
      if (flight.demanded || name === except) return;
      flight.controller.abort();
      queued.unshift(name);
    });
  }

  function waiting() {
    for (var flight of flights.values()) if (flight.demanded) return true;
    return false;
  }

  function pump() {
    if (!loading.done || waiting()) return;
    while (queued.length > 0 && flights.size < PREFETCHES_AT_ONCE) {
      var name = queued.shift();
      if (!held.has(name) && !missing.has(name) && !flights.has(name) && !exists(name)) {
        obtain(name, false);
      }
    }
  }

  // Beyond the budget, the files least recently used go, except those near and the
  // title's.
  function trim() {
    var total = 0;
    held.forEach(function (_, name) { total += manifest.files[name][0]; });
    if (total <= KEPT_BYTES) return;
    var oldest = Array.from(held.keys())
      .filter(function (name) { return !near.has(name) && manifest.first.indexOf(name) < 0; })
      .sort(function (a, b) { return held.get(a) - held.get(b); });
    for (var i = 0; i < oldest.length && total > KEPT_BYTES; i++) {
      try {
        FS.unlink(pathOf(oldest[i]));
      } catch (error) {
        // gone already
      }
      held.delete(oldest[i]);
      total -= manifest.files[oldest[i]][0];
    }
  }

  // ---------------------------------------------------------------- the entries

  function readTable() {
    var bytes;
    try {
      bytes = FS.readFile(pathOf(SHOW_FILE));
    } catch (error) {
      return null;
    }
    var view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    var column = function (offset) {
      var values = new Int32Array(TABLE_SIZE);
      for (var i = 0; i < TABLE_SIZE && offset + 4 * i + 4 <= bytes.length; i++) {
        values[i] = view.getInt32(offset + 4 * i, true);
      }
      return values;
    };
    var count = bytes.length >= PICTURE_COUNT_AT + 4 ? view.getInt32(PICTURE_COUNT_AT, true) : 1;
    var read = { count: Math.max(1, Math.min(TABLE_SIZE - 1, count)) };
    Object.keys(COLUMNS).forEach(function (key) { read[key] = column(COLUMNS[key]); });
    return read;
  }

  function filesOf(entry) {
    var names = [];
    if (table.file[entry] > 0) names.push(numbered('scs', table.file[entry]));
    ['box1', 'box2', 'box3'].forEach(function (box) {
      if (table[box][entry] > 0) names.push(numbered('scb', table[box][entry]));
    });
    if (table.wave[entry] > 0) names.push('bsou' + table.wave[entry] + '.WAV');
    return names.filter(function (name) { return manifest.files.hasOwnProperty(name); });
  }

  // The entries one click away: next, previous, first, last, and the one after next.
  function reachable(entry) {
    var count = table.count;
    var wrap = function (n) { return ((n - 1) % count + count) % count + 1; };
    return [entry, wrap(entry + 1), wrap(entry - 1), 1, count, wrap(entry + 2)];
  }

  // An opened screenshot tells which entry is shown: of those showing it, the one
  // nearest the entry shown before.
  function entryShowing(number) {
    var best = 0;
    var bestDistance = Infinity;
    for (var entry = 1; entry <= table.count; entry++) {
      if (table.file[entry] !== number) continue;
      var distance = Math.abs(entry - current);
      distance = Math.min(distance, table.count - distance);
      if (distance < bestDistance) {
        best = entry;
        bestDistance = distance;
      }
    }
    return best;
  }

  // The files near the entry become the ones to fetch next; they start at once unless
  // the program is about to wait for a file of its own.
  function aimAt(entry, startNow) {
    current = entry;
    var wanted = [];
    reachable(entry).forEach(function (n) {
      filesOf(n).forEach(function (name) { if (wanted.indexOf(name) < 0) wanted.push(name); });
    });
    near = new Set(wanted);
    queued = wanted.filter(function (name) { return !held.has(name) && !missing.has(name); });
    flights.forEach(function (flight, name) {
      if (!flight.demanded && !near.has(name)) flight.controller.abort();
    });
    if (startNow) pump();
  }

  function noteOpened(name, atHand) {
    if (held.has(name)) held.set(name, performance.now());
    var screenshot = /^scs0*(\d+)\.BMP$/.exec(name);
    if (!screenshot) return;
    if (!table) table = readTable();
    if (!table) return;
    var entry = entryShowing(Number(screenshot[1]));
    if (entry > 0) aimAt(entry, atHand);
  }

  // ---------------------------------------------------------------- the program's side

  // Called as the program opens a file for reading: true when it need not wait.
  function atHand(path) {
    var name = nameOf(path);
    if (name === null) return true;
    var ready = missing.has(name) || exists(name);
    noteOpened(name, ready);
    return ready;
  }

  function fetchOpened(path) {
    var name = nameOf(path);
    return name === null ? Promise.resolve() : obtain(name, true);
  }

  // The title is on the screen: the loading line goes, the prefetches may start.
  function titleShown() {
    if (loading.done) return;
    loading.done = true;
    if (qzFiles.onProgress) qzFiles.onProgress('');
    if (!table) table = readTable();
    if (table) aimAt(current, true); else pump();
  }

  // After a save the entries may have changed.
  function showFileChanged() {
    table = readTable();
  }

  function programResponse(response) {
    if (!response.ok) throw new Error(PROGRAM + ': HTTP ' + response.status);
    var counted = response.body.pipeThrough(new TransformStream({
      transform: function (chunk, controller) {
        arrived(chunk.length);
        controller.enqueue(chunk);
      },
    }));
    return new Response(counted, { headers: { 'Content-Type': 'application/wasm' } });
  }

  // The program itself, counted in the loading line; compiled as it arrives.
  Module.instantiateWasm = function (imports, receiveInstance) {
    WebAssembly.instantiateStreaming(fetch(PROGRAM).then(programResponse), imports)
      .then(function (result) { receiveInstance(result.instance, result.module); })
      .catch(function (error) { abort('qzview: the program cannot be loaded: ' + error); });
    return {};
  };

  // The manifest before the program starts, and at once the files the title needs.
  async function start() {
    addRunDependency('qzview-manifest');
    FS.mkdir(SHOW_DIRECTORY);
    FS.mkdir(ATLAS_PATH.slice(0, ATLAS_PATH.lastIndexOf('/')));
    try {
      manifest = JSON.parse(new TextDecoder().decode(await download(MANIFEST, 'high',
        new AbortController().signal, function (bytes) { return bytes; })));
    } catch (error) {
      abort('qzview: the show cannot be loaded: ' + MANIFEST + ': ' + error.message);
      return;
    }
    loading.total = manifest.program;
    manifest.first.forEach(function (name) {
      if (manifest.files.hasOwnProperty(name)) loading.total += manifest.files[name][1];
    });
    manifest.first.forEach(function (name) {
      if (manifest.files.hasOwnProperty(name)) obtain(name, true);
    });
    removeRunDependency('qzview-manifest');
  }

  // The show file, before the page compares it with a saved one.
  function showFileArrived() {
    return manifest.files.hasOwnProperty(SHOW_FILE) ? obtain(SHOW_FILE, true) : Promise.resolve();
  }

  Module.preRun = Module.preRun || [];
  Module.preRun.push(start);

  return {
    atHand: atHand,
    fetchOpened: fetchOpened,
    titleShown: titleShown,
    showFileChanged: showFileChanged,
    showFileArrived: showFileArrived,
    onProgress: null,
    // For tests and measurements: what the page holds and knows.
    state: function () {
      return { current: current, held: Array.from(held.keys()), fetching: Array.from(flights.keys()),
               missing: Array.from(missing), loading: loading.done ? 'done' : 'loading' };
    },
  };
})();
