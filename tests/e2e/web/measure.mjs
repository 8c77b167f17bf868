// Measures the show's web page in headless chromium and prints a table: page load to
// the title on the canvas, the transition between two pictures, and what one present
// of the whole canvas costs the browser. Not a test: it fails only when it cannot
// measure. The page's presents are timed by wrapping the device's qz.showRect.
//
// Usage: node measure.mjs URL [LOADS]   (a site of tools/web/build.sh, served)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, sleep } from './cdp.mjs';

const url = process.argv[2];
const loads = Number(process.argv[3] || 5);
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qzview-measure-'));
const browser = await launch({
  executablePath: process.env.QZ_CHROMIUM || '/usr/bin/chromium',
  userDataDir: profile,
});
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const summary = (values) =>
  `${median(values).toFixed(2)} ms (${Math.min(...values).toFixed(2)}-${Math.max(...values).toFixed(2)}, n=${values.length})`;

// Points of the title screen, read once it has settled.
const POINTS = [[100, 100], [512, 300], [900, 500], [20, 700], [300, 705], [1000, 20]];

async function newPage() {
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 792, deviceScaleFactor: 1 });
  return page;
}

// Watches the canvas each frame until the given points show the given colours; the
// time is the page's own, from the start of its navigation.
async function loadToTitle(expected) {
  const page = await newPage();
  await page.evaluateOnNewDocument((points, colours) => {
    const watch = () => {
      const canvas = document.getElementById('screen');
      if (canvas) {
        const context = canvas.getContext('2d');
        const met = points.every(([x, y], i) =>
          context.getImageData(x, y, 1, 1).data.slice(0, 3).join(' ') === colours[i]);
        if (met) {
          window.qzTitleAt = performance.now();
          return;
        }
      }
      requestAnimationFrame(watch);
    };
    requestAnimationFrame(watch);
  }, POINTS, expected);
  await page.goto(url);
  await page.waitForFunction(() => window.qzTitleAt !== undefined, { timeout: 60000 });
  const at = await page.evaluate(() => window.qzTitleAt);
  await page.close();
  return at;
}

async function titleColours() {
  const page = await newPage();
  await page.goto(url);
  await sleep(4000);
  const colours = await page.evaluate((points) => {
    const context = document.getElementById('screen').getContext('2d');
    return points.map(([x, y]) => context.getImageData(x, y, 1, 1).data.slice(0, 3).join(' '));
  }, POINTS);
  await page.close();
  return colours;
}

// The transitions to the next picture: the presents from the first strip of the new
// picture to its last, and the cost of each present of the whole canvas.
async function transitions(count) {
  const page = await newPage();
  await page.goto(url);
  await sleep(4000);
  await page.evaluate(() => {
    window.qzPresents = [];
    const show = qz.showRect;
    qz.showRect = (pointer, x, y, width, height) => {
      const start = performance.now();
      show(pointer, x, y, width, height);
      window.qzPresents.push({ start, end: performance.now(), width, height });
    };
  });
  await page.mouse.click(10, 10);  // the title ends, with the show's first picture
  await sleep(1500);
  const spans = [];
  for (let i = 0; i < count; i++) {
    await page.evaluate(() => { window.qzPresents = []; });
    // the navigation panel's "next" button, with the pointer locked: from (497, 369)
    await page.mouse.move(10 + (981 - 497) / 2, 10 + (731 - 369) / 2);
    await page.mouse.down();
    await page.mouse.up();
    await sleep(1500);
    const presents = await page.evaluate(() => window.qzPresents);
    const strips = presents.filter((p) => p.width < 1024 && p.height === 768);
    if (strips.length > 0) spans.push(strips[strips.length - 1].end - strips[0].start);
    await page.mouse.move(10, 10);
  }
  const whole = await page.evaluate(async () => {
    const canvas = document.getElementById('screen');
    const context = canvas.getContext('2d');
    const image = context.getImageData(0, 0, 1024, 768);
    const times = [];
    for (let i = 0; i < 20; i++) {
      const start = performance.now();
      context.putImageData(image, 0, 0);
      times.push(performance.now() - start);
    }
    return times;
  });
  await page.close();
  return { spans, whole };
}

try {
  const expected = await titleColours();
  const starts = [];
  for (let i = 0; i < loads; i++) starts.push(await loadToTitle(expected));
  const { spans, whole } = await transitions(6);
  console.log(`page load to the title on the canvas: ${summary(starts)}`);
  console.log(`transition, first to last strip:      ${spans.length ? summary(spans) : 'not seen'}`);
  console.log(`one present of the whole canvas:      ${summary(whole)} (putImageData)`);
} finally {
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
