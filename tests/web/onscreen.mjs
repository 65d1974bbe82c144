// A page on a screen, watched from outside the browser as a device watches it: an Xvfb display of
// our own, Chromium showing the page in an app window on it (no tabs, no address bar), where the
// page's two panels are on the X screen, and the panel sampler on them. Shared by the page's
// decode test and the benchmark against the common way of timing swaps (bench/run-web.sh).
// Every wait polls for a state or a process's end, and gives up after a while rather than hang.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import {clickButton, seen, waitUntil} from './support.mjs';

export const kSkip = 77;  // CTest's skip

// The display server and the samplers started here end with this process, however it ends (a
// watchdog's exit included); puppeteer ends the browsers it started the same way.
const children = new Set();
process.on('exit', () => children.forEach((child) => child.kill()));
function adopt(child) {
  children.add(child);
  child.on('exit', () => children.delete(child));
  return child;
}

// The first of `commands` (names or paths) that cannot be run, or null.
export function missingCommand(commands) {
  const runnable = (file) => {
    try {
      fs.accessSync(file, fs.constants.X_OK);
      return fs.statSync(file).isFile();
    } catch {
      return false;
    }
  };
  const onPath = (name) =>
      (process.env.PATH || '').split(':').some((folder) => runnable(path.join(folder, name)));
  return commands.find(
             (command) => !(command.includes('/') ? runnable(command) : onPath(command))) ??
      null;
}

async function poll(description, ready, milliseconds) {
  const deadline = Date.now() + milliseconds;
  for (;;) {
    const value = await ready();
    if (value) return value;
    if (Date.now() > deadline) {
      throw new Error(`waited ${milliseconds} ms in vain for ${description}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The packet a device receives for the typed values, in hex: the sync byte, the count, each
// value's low 8 bits (an empty box sends 0), and the checksum, which leaves out the sync byte.
export function packetFor(values) {
  const bytes = [0x55, values.length, ...values.map((value) => Number(value || 0) & 0xff)];
  bytes.push(bytes.slice(1).reduce((sum, byte) => (sum + byte) & 0xff, 0));
  return bytes.map((byte) => byte.toString(16).padStart(2, '0').toUpperCase()).join('');
}

// A display of our own: Xvfb picks a free number and writes it on descriptor 3 once it accepts
// clients. -noreset: a server that resets when its last client leaves refuses one meanwhile.
export async function startDisplay() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-display-'));
  const numberFile = path.join(folder, 'display');
  const descriptor = fs.openSync(numberFile, 'w');
  const args = ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp', '-noreset'];
  const xvfb = adopt(spawn('Xvfb', args, {stdio: ['ignore', 'ignore', 'ignore', descriptor]}));
  fs.closeSync(descriptor);
  let ended = false;
  xvfb.on('exit', () => {
    ended = true;
  });
  const number = await poll('Xvfb to report its display', () => {
    if (ended) throw new Error('Xvfb ended at start');
    return /^\d+\s*$/.test(fs.readFileSync(numberFile, 'utf8')) &&
        fs.readFileSync(numberFile, 'utf8');
  }, 20000);
  return {
    name: `:${number.trim()}`,
    stop: () => {
      if (!ended) xvfb.kill();
      fs.rmSync(folder, {recursive: true, force: true});
    },
  };
}

// Chromium showing `url` as an app on the display, its window at the screen's top left, and the
// page. puppeteer's own flags keep a page unthrottled in the background, so that nothing but the
// page times its swaps.
export async function openApp(chromium, url, display, {width = 1024, height = 768} = {}) {
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: false,
    userDataDir,
    defaultViewport: null,
    env: {...process.env, DISPLAY: display},
    // No blank page beside the app's window, and no bar saying the browser is automated.
    ignoreDefaultArgs: ['about:blank', '--enable-automation'],
    args: [
      `--app=${url}`, '--ozone-platform=x11', '--window-position=0,0',
      `--window-size=${width},${height}`, '--no-sandbox', '--test-type', '--disable-gpu',
      '--disable-quic', '--no-first-run', '--disable-component-update', '--password-store=basic',
      '--noerrdialogs'
    ],
    timeout: 30000,
    protocolTimeout: 30000,
  });
  try {
    const target = await browser.waitForTarget(
        (candidate) => candidate.type() === 'page' && candidate.url().startsWith(url),
        {timeout: 20000});
    const page = await target.page();
    // The window may show its first document before the page's own commits: the page is ready
    // once its own document has loaded.
    const deadline = Date.now() + 20000;
    for (;;) {
      const loaded = await page.evaluate(() => document.readyState === 'complete' && location.href)
                         .catch(() => false);
      if (loaded && loaded.startsWith(url)) break;
      if (Date.now() > deadline) throw new Error(`${url} did not load in the app window`);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    return {
      browser,
      page,
      close: async () => {
        await browser.close();
        fs.rmSync(userDataDir, {recursive: true, force: true});
      }
    };
  } catch (error) {
    await browser.close();
    throw error;
  }
}

// Where the page's viewport begins on the X screen. On Xvfb, with no window manager, the app
// window has no frame and no title bar: its outer and inner sizes are equal (measured). Anything
// Chromium does draw above the page (an info bar, 56 px, without --test-type) is the difference
// between the outer and inner heights; nothing is drawn beside it.
async function viewportOnScreen(page) {
  return page.evaluate(() => ({
                         x: window.screenX + (window.outerWidth - window.innerWidth) / 2,
                         y: window.screenY + window.outerHeight - window.innerHeight,
                         ratio: window.devicePixelRatio || 1,
                       }));
}

// The centres of the two panels on the X screen, from `locate`, run in the page: it returns the
// two centres in the viewport's CSS pixels and whether the page drew each light.
export async function panelsOnScreen(page, locate) {
  const panels = await page.evaluate(locate);
  const origin = await viewportOnScreen(page);
  return panels.map(({x, y, light}) => ({
                      x: Math.round(origin.x + x * origin.ratio),
                      y: Math.round(origin.y + y * origin.ratio),
                      light,
                    }));
}

// Runs PROGRAM ARGS... to its end within `milliseconds`; its status and output.
export function run(program, args, milliseconds, environment = process.env) {
  return new Promise((resolve, reject) => {
    const child =
        adopt(spawn(program, args, {env: environment, stdio: ['ignore', 'pipe', 'pipe']}));
    let output = '';
    child.stdout.on('data', (chunk) => {
      output += chunk;
    });
    child.stderr.on('data', (chunk) => {
      output += chunk;
    });
    const timer = setTimeout(() => {
      child.kill();
      reject(new Error(`${path.basename(program)} still ran after ${milliseconds} ms: ${output}`));
    }, milliseconds);
    child.on('error', (error) => {
      clearTimeout(timer);
      reject(error);
    });
    child.on('exit', (status) => {
      clearTimeout(timer);
      resolve({status, output: output.trim()});
    });
  });
}

// Waits until the X screen shows at each panel's centre what the page drew there (the probe says
// "light" or "dark" for each point): the browser puts a drawing on the screen a frame or so after
// the page made it. A wrong offset fails here, before any run, rather than as a run not seen.
export async function expectScreenShows(probe, display, panels) {
  const args = panels.flatMap(({x, y}) => [String(x), String(y)]);
  const wanted = panels.map(({light}) => (light ? 'light' : 'dark')).join(' ');
  let shown = '';
  try {
    await poll('the screen to show the panels', async () => {
      const {status, output} = await run(probe, args, 10000, {...process.env, DISPLAY: display});
      shown = output;
      return status === 0 && output === wanted;
    }, 5000);
  } catch {
    const where = panels.map(({x, y}) => `(${x}, ${y})`).join(' and ');
    throw new Error(`the screen shows "${shown}" at ${where}, where the page drew "${wanted}"`);
  }
}

// Starts the panel sampler on the two centres with OPTIONS and waits until it samples. Its
// `result()` waits for its end, at most `milliseconds`, and gives its report as fields.
export async function startSampler(sampler, display, panels, options) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-sampler-'));
  const ready = path.join(folder, 'ready');
  const args =
      [...panels.flatMap(({x, y}) => [String(x), String(y)]), '--ready', ready, ...options];
  const child = adopt(spawn(
      sampler, args, {env: {...process.env, DISPLAY: display}, stdio: ['ignore', 'pipe', 'pipe']}));
  let output = '';
  let status = null;
  child.stdout.on('data', (chunk) => {
    output += chunk;
  });
  child.stderr.on('data', (chunk) => {
    output += chunk;
  });
  const ended = new Promise((resolve) => child.on('exit', (code) => {
    status = code;
    resolve();
  }));
  try {
    await poll('the panel sampler to start', () => {
      if (status !== null) throw new Error(`the panel sampler ended at start: ${output}`);
      return fs.existsSync(ready);
    }, 10000);
  } catch (error) {
    child.kill();
    throw error;
  }
  return {
    stop: () => child.kill(),
    result: async (milliseconds) => {
      let timer = null;
      const late = new Promise((resolve) => {
        timer = setTimeout(resolve, milliseconds);
      });
      await Promise.race([ended, late]);
      clearTimeout(timer);
      fs.rmSync(folder, {recursive: true, force: true});
      if (status === null) {
        child.kill();
        throw new Error(`the panel sampler still ran after ${milliseconds} ms`);
      }
      const fields = Object.fromEntries(output.trim().split(/\s+/).map((pair) => pair.split('=')));
      return {status, line: output.trim(), ...fields};
    },
  };
}

// The centres of the programming dialog's panels, in the page: its client area's canvas is laid
// out as the dialog paints it (left panel 10..W/2-2, right W/2+2..W-10, both 70..H-10 down), and
// the dialog may be scaled as a whole to fit the viewport.
export function programDialogPanels() {
  const dialogs = [...document.querySelectorAll('.up-modal .up-dialog')];
  const canvas = dialogs.length ? dialogs[dialogs.length - 1].querySelector('.up-canvas') : null;
  if (!canvas) throw new Error('no programming dialog');
  const box = canvas.getBoundingClientRect();
  const width = parseFloat(canvas.style.width);
  const height = parseFloat(canvas.style.height);
  const scale = box.width / width;
  const half = Math.floor(width / 2);
  const y = (70 + height - 10) / 2;
  const pixels = canvas.getContext('2d');
  const ratio = canvas.width / width;
  return [(10 + half - 2) / 2, (half + 2 + width - 10) / 2].map((x) => {
    const [red, green, blue] =
        pixels.getImageData(Math.round(x * ratio), Math.round(y * ratio), 1, 1).data;
    return {x: box.left + x * scale, y: box.top + y * scale, light: red + green + blue >= 3 * 128};
  });
}

// Our page, shown: types `values` into the form's boxes in order (a click on the first, then
// Tab from box to box; an empty value is left empty) and opens the programming dialog.
export async function typeAndOpenProgramDialog(page, values) {
  await waitUntil(page, 'the form', (state) => state.dialogs.length === 1, 20000);
  const inputs = await page.$$('.up-client input');
  if (inputs.length !== values.length) {
    throw new Error(`the form has ${inputs.length} boxes, ${values.length} values to type`);
  }
  if (inputs.length > 0) await inputs[0].click();
  for (const value of values) {
    if (value !== '') await page.keyboard.type(value);
    await page.keyboard.press('Tab');
  }
  const typed = (await seen(page)).dialogs[0].inputs;
  if (typed.join() !== values.join()) throw new Error(`the boxes hold ${typed}, not ${values}`);
  await clickButton(page, 'Program');
  await waitUntil(
      page, 'the programming dialog',
      (state) => state.dialogs.length === 2 && state.dialogs[1].progress === 'Ready to program');
}

// Watches one run: checks that the screen shows the panels as the page drew them, starts the
// sampler on them, calls `start` (a click that starts the run) and waits for the sampler's report
// of `swaps` swaps, keeping the swap times in `record` when given. The page is not polled while
// the packet goes out, so that only the page and the display server time the swaps.
export async function watchRun({probe, sampler, display, swaps, record}, panels, start) {
  await expectScreenShows(probe, display, panels);
  // Three seconds of countdown, then at most 100 ms a swap, and room for a loaded machine.
  const milliseconds = 15000 + 100 * swaps;
  const options = ['--swaps', String(swaps), '--timeout-ms', String(milliseconds)];
  if (record) options.push('--record', record);
  const watcher = await startSampler(sampler, display, panels, options);
  try {
    await start();
    return await watcher.result(milliseconds + 5000);
  } finally {
    watcher.stop();
  }
}

// How a run that sent the whole packet ends: on time, or with swaps too late for a device.
export const kRunDone = 'Programming...Done';
export const kRunLagged = 'Programming...Screen lagged: try again';

// Our page, programming: Start in the programming dialog, the run watched to its end. The
// sampler's report comes with `said`: what the page said of the run at its end.
export async function programAndWatch(page, watching) {
  const panels = await panelsOnScreen(page, programDialogPanels);
  const report = await watchRun(watching, panels, () => clickButton(page, 'Start'));
  const ended = await waitUntil(
      page, 'the end of the run',
      (state) => [kRunDone, kRunLagged].includes(state.dialogs[1]?.progress), 15000);
  return {...report, said: ended.dialogs[1].progress};
}
