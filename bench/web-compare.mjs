// The programmer's page against a page that times its swaps the common way (web-baseline/), run
// by run in turn, each in a fresh Chromium app window on one Xvfb display, each run's swaps
// watched by the panel sampler and scored against the decoded packet. Run by bench/run-web.sh.
// Usage: node web-compare.mjs SITE_FOLDER CHROMIUM PANEL_SAMPLER PANEL_PROBE RUNS
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {openApp, packetFor, panelsOnScreen, programAndWatch, startDisplay, typeAndOpenProgramDialog, watchRun} from '../tests/web/onscreen.mjs';
import {caseFolder, serve} from '../tests/web/support.mjs';

const [site, chromium, sampler, probe, runsText] = process.argv.slice(2);
const runs = Number(runsText || 5);
const here = path.dirname(fileURLToPath(import.meta.url));

// The 20-byte packet of the desktop's request-level benchmark: 17 settings of i * 37 + 1.
const kValues = Array.from({length: 17}, (_, i) => String((i * 37 + 1) & 0xff));
const kConfig = [
  'AppName "Bench Loader"', 'AppSize "420" "620"',
  ...kValues.flatMap((_, i) => [`ID "s${i}" "BYTE"`, `Name "Setting ${i}"`]), ''
].join('\r\n');
const packet = packetFor(kValues);
const swaps = (packet.length / 2) * 10;

// |interval - nominal| in µs for every interval of a recorded run (one swap time a line), against
// the packet's own sequence: start, eight bits, gap.
function intervalErrors(recordFile) {
  const times = fs.readFileSync(recordFile, 'utf8')
                    .split('\n')
                    .filter((line) => /^\d/.test(line))
                    .map(Number);
  const nominal = [];
  for (const byte of packet.match(/../g).map((pair) => parseInt(pair, 16))) {
    nominal.push(50000);
    for (let bit = 0; bit < 8; ++bit) nominal.push((byte >> bit) & 1 ? 100000 : 50000);
    nominal.push(50000);
  }
  return times.slice(1).map((time, i) => Math.abs(time - times[i] - nominal[i]));
}

// The sampler's percentile: the smallest error that at least `share` of them do not exceed.
const percentile = (sorted, share) => sorted[Math.max(0, Math.ceil(sorted.length * share) - 1)];

// The baseline's panels: its canvas, laid out as the programming dialog's client area.
function baselinePanels() {
  const canvas = document.getElementById('panels');
  const box = canvas.getBoundingClientRect();
  const half = Math.floor(box.width / 2);
  const y = (70 + box.height - 10) / 2;
  return [[(10 + half - 2) / 2, false], [(half + 2 + box.width - 10) / 2, true]].map(
      ([x, light]) => ({x: box.left + x, y: box.top + y, light}));
}

async function runOurs(url, display, record) {
  const app = await openApp(chromium, url, display);
  try {
    await typeAndOpenProgramDialog(app.page, kValues);
    return await programAndWatch(app.page, {probe, sampler, display, swaps, record});
  } finally {
    await app.close();
  }
}

async function runBaseline(url, display, record, frames) {
  const app =
      await openApp(chromium, `${url}index.html?packet=${packet}&frames=${frames}`, display);
  try {
    await app.page.waitForFunction(
        () => document.getElementById('state')?.textContent === 'Ready', {timeout: 20000});
    const panels = await panelsOnScreen(app.page, baselinePanels);
    const report = await watchRun(
        {probe, sampler, display, swaps, record}, panels, () => app.page.click('#start'));
    await app.page.waitForFunction(
        () => document.getElementById('state').textContent === 'Done', {timeout: 15000});
    return report;
  } finally {
    await app.close();
  }
}

const ourFolder = caseFolder(site, kConfig);
const ourServer = await serve(ourFolder);
const baselineServer = await serve(path.join(here, 'web-baseline'));
const display = await startDisplay();
const records = fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-bench-'));
// The baseline twice: as it is, drawing on an idle frame clock, and with the frames running.
const kSeries = {
  'ours': (record) => runOurs(ourServer.url, display.name, record),
  'baseline': (record) => runBaseline(baselineServer.url, display.name, record, 'idle'),
  'baseline-frames': (record) => runBaseline(baselineServer.url, display.name, record, 'running'),
};
const series = Object.fromEntries(Object.keys(kSeries).map((name) => [name, []]));
try {
  console.log(
      `packet=${packet} (20 bytes, ${swaps} swaps), ${runs} runs of each, in turn; ` +
      `load average ${os.loadavg().map((load) => load.toFixed(1)).join(' ')}`);
  for (let run = 1; run <= runs; ++run) {
    for (const [name, runOne] of Object.entries(kSeries)) {
      const record = path.join(records, `${name}-${run}.swaps`);
      let report;
      try {
        report = await runOne(record);
      } catch (error) {
        report = {line: `failed: ${error.message}`};
      }
      // Scored against the packet sent, whenever every swap was seen.
      const decoded = report.packet === packet;
      const errors = fs.existsSync(record) ? intervalErrors(record) : [];
      const scored = errors.length === swaps - 1 ? [...errors].sort((a, b) => a - b) : [];
      series[name].push({decoded, errors: scored});
      const figures = scored.length ?
          `p50=${percentile(scored, 0.5)} p99=${percentile(scored, 0.99)} ` +
              `max=${scored[scored.length - 1]} us` :
          'not scored';
      console.log(
          `${name.padEnd(15)} run ${run}: decoded=${decoded ? 'yes' : 'no'} ${figures}` +
          `${decoded ? '' : `  (${report.line})`}`);
    }
  }
} finally {
  display.stop();
  ourServer.close();
  baselineServer.close();
  fs.rmSync(ourFolder, {recursive: true, force: true});
  fs.rmSync(records, {recursive: true, force: true});
}

console.log(`load average at the end ${os.loadavg().map((load) => load.toFixed(1)).join(' ')}`);
// Pooled over every interval of the runs in which every swap was seen.
const pooled = {};
for (const [name, results] of Object.entries(series)) {
  const errors = results.flatMap((result) => result.errors).sort((a, b) => a - b);
  const decoded = results.filter((result) => result.decoded).length;
  pooled[name] = percentile(errors, 0.99);
  console.log(
      `${name.padEnd(15)} decoded ${decoded}/${results.length}, ${errors.length} intervals: ` +
      `p50 ${percentile(errors, 0.5)} us, p99 ${pooled[name]} us, ` +
      `max ${errors[errors.length - 1]} us`);
}
const ratio = (baseline) => (pooled.ours / pooled[baseline]).toFixed(3);
console.log(
    `pooled p99, ours / baseline: ${ratio('baseline')}; ours / baseline-frames: ` +
    `${ratio('baseline-frames')} (target: at most 1/3, every run decoded)`);
const met = pooled.ours <= pooled['baseline-frames'] / 3 &&
    Object.values(series).flat().every((result) => result.decoded);
process.exit(met ? 0 : 1);
