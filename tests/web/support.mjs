// Around the browser for the page's acceptance test: a server of the test's own for one folder
// per case, Chromium started afresh, and what a person sees of the page, read from it. Every wait
// polls for a state and fails after a while rather than hang.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
};
export const kWaitMilliseconds = 10000;

// A folder with the built page and the case's config.inf (none when `config` is null).
export function caseFolder(site, config) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-case-'));
  for (const name of fs.readdirSync(site)) {
    if (name !== 'config.inf') fs.copyFileSync(path.join(site, name), path.join(folder, name));
  }
  if (config !== null) fs.writeFileSync(path.join(folder, 'config.inf'), config);
  return folder;
}

// Serves `root` on 127.0.0.1 at a free port; a name outside it, or missing, is 404.
export async function serve(root) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(root, path.normalize(name === '/' ? '/index.html' : name));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const type = kTypes[path.extname(file)] || 'application/octet-stream';
    response.writeHead(200, {'Content-Type': type, 'Cache-Control': 'no-store'});
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close()};
}

export async function startBrowser(executablePath) {
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-chromium-'));
  const browser = await puppeteer.launch({
    executablePath,
    headless: true,
    userDataDir,
    defaultViewport: {width: 800, height: 600},
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  return browser;
}

// Downloads of the browser's pages go to `folder`, without asking. The session stays attached:
// detaching it gives downloads back to the browser's own rule.
export async function downloadInto(browser, folder) {
  const session = await browser.target().createCDPSession();
  await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: folder});
}

// The page's dialogs as a person sees them, bottom first, and where the keyboard focus is.
export function seen(page) {
  return page.evaluate(() => {
    const shown = (el) => !!el && el.getClientRects().length > 0 &&
        getComputedStyle(el).visibility !== 'hidden';
    const texts = (root, selector) =>
        [...root.querySelectorAll(selector)].filter(shown).map((el) => el.innerText.trimEnd());
    const dialogs = [...document.querySelectorAll('.up-dialog')].filter(shown).map((dialog) => {
      const client = dialog.querySelector('.up-client');
      const box = client.getBoundingClientRect();
      const progress = client.querySelector('.up-progress');
      return {
        caption: dialog.querySelector('.up-title').textContent,
        size: {width: dialog.offsetWidth, height: dialog.offsetHeight},
        menu: texts(dialog, '.up-menubar > button'),
        openMenu: texts(dialog, '.up-menu button'),
        texts: texts(client, '.up-static, .up-box-text'),
        inputs: [...client.querySelectorAll('input')].filter(shown).map((el) => el.value),
        buttons: [...client.querySelectorAll('button')].filter(shown).map((button) => ({
          text: button.textContent,
          x: Math.round(button.getBoundingClientRect().left - box.left),
          y: Math.round(button.getBoundingClientRect().top - box.top),
          disabled: button.disabled,
        })),
        progress: progress ? progress.getAttribute('aria-valuetext') : null,
      };
    });
    const focus = document.activeElement;
    const label = focus && focus.getAttribute('aria-labelledby');
    const status = document.getElementById('up-status');
    const rate = document.getElementById('up-display-rate');
    return {
      title: document.title,
      dialogs,
      focus: !focus ? '' : label ? `field ${document.getElementById(label).textContent}` :
                                   focus.textContent || focus.className,
      status: shown(status) ? status.textContent : '',
      displayRate: shown(rate) ? rate.textContent : '',
    };
  });
}

// Polls until `accept(seen)` holds; fails with what was seen last.
export async function waitUntil(page, description, accept, milliseconds = kWaitMilliseconds) {
  const deadline = Date.now() + milliseconds;
  let last = null;
  for (;;) {
    last = await seen(page);
    if (accept(last)) return last;
    if (Date.now() > deadline) {
      throw new Error(`waited in vain for ${description}; saw ${JSON.stringify(last)}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Polls for a file to appear (a download) and returns its bytes.
export async function waitForFile(file) {
  const deadline = Date.now() + kWaitMilliseconds;
  while (!fs.existsSync(file)) {
    if (Date.now() > deadline) throw new Error(`no file ${file}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return fs.readFileSync(file);
}

// The page's frames come at a DIVISOR-th of the display's rate: each requestAnimationFrame
// callback waits that many frames (window.upFrameDivisor changes it later).
export function slowFramesOf(page, divisor) {
  return page.evaluateOnNewDocument((initial) => {
    const real = window.requestAnimationFrame.bind(window);
    window.upFrameDivisor = initial;
    window.requestAnimationFrame = (callback) => {
      let left = window.upFrameDivisor;
      const next = (time) => (--left > 0 ? real(next) : callback(time));
      return real(next);
    };
  }, divisor);
}

export function clickButton(page, text) {
  return page.evaluate((wanted) => {
    const layers = [...document.querySelectorAll('.up-layer')];
    const top = layers[layers.length - 1];
    const button = [...top.querySelectorAll('button')].find((el) => el.textContent === wanted);
    if (!button) throw new Error(`no button ${wanted}`);
    const box = button.getBoundingClientRect();
    return {x: box.left + box.width / 2, y: box.top + box.height / 2};
  }, text).then(({x, y}) => page.mouse.click(x, y));
}
