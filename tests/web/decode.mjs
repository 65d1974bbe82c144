// The page programs a device: in Chromium's app window on an Xvfb display of its own, values are
// typed into the form and sent with Program and Start, and the panel sampler, watching the two
// panels on the X screen from another process, must decode exactly the packet of those values.
// Prints the sampler's report (the swap intervals' error against nominal: p50, p99, max in µs).
// Usage: node decode.mjs SITE_FOLDER CHROMIUM PANEL_SAMPLER PANEL_PROBE
// Exits 0 when the packet decoded and the page said Done. Exits 77 (a skip) when Xvfb, Chromium
// or the X programs are missing, or when other programs kept the machine busy through every run,
// and the device missed them all.
import assert from 'node:assert/strict';
import fs from 'node:fs';

import {kRunDone, kRunLagged, kSkip, missingCommand, openApp, packetFor, programAndWatch, startDisplay, typeAndOpenProgramDialog} from './onscreen.mjs';
import {cpuSnapshot, othersCores} from './machine-load.mjs';
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

// A device misreads an interval 25 ms off, and the page calls a run late from there by its own
// measure of its frames, which may differ from the screen's by a few ms: a run off by less than
// this on the screen must be Done.
const kSurelyOnTimeUs = 15000;
// Other programs that keep this many cores busy leave the page's swaps to chance.
const kBusyCores = 0.5;
let quiet = false;  // a run that the device missed came while the machine was otherwise idle

// Runs in all, when the device misses one, as a person would try again: a browser on an idle
// machine now and then shows a frame late, and once here it did so in two runs in a row.
const kRuns = 3;

// One run's verdict, by what the screen showed: the device must have the packet and the page
// must say Done. A run the device missed is tried again; if other programs kept the machine busy
// through every such run, that is no fault of the page's and the test is skipped, but the page
// must not have called a run on time late.
function judge(report, others, last) {
  const decoded = report.status === 0;
  const errorUs = Number(report.err_max_us);
  if (decoded && report.packet !== expected) {
    return {failure: `the device took a wrong packet: ${report.packet}, not ${expected}`};
  }
  if (decoded && errorUs < kSurelyOnTimeUs && report.said !== kRunDone) {
    return {failure: `the page said "${report.said}" of a run off by ${errorUs} µs at most`};
  }
  if (decoded) {
    return {
      pass: `the device received ${expected}; interval error p50 ${report.err_p50_us} µs, ` +
          `p99 ${report.err_p99_us} µs, max ${errorUs} µs; the page said "${report.said}"`
    };
  }
  if (others < kBusyCores) quiet = true;
  if (!last) return null;
  if (quiet) {
    return {
      failure: `the device took no packet in ${kRuns} runs, not all on a busy machine: ` +
          report.line
    };
  }
  const word = report.said === kRunLagged ?
      'the page said its screen lagged' :
      'the page said Done: its browser showed a frame late after the page had drawn it in time';
  return {skip: `other programs kept the machine busy (${others.toFixed(2)} cores in the last ` +
                `run) and the device took no packet in ${kRuns} runs; ${word}`};
}
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
  let verdict = null;
  for (let run = 1; run <= kRuns && !verdict; ++run) {
    const before = cpuSnapshot();
    const report = await programAndWatch(app.page, watching);
    const others = othersCores(before, cpuSnapshot());
    console.log(`run ${run}: sampler: ${report.line}`);
    console.log(`run ${run}: the page said "${report.said}"; ` +
                `other programs kept ${others.toFixed(2)} cores busy`);
    verdict = judge(report, others, run === kRuns);
  }
  assert.deepEqual(errors, [], 'errors in the page');
  if (verdict.skip) {
    console.log(`skipped: ${verdict.skip}`);
    status = kSkip;
  } else {
    assert.equal(verdict.failure, undefined, verdict.failure);
    console.log(`PASS: ${verdict.pass}`);
    status = 0;
  }
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
