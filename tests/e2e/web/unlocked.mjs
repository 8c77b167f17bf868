// The show in a page that refuses the pointer lock: the program must then take its
// pointer's motion from the browser pointer's positions. The title ends with a click,
// the pointer is moved over the navigation panel's forward button in small steps, as
// a hand would, and a click there must bring the next picture. Exits 0 when it does.
//
// Usage: node unlocked.mjs URL PROFILE_DIR
import { launch, sleep } from './cdp.mjs';
import { titleDrawn } from './show_page.mjs';

const [url, profile] = process.argv.slice(2);
// The forward button of the panel at the bottom right, and a start well away from it.
const START = [512, 384];
const FORWARD = [981, 731];

const browser = await launch({ executablePath: process.env.QZ_CHROMIUM || '/usr/bin/chromium',
  userDataDir: profile });
let failure = null;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 792 });
  await page.evaluateOnNewDocument(() => {
    Element.prototype.requestPointerLock = () => Promise.reject(new Error('refused'));
  });
  await page.goto(url);
  await page.bringToFront();
  // The title is up once the canvas shows more than black.
  await page.waitForFunction(titleDrawn, { timeout: 20000 });
  await sleep(1000);
  await page.mouse.click(...START);
  await sleep(1500);
  const frame = () => page.evaluate(() => {
    const canvas = document.getElementById('screen');
    return Array.from(canvas.getContext('2d').getImageData(0, 0, 1024, 768).data
      .filter((_, i) => i % 4096 === 0));
  });
  const before = await frame();
  const steps = 30;
  for (let i = 1; i <= steps; i++) {
    await page.mouse.move(START[0] + ((FORWARD[0] - START[0]) * i) / steps,
      START[1] + ((FORWARD[1] - START[1]) * i) / steps);
  }
  await page.mouse.down();
  await page.mouse.up();
  await sleep(1500);
  const after = await frame();
  const changed = after.filter((value, i) => value !== before[i]).length;
  if (await page.evaluate(() => document.pointerLockElement !== null)) {
    failure = 'the page holds the pointer lock it was refused';
  } else if (changed < before.length / 4) {
    failure = `the click on the forward button changed ${changed} of ${before.length} samples`;
  }
} catch (error) {
  failure = error.message;
} finally {
  await browser.close();
}
if (failure) {
  console.error(`without the pointer lock: ${failure}`);
  process.exit(1);
}
console.log('without the pointer lock: the forward button reached and the next picture shown');
