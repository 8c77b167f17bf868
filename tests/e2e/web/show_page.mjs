// What the web tests and measurements do with the show's page alike: a held-back
// network, the presents and presses timed in the page, the "next" button pressed
// with the pointer locked, and the page's memory.
const MIB = 1024 * 1024;
// The navigation panel's "next" button, reached with the pointer locked: the first
// click at (10, 10) leaves the show's pointer at (497, 369), and it moves two pixels
// a count.
const NEXT_FROM_START = [(981 - 497) / 2, (731 - 369) / 2];

export { MIB };

// True in the page once the title has put more than black on the canvas.
export function titleDrawn() {
  const canvas = document.getElementById('screen');
  return Boolean(canvas) && canvas.getContext('2d').getImageData(512, 300, 1, 1).data.slice(0, 3)
    .some((value) => value > 0);
}

export function holdNetwork(page, mbit, latencyMs) {
  const bytesPerSecond = (mbit * 1e6) / 8;
  return page.send('Network.emulateNetworkConditions', { offline: false, latency: latencyMs,
    downloadThroughput: bytesPerSecond, uploadThroughput: bytesPerSecond });
}

// From now on the page keeps window.qzPresents (each present's start, end and size,
// emptied by the caller) and window.qzPressedAt (the last mouse press).
export function recordPresents(page) {
  return page.evaluate(() => {
    window.qzPresents = [];
    const show = qz.showRect;
    qz.showRect = (pointer, x, y, width, height) => {
      const start = performance.now();
      show(pointer, x, y, width, height);
      window.qzPresents.push({ start, end: performance.now(), width, height });
    };
    document.addEventListener('mousedown', () => { window.qzPressedAt = performance.now(); }, true);
  });
}

// A click on "next"; the caller moves the pointer back to (10, 10) once the new
// picture is complete (motion during the transition would slow it down).
export async function pressNext(page) {
  await page.mouse.move(10 + NEXT_FROM_START[0], 10 + NEXT_FROM_START[1]);
  await page.mouse.down();
  await page.mouse.up();
}

// The presents of a transition: strips narrower than the screen, its full height.
export function strips(presents) {
  return presents.filter((present) => present.width < 1024 && present.height === 768);
}

// The page's memory once the garbage is gone: the JavaScript heap, the buffers it
// holds outside it (the files fetched) and the program's own memory.
export async function pageMemory(page) {
  await page.send('HeapProfiler.collectGarbage');
  const heap = await page.send('Runtime.getHeapUsage');
  const program = await page.evaluate(() => HEAPU8.length);
  const buffers = heap.backingStorageSize || 0;
  return { heap: heap.usedSize, buffers, program, total: heap.usedSize + buffers + program };
}

// From the next navigation on, the page notes in window.qzTitleAt when the title is
// drawn, by its own clock.
export function watchForTitle(page) {
  const source = `(() => {
    const titleDrawn = ${titleDrawn};
    const watch = () => {
      if (titleDrawn()) window.qzTitleAt = performance.now();
      else requestAnimationFrame(watch);
    };
    requestAnimationFrame(watch);
  })();`;
  return page.send('Page.addScriptToEvaluateOnNewDocument', { source });
}
