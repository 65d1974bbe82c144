// What the programmer's page costs a visitor: its files' sizes as served compressed (gzip at level
// 6, a web server's usual), and the time from the start of the page's load to the first frame
// that shows the form, over LOADS loads in one Chromium app window on an Xvfb display. The server
// forbids caching, so every load fetches and compiles everything again, as a first visit does.
// Usage: node web-load.mjs SITE_FOLDER CHROMIUM LOADS
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

import {openApp, startDisplay} from '../tests/web/onscreen.mjs';
import {serve} from '../tests/web/support.mjs';

const [site, chromium, loadsText] = process.argv.slice(2);
const loads = Number(loadsText || 9);

let total = 0;
let totalGzip = 0;
for (const name
         of ['index.html', 'page.css', 'universal-programmer.js', 'universal-programmer.wasm',
             'config.inf']) {
  const bytes = fs.readFileSync(path.join(site, name));
  const packed = zlib.gzipSync(bytes, {level: 6}).length;
  total += bytes.length;
  totalGzip += packed;
  console.log(`${name.padEnd(28)} ${String(bytes.length).padStart(8)} bytes, gzip ${packed}`);
}
console.log(`${'the page'.padEnd(28)} ${String(total).padStart(8)} bytes, gzip ${totalGzip}`);

// Notes, in the page, the time of the first animation frame after the form's layer is shown:
// the frame that draws it.
function noteFormShown() {
  const observer = new MutationObserver(() => {
    const shown = [...document.querySelectorAll('.up-layer')].some(
        (layer) => layer.style.visibility !== 'hidden');
    if (!shown) return;
    observer.disconnect();
    requestAnimationFrame((time) => {
      window.upFormShownAt = time;
    });
  });
  observer.observe(document, {subtree: true, childList: true, attributes: true});
}

const server = await serve(site);
const display = await startDisplay();
let app = null;
try {
  app = await openApp(chromium, server.url, display.name);
  await app.page.evaluateOnNewDocument(noteFormShown);
  const times = [];
  for (let load = 0; load < loads; ++load) {
    await app.page.goto(server.url, {waitUntil: 'load', timeout: 30000});
    const shownAt = await app.page.waitForFunction(() => window.upFormShownAt, {timeout: 30000});
    times.push(await shownAt.jsonValue());
  }
  times.sort((a, b) => a - b);
  console.log(
      `load to form shown, ${loads} loads: median ${times[(loads - 1) >> 1].toFixed(0)} ms, ` +
      `fastest ${times[0].toFixed(0)} ms, slowest ${times[loads - 1].toFixed(0)} ms`);
} finally {
  if (app) await app.close();
  display.stop();
  server.close();
}
