// The page programs a device: in Chromium's app window on an Xvfb display of its own, values are
// typed into the form and sent with Program and Start, and the panel sampler, watching the two
// panels on the X screen from another process, must decode exactly the packet of those values.
// Prints the sampler's report (the swap intervals' error against nominal: p50, p99, max in µs).
// Usage: node decode.mjs SITE_FOLDER CHROMIUM PANEL_SAMPLER PANEL_PROBE
// Exits 0 when the packet decoded, 77 (a skip) when Xvfb, Chromium or the X programs are missing.
import assert from 'node:assert/strict';
import fs from 'node:fs';

import {kSkip, missingCommand, openApp, packetFor, programAndWatch, startDisplay, typeAndOpenProgramDialog} from './onscreen.mjs';
import {caseFolder, serve} from './support.mjs';

const [site, chromium, sampler, probe] = process.argv.slice(2);

// As the desktop's end-to-end test types them: too large, negative and empty values included,
// each sent as its low 8 bits (an empty box as 0).
const kValues = ['12', '300', '-1', '0', '255', ''];
const kConfig = [
  'AppName "Web Loader"', 'AppSize "360" "260"', 'AppInfo "Decode test"',
  ...kValues.flatMap((_, i) => [`ID "setting${i}" "BYTE"`, `Name "Setting ${i}"`]), ''
].join('\r\n');

const missing = missingCommand(['Xvfb', chromium, sampler, probe]);
if (missing) {
  console.log(
      `skipped: ${missing} is missing (scripts/install-deps.sh web installs Xvfb, and the X11 ` +
      'headers with which the web build builds the panel sampler and probe)');
  process.exit(kSkip);
}

// A run that hangs fails the test instead of holding up the suite.
const watchdog = setTimeout(() => {
  console.error('watchdog: the decode test took over 100 s');
  process.exit(1);
}, 100000);

const expected = packetFor(kValues);
const folder = caseFolder(site, kConfig);
const server = await serve(folder);
const display = await startDisplay();
let app = null;
let status = 1;
try {
  app = await openApp(chromium, server.url, display.name);
  const errors = [];
  app.page.on('pageerror', (error) => errors.push(error.message));
  await typeAndOpenProgramDialog(app.page, kValues);
  const swaps = (expected.length / 2) * 10;
  console.log(`expected packet=${expected} (${swaps} swaps)`);
  const watching = {probe, sampler, display: display.name, swaps};
  let report = await programAndWatch(app.page, watching);
  if (report.status !== 0) {
    // As on the desktop, a run that decoded no packet at all is tried once more: a loaded machine
    // can stretch a swap past the receiver's tolerance. A wrong packet is never retried.
    console.log(`run 1 decoded no packet, retrying: ${report.line}`);
    report = await programAndWatch(app.page, watching);
  }
  console.log(`sampler: ${report.line}`);
  assert.equal(report.packet, expected, 'the packet the sampler decoded');
  assert.equal(report.status, 0, 'the sampler\'s status');
  assert.deepEqual(errors, [], 'errors in the page');
  console.log(
      `PASS: the device received ${expected}; interval error p50 ${report.err_p50_us} µs, ` +
      `p99 ${report.err_p99_us} µs, max ${report.err_max_us} µs`);
  status = 0;
} catch (error) {
  console.log(`FAILED: ${error.message}`);
} finally {
  if (app) await app.close().catch(() => {});
  display.stop();
  server.close();
  fs.rmSync(folder, {recursive: true, force: true});
  clearTimeout(watchdog);
}
process.exit(status);
