// A small client of Chromium's DevTools protocol over --remote-debugging-pipe: enough of
// a browser and its pages for the end-to-end test and the measurements (new pages,
// navigation, script in the page, mouse and keyboard input, the page's console), with
// nothing to install but node and chromium. Messages are JSON, each ended by a NUL
// byte; chromium reads them on its descriptor 3 and writes on its descriptor 4.
import { spawn } from 'node:child_process';

export const sleep = (ms) => new Promise((resume) => setTimeout(resume, ms));

// What chromium needs to behave the same run after run when nobody looks at it: no
// background networking, no throttling of a page that is not in front, no sound out.
const QUIET_ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
  '--no-first-run', '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-background-timer-throttling',
  '--disable-backgrounding-occluded-windows', '--disable-renderer-backgrounding',
  '--disable-popup-blocking', '--disable-default-apps', '--disable-extensions',
  '--password-store=basic', '--use-mock-keychain', '--hide-scrollbars', '--mute-audio',
  '--force-color-profile=srgb'];

// Keys by their DOM name: the Windows key code, the DOM code and the text they type.
const KEYS = {
  Enter: [13, 'Enter', '\r'], Backspace: [8, 'Backspace', ''], Escape: [27, 'Escape', ''],
  Tab: [9, 'Tab', ''], ArrowLeft: [37, 'ArrowLeft', ''], ArrowUp: [38, 'ArrowUp', ''],
  ArrowRight: [39, 'ArrowRight', ''], ArrowDown: [40, 'ArrowDown', ''],
};

function keyFor(key) {
  if (key in KEYS) return KEYS[key];
  if (/^[0-9]$/.test(key)) return [key.charCodeAt(0), `Digit${key}`, key];
  if (/^[a-zA-Z]$/.test(key)) return [key.toUpperCase().charCodeAt(0), `Key${key.toUpperCase()}`, key];
  if (key === ' ') return [32, 'Space', ' '];
  return [0, '', key];  // any other character: typed, with no key code
}

const BUTTON_BITS = { left: 1, right: 2, middle: 4 };

class Connection {
  constructor(child) {
    this.child = child;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.closed = false;
    let buffered = '';
    child.stdio[4].on('data', (chunk) => {
      const parts = (buffered + chunk.toString('utf8')).split('\0');
      buffered = parts.pop();
      for (const part of parts) this.receive(JSON.parse(part));
    });
    child.on('exit', () => {
      this.closed = true;
      for (const { reject } of this.pending.values()) reject(new Error('the browser has ended'));
      this.pending.clear();
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const waiter = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (!waiter) return;
      if (message.error) waiter.reject(new Error(`${waiter.method}: ${message.error.message}`));
      else waiter.resolve(message.result);
      return;
    }
    for (const listener of [...this.listeners]) listener(message);
  }

  send(method, params = {}, sessionId = undefined) {
    if (this.closed) return Promise.reject(new Error('the browser has ended'));
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    this.child.stdio[3].write(`${JSON.stringify(message)}\0`);
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject, method }));
  }

  // Calls handler with the params of each event of that name (of one session, if given).
  on(method, handler, sessionId = undefined) {
    const listener = (message) => {
      if (message.method === method && message.sessionId === sessionId) handler(message.params);
    };
    this.listeners.push(listener);
    return () => { this.listeners = this.listeners.filter((l) => l !== listener); };
  }
}

function describe(remote) {
  if (remote.value !== undefined) return String(remote.value);
  return remote.description || remote.type;
}

class Page {
  constructor(connection, targetId, sessionId) {
    this.connection = connection;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.closed = false;
    this.handlers = { console: [], pageerror: [], dialog: [] };
    this.position = { x: 0, y: 0 };
    this.pressed = 0;
    const on = (method, handler) => connection.on(method, handler, sessionId);
    on('Runtime.consoleAPICalled', (event) => {
      const text = event.args.map(describe).join(' ');
      for (const handler of this.handlers.console) handler({ text: () => text });
    });
    on('Runtime.exceptionThrown', ({ exceptionDetails: details }) => {
      const message = details.exception ? describe(details.exception) : details.text;
      for (const handler of this.handlers.pageerror) handler({ message });
    });
    on('Page.javascriptDialogOpening', () => {
      const dialog = { accept: () => this.send('Page.handleJavaScriptDialog', { accept: true }) };
      for (const handler of this.handlers.dialog) handler(dialog);
    });
    connection.on('Target.detachedFromTarget', (event) => {
      if (event.sessionId === sessionId) this.closed = true;
    });
    this.mouse = {
      move: (x, y) => this.moveMouse(x, y),
      down: (options = {}) => this.pressMouse('mousePressed', options.button || 'left'),
      up: (options = {}) => this.pressMouse('mouseReleased', options.button || 'left'),
      click: async (x, y) => {
        await this.moveMouse(x, y);
        await this.pressMouse('mousePressed', 'left');
        await this.pressMouse('mouseReleased', 'left');
      },
    };
    this.keyboard = {
      press: (key) => this.pressKey(key),
      type: async (text) => {
        for (const character of text) await this.pressKey(character);
      },
    };
  }

  send(method, params) {
    return this.connection.send(method, params, this.sessionId);
  }

  async start() {
    await Promise.all([this.send('Page.enable'), this.send('Runtime.enable')]);
  }

  on(name, handler) {
    this.handlers[name].push(handler);
  }

  isClosed() {
    return this.closed || this.connection.closed;
  }

  setViewport({ width, height, deviceScaleFactor = 1 }) {
    return this.send('Emulation.setDeviceMetricsOverride',
      { width, height, deviceScaleFactor, mobile: false });
  }

  // Resolves at the page's load event; the timer goes with it, so that it keeps no
  // process alive after the page has loaded.
  async goto(url, timeout = 30000) {
    let stop;
    let timer;
    const loaded = new Promise((resolve, reject) => {
      stop = this.connection.on('Page.loadEventFired', resolve, this.sessionId);
      timer = setTimeout(() => reject(new Error(`${url} did not load in ${timeout} ms`)), timeout);
    });
    try {
      const { errorText } = await this.send('Page.navigate', { url });
      if (errorText) throw new Error(`${url}: ${errorText}`);
      await loaded;
    } finally {
      stop();
      clearTimeout(timer);
    }
  }

  bringToFront() {
    return this.send('Page.bringToFront');
  }

  // Runs fn in the page with the given arguments (as JSON) and returns its value,
  // awaited; an exception in the page is thrown here.
  async evaluate(fn, ...args) {
    const expression = `(${fn})(...${JSON.stringify(args)})`;
    const { result, exceptionDetails } = await this.send('Runtime.evaluate',
      { expression, awaitPromise: true, returnByValue: true, userGesture: true });
    if (exceptionDetails) {
      const reason = exceptionDetails.exception ? describe(exceptionDetails.exception)
        : exceptionDetails.text;
      throw new Error(reason);
    }
    return result.value;
  }

  async waitForFunction(fn, { timeout = 30000 } = {}) {
    const until = Date.now() + timeout;
    for (;;) {
      if (await this.evaluate(fn)) return;
      if (Date.now() > until) throw new Error(`waited ${timeout} ms for ${fn}`);
      await sleep(20);
    }
  }

  evaluateOnNewDocument(fn, ...args) {
    return this.send('Page.addScriptToEvaluateOnNewDocument',
      { source: `(${fn})(...${JSON.stringify(args)})` });
  }

  moveMouse(x, y) {
    this.position = { x, y };
    const button = Object.keys(BUTTON_BITS).find((name) => this.pressed & BUTTON_BITS[name]);
    return this.send('Input.dispatchMouseEvent',
      { type: 'mouseMoved', x, y, button: button || 'none', buttons: this.pressed });
  }

  pressMouse(type, button) {
    if (type === 'mousePressed') this.pressed |= BUTTON_BITS[button];
    else this.pressed &= ~BUTTON_BITS[button];
    return this.send('Input.dispatchMouseEvent', { type, ...this.position, button,
      buttons: this.pressed, clickCount: 1 });
  }

  async pressKey(key) {
    const [code, domCode, text] = keyFor(key);
    if (code === 0) {
      await this.send('Input.insertText', { text });
      return;
    }
    const common = { key, code: domCode, windowsVirtualKeyCode: code, nativeVirtualKeyCode: code };
    await this.send('Input.dispatchKeyEvent', text
      ? { type: 'keyDown', text, unmodifiedText: text, ...common }
      : { type: 'rawKeyDown', ...common });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
  }

  async close() {
    if (this.isClosed()) return;
    await this.connection.send('Target.closeTarget', { targetId: this.targetId });
    this.closed = true;
  }
}

class Browser {
  constructor(child, connection) {
    this.child = child;
    this.connection = connection;
  }

  async newPage() {
    const { targetId } = await this.connection.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.connection.send('Target.attachToTarget',
      { targetId, flatten: true });
    const page = new Page(this.connection, targetId, sessionId);
    await page.start();
    return page;
  }

  // Asks the browser to end, and ends its process if it does not within 5 s.
  async close() {
    if (this.connection.closed) return;
    const ended = new Promise((resolve) => this.child.once('exit', resolve));
    this.connection.send('Browser.close').catch(() => {});
    const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
    await ended;
    clearTimeout(timer);
  }
}

// Starts chromium with its own profile directory; resolves once it answers.
export async function launch({ executablePath, userDataDir, args = [] }) {
  const child = spawn(executablePath,
    [...QUIET_ARGS, ...args, '--remote-debugging-pipe', `--user-data-dir=${userDataDir}`,
      'about:blank'],
    { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  let errors = '';
  child.stderr.on('data', (chunk) => { errors = (errors + chunk).slice(-2000); });
  const connection = new Connection(child);
  const started = new Promise((resolve, reject) => {
    child.once('error', reject);
    child.once('exit', (status) => reject(new Error(`${executablePath} ended (${status}): ${errors}`)));
    connection.send('Browser.getVersion').then(resolve, reject);
  });
  await started;
  return new Browser(child, connection);
}
