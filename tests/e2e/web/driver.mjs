// Drives qzview's web page in Debian's chromium for the end-to-end test, as a user
// would: mouse and keyboard through the DevTools protocol, frames read back from the
// page's canvas. Reads one command a line on standard input and answers each with one
// line on standard output: "ok [VALUE]" or "error REASON".
//
// Usage: node driver.mjs PROFILE_DIR
//   open URL          a new page at 1024x792 (the canvas 1:1 above the page's footer)
//   move DX DY        the mouse moved by DX, DY (the show holds the pointer lock)
//   down|up|click left|right
//   keys KEY...       key presses: Return, BackSpace, Escape, Tab, Left, Up, Right, Down
//   type TEXT         typed characters
//   shot FILE         the canvas as raw 8-bit RGB (1024 x 768 x 3 bytes)
//   showfile FILE     the page's SCR1.BIL, once the browser has stored it
//   state             "running", or "ended STATUS" once the program has ended
//   close             closes the browser
import fs from 'node:fs';
import readline from 'node:readline';
import { launch } from './cdp.mjs';

const SHOW_WIDTH = 1024;
const SHOW_HEIGHT = 768;
const FOOTER_HEIGHT = 24;
const KEY_NAMES = {
  Return: 'Enter', BackSpace: 'Backspace', Escape: 'Escape', Tab: 'Tab',
  Left: 'ArrowLeft', Up: 'ArrowUp', Right: 'ArrowRight', Down: 'ArrowDown',
};

let browser = null;
let page = null;
const mouse = { x: 0, y: 0 };

async function start(profile) {
  browser = await launch({
    executablePath: process.env.QZ_CHROMIUM || '/usr/bin/chromium',
    userDataDir: profile,
    args: ['--autoplay-policy=no-user-gesture-required'],
  });
}

async function open(url) {
  page = await browser.newPage();
  page.on('dialog', (dialog) => dialog.accept());
  page.on('console', (message) => process.stderr.write(`page: ${message.text()}\n`));
  page.on('pageerror', (error) => process.stderr.write(`page error: ${error.message}\n`));
  await page.setViewport({ width: SHOW_WIDTH, height: SHOW_HEIGHT + FOOTER_HEIGHT, deviceScaleFactor: 1 });
  await page.goto(url);
  await page.bringToFront();
  mouse.x = 0;
  mouse.y = 0;
}

// Relative motion reaches the program only through the pointer lock, which the show's
// first click asks for.
async function move(dx, dy) {
  await page.waitForFunction(() => document.pointerLockElement !== null, { timeout: 5000 });
  mouse.x += dx;
  mouse.y += dy;
  await page.mouse.move(mouse.x, mouse.y);
}

async function shot(file) {
  const base64 = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const rgb = new Uint8Array((rgba.length / 4) * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
      rgb[j] = rgba[i];
      rgb[j + 1] = rgba[i + 1];
      rgb[j + 2] = rgba[i + 2];
    }
    let text = '';
    for (let i = 0; i < rgb.length; i += 0x8000) text += String.fromCharCode(...rgb.subarray(i, i + 0x8000));
    return btoa(text);
  });
  fs.writeFileSync(file, Buffer.from(base64, 'base64'));
}

async function showFile(file) {
  const base64 = await page.evaluate(async () => {
    await qz.stored;
    const bytes = FS.readFile('/show/SCR1.BIL');
    return btoa(String.fromCharCode(...bytes));
  });
  fs.writeFileSync(file, Buffer.from(base64, 'base64'));
}

async function state() {
  if (!page || page.isClosed()) return 'ended -1';
  const status = await page.evaluate(() => (typeof qz === 'undefined' ? null : qz.exitStatus));
  return status === null ? 'running' : `ended ${status}`;
}

const commands = {
  open: (url) => open(url),
  move: (dx, dy) => move(Number(dx), Number(dy)),
  down: (button) => page.mouse.down({ button }),
  up: (button) => page.mouse.up({ button }),
  click: async (button) => {
    await page.mouse.down({ button });
    await page.mouse.up({ button });
  },
  keys: async (...names) => {
    for (const name of names) await page.keyboard.press(KEY_NAMES[name] || name);
  },
  type: (...words) => page.keyboard.type(words.join(' ')),
  shot: (file) => shot(file),
  showfile: (file) => showFile(file),
  state: () => state(),
  close: async () => {
    if (browser) await browser.close();
    browser = null;
  },
};

await start(process.argv[2]);
const lines = readline.createInterface({ input: process.stdin });
for await (const line of lines) {
  const [name, ...args] = line.trim().split(/\s+/);
  try {
    if (!(name in commands)) throw new Error(`unknown command ${name}`);
    const value = await commands[name](...args);
    process.stdout.write(`ok${value === undefined ? '' : ` ${value}`}\n`);
  } catch (error) {
    process.stdout.write(`error ${String(error.message).split('\n')[0]}\n`);
  }
  if (name === 'close') break;
}
if (browser) await browser.close();
