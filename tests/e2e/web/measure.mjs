// Measures the show's web page in headless chromium and prints a table: the site's
// size, page load to the title on the canvas and the bytes fetched until then, the
// transition between two pictures, the time from a "next" press to the new picture
// complete on the canvas (after looking at each picture for a second), the page's
// memory after a number of pictures, and one present of the whole canvas. Not a
// test: it fails only when it cannot measure. The page's presents are timed by
// wrapping the device's qz.showRect; each load starts with an empty browser cache.
//
// Usage: node measure.mjs URL [--loads N] [--pictures N] [--network MBIT,MS] [--site DIR]
//   --network 100,20   the page's network held to 100 Mbit/s with 20 ms latency
//   --site DIR         the served folder, for the site's size
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, sleep } from './cdp.mjs';
import { MIB, holdNetwork, pageMemory, pressNext, recordPresents, strips, titleDrawn }
  from './show_page.mjs';

function options(argv) {
  const parsed = { url: argv[0], loads: 5, pictures: 30, network: null, site: null };
  for (let i = 1; i < argv.length; i += 2) {
    const value = argv[i + 1];
    if (argv[i] === '--loads') parsed.loads = Number(value);
    else if (argv[i] === '--pictures') parsed.pictures = Number(value);
    else if (argv[i] === '--site') parsed.site = value;
    else if (argv[i] === '--network') {
      const [mbit, ms] = value.split(',').map(Number);
      parsed.network = { mbit, ms };
    } else throw new Error(`unknown option ${argv[i]}`);
  }
  if (!parsed.url) throw new Error('usage: node measure.mjs URL [--loads N] [--pictures N] [--network MBIT,MS] [--site DIR]');
  return parsed;
}

const settings = options(process.argv.slice(2));
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
const summary = (values, unit = 'ms', digits = 2) =>
  `${median(values).toFixed(digits)} ${unit} (${Math.min(...values).toFixed(digits)}-` +
  `${Math.max(...values).toFixed(digits)}, n=${values.length})`;

// Points of the title screen, read once it has settled.
const POINTS = [[100, 100], [512, 300], [900, 500], [20, 700], [300, 705], [1000, 20]];

async function newPage() {
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 792, deviceScaleFactor: 1 });
  await page.send('Network.enable');
  await page.send('Network.clearBrowserCache');
  if (settings.network) await holdNetwork(page, settings.network.mbit, settings.network.ms);
  return page;
}

// Watches the canvas each frame until the given points show the given colours; the
// time is the page's own, from the start of its navigation, and the bytes are those
// of every response complete by then.
async function loadToTitle(expected) {
  const page = await newPage();
  await page.evaluateOnNewDocument((points, colours) => {
    performance.setResourceTimingBufferSize(10000);
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
  await page.goto(settings.url, 600000);
  await page.waitForFunction(() => window.qzTitleAt !== undefined, { timeout: 600000 });
  const result = await page.evaluate(() => {
    const entries = [...performance.getEntriesByType('navigation'),
      ...performance.getEntriesByType('resource')];
    const bytes = entries.filter((entry) => entry.responseEnd <= window.qzTitleAt)
      .reduce((sum, entry) => sum + entry.transferSize, 0);
    return { at: window.qzTitleAt, bytes };
  });
  await page.close();
  return result;
}

async function openAtTitle() {
  const page = await newPage();
  await page.goto(settings.url, 600000);
  await page.waitForFunction(titleDrawn, { timeout: 600000 });
  await sleep(2000);
  return page;
}

async function titleColours() {
  const page = await openAtTitle();
  const colours = await page.evaluate((points) => {
    const context = document.getElementById('screen').getContext('2d');
    return points.map(([x, y]) => context.getImageData(x, y, 1, 1).data.slice(0, 3).join(' '));
  }, POINTS);
  await page.close();
  return colours;
}

// Resolves once no present has come for quietMs; the presents since the last reset.
async function settled(page, quietMs, timeoutMs = 20000) {
  const until = Date.now() + timeoutMs;
  for (;;) {
    await sleep(50);
    const presents = await page.evaluate(() => window.qzPresents);
    const last = presents.length ? presents[presents.length - 1].end : null;
    const now = await page.evaluate(() => performance.now());
    if (last !== null && now - last >= quietMs) return presents;
    if (Date.now() > until) return presents;
  }
}

// "next" pressed count times, each after the picture has been looked at for a second:
// the time from the press to the new picture's last strip on the canvas, the first to
// last strip, and the page's memory at the end. Then the cost of a whole present.
async function pictures(count) {
  const page = await openAtTitle();
  await recordPresents(page);
  await page.mouse.click(10, 10);  // the title ends, with the show's first picture
  await settled(page, 300);
  await sleep(1000);
  const toComplete = [];
  const transitions = [];
  for (let i = 0; i < count; i++) {
    await page.evaluate(() => { window.qzPresents = []; });
    await pressNext(page);
    const presents = await settled(page, 300);
    const pressedAt = await page.evaluate(() => window.qzPressedAt);
    const transition = strips(presents);
    if (transition.length > 0) {
      toComplete.push(transition[transition.length - 1].end - pressedAt);
      transitions.push(transition[transition.length - 1].end - transition[0].start);
    }
    await page.mouse.move(10, 10);
    await sleep(1000 - 300);
  }
  const used = await pageMemory(page);
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
  return { toComplete, transitions, used, whole };
}

function siteSize(folder) {
  const apparent = Number(execFileSync('du', ['-sb', folder]).toString().split('\t')[0]);
  const linked = Number(execFileSync('du', ['-slb', folder]).toString().split('\t')[0]);
  return `${(linked / MIB).toFixed(1)} MiB (${(apparent / MIB).toFixed(1)} MiB on disk, hard links once)`;
}

try {
  const expected = await titleColours();
  const loads = [];
  for (let i = 0; i < settings.loads; i++) loads.push(await loadToTitle(expected));
  const run = await pictures(settings.pictures);
  const network = settings.network ? `${settings.network.mbit} Mbit/s, ${settings.network.ms} ms`
    : 'not held back';
  const used = run.used;
  console.log(`network:                              ${network}`);
  if (settings.site) console.log(`site size:                            ${siteSize(settings.site)}`);
  console.log(`page load to the title on the canvas: ${summary(loads.map((l) => l.at))}`);
  console.log(`fetched before the title:             ${summary(loads.map((l) => l.bytes / MIB), 'MiB')}`);
  console.log(`"next" press to the picture complete: ${run.toComplete.length ? summary(run.toComplete) : 'not seen'}`);
  console.log(`transition, first to last strip:      ${run.transitions.length ? summary(run.transitions) : 'not seen'}`);
  console.log(`page memory after ${String(settings.pictures).padEnd(3)} pictures:      ` +
    `${(used.total / MIB).toFixed(1)} MiB (JS heap ` +
    `${(used.heap / MIB).toFixed(1)}, its buffers ${(used.buffers / MIB).toFixed(1)}, ` +
    `program ${(used.program / MIB).toFixed(1)})`);
  console.log(`one present of the whole canvas:      ${summary(run.whole)} (putImageData)`);
} finally {
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
