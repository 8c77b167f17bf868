// The browser side of qzview's web device, built into the program's JavaScript: the
// canvas and how it fits the window, the input events queued for the program, the
// Web Audio output, the show file kept in the browser's storage, and the page's own
// lines below the show. The device's C++ reaches it through `qz`.
//
// The page (index.html) holds #screen (a 1024x768 canvas), #footer with #status and
// the #download link, and #ended; Module.qzShowName names the show.

var qz = (function () {
  'use strict';

  var SHOW_WIDTH = 1024;
  var SHOW_HEIGHT = 768;
  var SHOW_DIRECTORY = '/show';
  var SAVED_DIRECTORY = '/saved';
  var SHOW_FILE = 'SCR1.BIL';
  // The event kinds of input.cpp.
  var MOTION = 1, BUTTON = 2, WHEEL = 3, KEY = 4, CHAR = 5, TEXT = 6, FOCUS = 7;
  var ARROWS = { ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28 };
  var EDITING_KEYS = { Enter: 13, Backspace: 8, Escape: 27, Tab: 9 };
  // Browser button numbers to the program's: left, right, middle, fourth.
  var BUTTONS = { 0: 0, 2: 1, 1: 2, 3: 3 };

  var events = [];
  var wake = null;
  var ended = false;
  var relativeWanted = false;
  var lastPosition = null;  // the pointer in show pixels, while not locked
  var carry = { x: 0, y: 0 };
  var image = null;
  var audio = null;
  var savedPath = null;
  var downloadUrl = null;

  function element(id) { return document.getElementById(id); }
  function canvas() { return element('screen'); }
  function setStatus(text) {
    var status = element('status');
    if (status) status.textContent = text;
  }

  function queue(kind, a, b) {
    if (ended) return;
    events.push([kind, a | 0, b | 0]);
    if (wake) {
      var resume = wake;
      wake = null;
      resume();
    }
  }

  // ---------------------------------------------------------------- the screen

  // What the viewer sees of the page: on phones the visual viewport, which the
  // on-screen keyboard and the browser's bars may make smaller than the window.
  function room() {
    var view = window.visualViewport;
    return view ? { width: view.width, height: view.height, left: view.offsetLeft, top: view.offsetTop }
      : { width: window.innerWidth, height: window.innerHeight, left: 0, top: 0 };
  }

  // As large as the visible page allows above the footer, in the show's proportions,
  // centred on black; crisp whenever each show pixel covers a whole number of screen
  // pixels.
  function fit() {
    var screen = canvas();
    var footer = element('footer');
    if (!screen) return;
    var seen = room();
    var ratio = window.devicePixelRatio || 1;
    var footerHeight = footer ? footer.offsetHeight : 0;
    var roomWidth = seen.width * ratio;
    var roomHeight = Math.max(1, seen.height - footerHeight) * ratio;
    var scale = Math.min(roomWidth / SHOW_WIDTH, roomHeight / SHOW_HEIGHT);
    var width = Math.floor(SHOW_WIDTH * scale) / ratio;
    var height = Math.floor(SHOW_HEIGHT * scale) / ratio;
    screen.style.width = width + 'px';
    screen.style.height = height + 'px';
    screen.style.left = seen.left + Math.floor((seen.width - width) / 2) + 'px';
    screen.style.top = seen.top + Math.floor((seen.height - footerHeight - height) / 2) + 'px';
    screen.style.imageRendering = scale === Math.floor(scale) ? 'pixelated' : 'auto';
  }

  // The program's RGBA pixels lie in its memory, which may have grown since.
  function showRect(pointer, x, y, width, height) {
    var buffer = HEAPU8.buffer;
    if (!image || image.data.buffer !== buffer || image.pointer !== pointer) {
      var pixels = new Uint8ClampedArray(buffer, pointer, SHOW_WIDTH * SHOW_HEIGHT * 4);
      image = new ImageData(pixels, SHOW_WIDTH, SHOW_HEIGHT);
      image.pointer = pointer;
    }
    canvas().getContext('2d').putImageData(image, 0, 0, x, y, width, height);
  }

  // A pause of a few milliseconds (the transition's) cannot wait for a timer, which the
  // browser lets fire no sooner than 4 ms after a few in a row: it yields to the
  // browser through messages until the time has come.
  var channel = new MessageChannel();
  var yielded = [];
  channel.port1.onmessage = function () { var resume = yielded.shift(); if (resume) resume(); };
  function yieldOnce() {
    return new Promise(function (resume) {
      yielded.push(resume);
      channel.port2.postMessage(0);
    });
  }
  async function sleepUntil(untilMs) {
    for (;;) {
      var left = untilMs - performance.now();
      if (left <= 0) return;
      if (left > 6) {
        await new Promise(function (resume) { setTimeout(resume, left - 4); });
      } else {
        await yieldOnce();
      }
    }
  }

  // ---------------------------------------------------------------- input

  // The program waits for input once its title is up.
  function nextEvent() {
    qzFiles.titleShown();
    if (events.length > 0) return Promise.resolve();
    return new Promise(function (resume) { wake = resume; });
  }

  function locked() { return document.pointerLockElement === canvas(); }

  function setRelativeMouse(on) {
    relativeWanted = on;
    if (!on && locked()) document.exitPointerLock();
  }

  // Without the lock the program gets the pointer's motion over the canvas, in show
  // pixels; it moves its own pointer two pixels a count, so half of it, the odd
  // remainder carried over, keeps its pointer under the browser's.
  function onMouseMove(event) {
    if (locked()) {
      if (event.movementX !== 0 || event.movementY !== 0) queue(MOTION, event.movementX, event.movementY);
      return;
    }
    var box = canvas().getBoundingClientRect();
    var position = {
      x: (event.clientX - box.left) * SHOW_WIDTH / box.width,
      y: (event.clientY - box.top) * SHOW_HEIGHT / box.height,
    };
    if (lastPosition) {
      carry.x += position.x - lastPosition.x;
      carry.y += position.y - lastPosition.y;
      var dx = Math.trunc(carry.x / 2), dy = Math.trunc(carry.y / 2);
      carry.x -= 2 * dx;
      carry.y -= 2 * dy;
      if (dx !== 0 || dy !== 0) queue(MOTION, dx, dy);
    }
    lastPosition = position;
  }

  function onMouseDown(event) {
    event.preventDefault();
    canvas().focus();
    resumeAudio();
    if (relativeWanted && !locked() && canvas().requestPointerLock) {
      var asked = canvas().requestPointerLock();
      if (asked && asked.catch) asked.catch(function () {});
    }
    if (event.button in BUTTONS) queue(BUTTON, BUTTONS[event.button], 1);
  }

  // A finger: the program's pointer goes where it touches (first to the top left
  // corner, where it stops, then the touch's distance from there), a tap is a left
  // click there and a press held LONG_PRESS_MS a right click.
  var LONG_PRESS_MS = 500;
  var touch = null;

  function touchPoint(event) {
    var finger = event.changedTouches[0];
    var box = canvas().getBoundingClientRect();
    return {
      x: (finger.clientX - box.left) * SHOW_WIDTH / box.width,
      y: (finger.clientY - box.top) * SHOW_HEIGHT / box.height,
    };
  }

  function pointTo(from, to) {
    var dx = Math.round((to.x - from.x) / 2), dy = Math.round((to.y - from.y) / 2);
    if (dx !== 0 || dy !== 0) queue(MOTION, dx, dy);
  }

  function onTouchStart(event) {
    event.preventDefault();
    if (touch || event.touches.length !== 1) return;
    canvas().focus();
    resumeAudio();
    var at = touchPoint(event);
    queue(MOTION, -SHOW_WIDTH, -SHOW_HEIGHT);
    pointTo({ x: 0, y: 0 }, at);
    touch = { at: at, timer: setTimeout(function () {
      if (!touch) return;
      touch.long = true;
      queue(BUTTON, BUTTONS[2], 1);
      queue(BUTTON, BUTTONS[2], 0);
    }, LONG_PRESS_MS) };
  }

  function onTouchMove(event) {
    event.preventDefault();
    if (!touch) return;
    var at = touchPoint(event);
    pointTo(touch.at, at);
    touch.at = at;
  }

  function onTouchEnd(event) {
    event.preventDefault();
    if (!touch) return;
    clearTimeout(touch.timer);
    if (!touch.long && event.type === 'touchend') {
      queue(BUTTON, BUTTONS[0], 1);
      queue(BUTTON, BUTTONS[0], 0);
    }
    touch = null;
  }

  function onMouseUp(event) {
    if (event.button in BUTTONS) queue(BUTTON, BUTTONS[event.button], 0);
  }

  function onWheel(event) {
    event.preventDefault();
    if (event.deltaY !== 0) queue(WHEEL, event.deltaY < 0 ? 1 : -1, 0);
  }

  // Arrow keys and the prompt's editing keys as on the desktop, typed characters by
  // their code point; the browser's own use of these keys (scrolling, focus, going
  // back) is kept from it. Keys on the download link stay the browser's.
  function onKeyDown(event) {
    if (ended || (event.target && event.target.id === 'download')) return;
    resumeAudio();
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    if (event.key in ARROWS) {
      queue(KEY, ARROWS[event.key], 0);
    } else if (event.key in EDITING_KEYS) {
      queue(CHAR, EDITING_KEYS[event.key], 0);
    } else if (event.key.length > 0 && event.key.codePointAt(0) >= 0x20 &&
               String.fromCodePoint(event.key.codePointAt(0)) === event.key) {
      queue(TEXT, event.key.codePointAt(0), 0);
    } else {
      return;
    }
    event.preventDefault();
  }

  function listen() {
    var screen = canvas();
    screen.addEventListener('mousedown', onMouseDown);
    screen.addEventListener('contextmenu', function (event) { event.preventDefault(); });
    screen.addEventListener('wheel', onWheel, { passive: false });
    screen.addEventListener('touchstart', onTouchStart, { passive: false });
    screen.addEventListener('touchmove', onTouchMove, { passive: false });
    screen.addEventListener('touchend', onTouchEnd, { passive: false });
    screen.addEventListener('touchcancel', onTouchEnd, { passive: false });
    document.addEventListener('mousemove', onMouseMove);
    document.addEventListener('mouseup', onMouseUp);
    document.addEventListener('keydown', onKeyDown);
    document.addEventListener('pointerlockchange', function () { lastPosition = null; });
    window.addEventListener('focus', function () { queue(FOCUS, 1, 0); });
    window.addEventListener('blur', function () { queue(FOCUS, 0, 0); });
    window.addEventListener('resize', fit);
    if (window.visualViewport) window.visualViewport.addEventListener('resize', fit);
    qzFiles.onProgress = setStatus;
    fit();
  }

  // ---------------------------------------------------------------- sound

  // The mixer's 11,025 frames a second go out as they are; the browser resamples them.
  // It lets the sound start only after the user's first click or key.
  function openAudio(rate) {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return false;
    try {
      var context = new Context({ sampleRate: rate });
      var node = context.createScriptProcessor(1024, 0, 2);
      node.onaudioprocess = function (event) {
        var left = event.outputBuffer.getChannelData(0);
        var right = event.outputBuffer.getChannelData(1);
        var frames = left.length;
        var at = Module._web_mix_audio(frames) >> 1;
        for (var i = 0; i < frames; i++) {
          left[i] = HEAP16[at + 2 * i] / 32768;
          right[i] = HEAP16[at + 2 * i + 1] / 32768;
        }
      };
      node.connect(context.destination);
      audio = { context: context, node: node };
      return true;
    } catch (error) {
      console.warn('qzview: no sound:', error);
      return false;
    }
  }

  function resumeAudio() {
    if (audio && audio.context.state === 'suspended') audio.context.resume();
  }

  function closeAudio() {
    if (!audio) return;
    audio.node.disconnect();
    audio.context.close();
    audio = null;
  }

  function traceSound(line) {
    if (/[?&]soundtrace\b/.test(location.search)) console.log('sound: ' + line);
  }

  // ---------------------------------------------------------------- the show file

  // FNV-1a, as hex: short names for the stored copies.
  function hash(bytes) {
    var h = 0x811c9dc5;
    for (var i = 0; i < bytes.length; i++) {
      h ^= bytes[i];
      h = Math.imul(h, 0x01000193) >>> 0;
    }
    return ('0000000' + h.toString(16)).slice(-8);
  }

  function readShowFile() {
    try {
      return FS.readFile(SHOW_DIRECTORY + '/' + SHOW_FILE);
    } catch (error) {
      return new Uint8Array(0);
    }
  }

  function sync(populate) {
    return new Promise(function (resume) {
      FS.syncfs(populate, function (error) {
        if (error) console.warn('qzview: the browser storage failed:', error);
        resume();
      });
    });
  }

  // The stored copy belongs to this page, this show and the show file it was packed
  // with: several shows on one site keep their own, and a show put up anew starts
  // from its new file.
  function storageKey() {
    var name = location.pathname + '|' + (Module.qzShowName || '') + '|' + hash(readShowFile());
    return hash(new TextEncoder().encode(name));
  }

  async function restoreShowFile() {
    await qzFiles.showFileArrived();
    try {
      FS.mkdir(SAVED_DIRECTORY);
      FS.mount(IDBFS, {}, SAVED_DIRECTORY);
      await sync(true);
      var directory = SAVED_DIRECTORY + '/' + storageKey();
      savedPath = directory + '/' + SHOW_FILE;
      if (!FS.analyzePath(directory).exists) FS.mkdir(directory);
      if (FS.analyzePath(savedPath).exists) {
        FS.writeFile(SHOW_DIRECTORY + '/' + SHOW_FILE, FS.readFile(savedPath));
        offerDownload();
      }
    } catch (error) {
      console.warn('qzview: the browser storage cannot be used:', error);
      savedPath = null;
    }
  }

  // After a save: into the browser's storage, and offered for download.
  function keepShowFile() {
    var bytes = readShowFile();
    qzFiles.showFileChanged();
    offerDownload();
    if (!savedPath) return;
    FS.writeFile(savedPath, bytes);
    qz.stored = sync(false);
  }

  function offerDownload() {
    var link = element('download');
    if (!link) return;
    if (downloadUrl) URL.revokeObjectURL(downloadUrl);
    downloadUrl = URL.createObjectURL(new Blob([readShowFile()], { type: 'application/octet-stream' }));
    link.href = downloadUrl;
    link.hidden = false;
  }

  // ---------------------------------------------------------------- the end

  function showEnded(status) {
    ended = true;
    qz.exitStatus = status;
    if (locked()) document.exitPointerLock();
    canvas().style.display = 'none';
    var notice = element('ended');
    if (notice) notice.style.display = 'flex';
  }

  function alertUser(text) {
    console.error(text);
    window.alert(text);
  }

  Module.preRun = Module.preRun || [];
  Module.preRun.push(listen);
  Module.onAbort = function () { setStatus('DIE SHOW KANN NICHT LAUFEN.'); };

  return {
    canvas: canvas,
    events: events,
    showRect: showRect,
    sleepUntil: sleepUntil,
    nextEvent: nextEvent,
    setRelativeMouse: setRelativeMouse,
    openAudio: openAudio,
    closeAudio: closeAudio,
    traceSound: traceSound,
    restoreShowFile: restoreShowFile,
    keepShowFile: keepShowFile,
    showEnded: showEnded,
    alert: alertUser,
    exitStatus: null,
    stored: Promise.resolve(),
  };
})();
