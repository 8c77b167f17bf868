// The show on a phone (Chromium's touch emulation, 390x844, then turned to 844x390):
// the show must fit the screen with bars in either orientation; a tap must click
// where the finger is (the title ends, the forward button brings the next picture), a
// long press must click the right button (the menu opens), and a tap on ENDE ends the
// show. The profile must hold a saved show file for the page: after the end, the
// footer's download link must take a click (the saved file arrives as a download)
// and the keyboard focus by Tab. Exits 0 when all hold.
//
// Usage: node phone.mjs URL PROFILE_DIR SAVED_SHOW_FILE DOWNLOAD_DIR
import fs from 'node:fs';
import path from 'node:path';
import { launch, sleep } from './cdp.mjs';
import { titleDrawn } from './show_page.mjs';

const [url, profile, savedShowFile, downloads] = process.argv.slice(2);
const FOOTER_HEIGHT = 24;
const START = [512, 384];
const FORWARD = [981, 731];
const MENU_END = [501, 145];
const MENU = { left: 100, top: 100, right: 700, bottom: 550 };

const failures = [];
const check = (held, text) => { if (!held) failures.push(text); };

const browser = await launch({ executablePath: process.env.QZ_CHROMIUM || '/usr/bin/chromium',
  userDataDir: profile });

async function turn(page, width, height) {
  await page.send('Emulation.setDeviceMetricsOverride',
    { width, height, deviceScaleFactor: 3, mobile: true });
  await sleep(300);
  const box = await page.evaluate(() => {
    const rect = document.getElementById('screen').getBoundingClientRect();
    return { left: rect.left, top: rect.top, width: rect.width, height: rect.height,
      viewWidth: window.visualViewport.width, viewHeight: window.visualViewport.height };
  });
  const fits = box.left >= 0 && box.top >= 0 && box.left + box.width <= box.viewWidth + 0.5 &&
    box.top + box.height <= box.viewHeight - FOOTER_HEIGHT + 0.5;
  const fills = Math.max(box.width / box.viewWidth, box.height / (box.viewHeight - FOOTER_HEIGHT)) > 0.98;
  const proportional = Math.abs(box.width / box.height - 4 / 3) < 0.01;
  check(fits && fills && proportional, `at ${width}x${height} the show lies at ${JSON.stringify(box)}`);
  return box;
}

// Show pixels to the page's points, on the canvas as it lies now.
function at(box, [x, y]) {
  return { x: box.left + (x * box.width) / 1024, y: box.top + (y * box.height) / 768 };
}

async function touch(page, point, holdMs) {
  await page.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [point] });
  await sleep(holdMs);
  await page.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

// Every 64th pixel of the canvas, as RGB.
function samples(page) {
  return page.evaluate(() => {
    const data = document.getElementById('screen').getContext('2d').getImageData(0, 0, 1024, 768).data;
    const picked = [];
    for (let i = 0; i < data.length; i += 4 * 64) picked.push(data[i], data[i + 1], data[i + 2]);
    return picked;
  });
}

function changedShare(before, after) {
  let changed = 0;
  for (let i = 0; i < before.length; i += 3) {
    if (before[i] !== after[i] || before[i + 1] !== after[i + 1] || before[i + 2] !== after[i + 2]) changed++;
  }
  return changed / (before.length / 3);
}

// The share of samples changed inside the menu's panel and outside it.
function menuChange(before, after) {
  const inside = { changed: 0, all: 0 };
  const outside = { changed: 0, all: 0 };
  for (let i = 0; i < before.length; i += 3) {
    const pixel = (i / 3) * 64;
    const x = pixel % 1024;
    const y = Math.floor(pixel / 1024);
    const within = x >= MENU.left && x < MENU.right && y >= MENU.top && y < MENU.bottom;
    const side = within ? inside : outside;
    side.all++;
    if (before[i] !== after[i] || before[i + 1] !== after[i + 1] || before[i + 2] !== after[i + 2]) side.changed++;
  }
  return { inside: inside.changed / inside.all, outside: outside.changed / outside.all };
}

try {
  const page = await browser.newPage();
  await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 1 });
  await page.send('Emulation.setDeviceMetricsOverride',
    { width: 390, height: 844, deviceScaleFactor: 3, mobile: true });
  await page.goto(url);
  await page.waitForFunction(titleDrawn, { timeout: 20000 });
  await sleep(1000);
  await turn(page, 844, 390);
  const box = await turn(page, 390, 844);

  let before = await samples(page);
  await touch(page, at(box, START), 50);
  await sleep(1500);
  let after = await samples(page);
  check(changedShare(before, after) > 0.25, 'a tap did not end the title');

  before = after;
  await touch(page, at(box, FORWARD), 50);
  await sleep(1500);
  after = await samples(page);
  check(changedShare(before, after) > 0.25, 'a tap on the forward button brought no new picture');

  before = after;
  await touch(page, at(box, START), 700);
  await sleep(1000);
  after = await samples(page);
  const menu = menuChange(before, after);
  check(menu.inside > 0.25 && menu.outside < 0.05,
    `a long press did not open the menu alone (${JSON.stringify(menu)})`);

  await touch(page, at(box, MENU_END), 50);
  await page.waitForFunction(() => qz.exitStatus !== null, { timeout: 5000 });
  check(await page.evaluate(() => qz.exitStatus) === 0, 'ENDE did not end the show with status 0');

  // After the end: the download link takes the keyboard focus and a click.
  const link = await page.evaluate(() => {
    const rect = document.getElementById('download').getBoundingClientRect();
    const x = rect.left + rect.width / 2;
    const y = rect.top + rect.height / 2;
    return { x, y, hit: document.elementFromPoint(x, y)?.id };
  });
  check(link.hit === 'download', `a click on the download link lands on "${link.hit}"`);
  await page.keyboard.press('Tab');
  const focused = await page.evaluate(() => document.activeElement && document.activeElement.id);
  check(focused === 'download', `Tab after the end focuses "${focused}"`);
  fs.mkdirSync(downloads, { recursive: true });
  await browser.connection.send('Browser.setDownloadBehavior',
    { behavior: 'allow', downloadPath: downloads });
  await page.mouse.click(link.x, link.y);
  const file = path.join(downloads, 'SCR1.BIL');
  for (let i = 0; i < 50 && !fs.existsSync(file); i++) await sleep(100);
  check(fs.existsSync(file) && fs.readFileSync(file).equals(fs.readFileSync(savedShowFile)),
    'the link did not download the saved show file');
} catch (error) {
  failures.push(error.message);
} finally {
  await browser.close();
}
if (failures.length > 0) {
  for (const failure of failures) console.error(`on a phone: ${failure}`);
  process.exit(1);
}
console.log('on a phone: the show fits, tap and long press click, the download link works after the end');
