// The page in Debian's Chromium, case by case, each on a folder and a page of its own, judged by
// what a person sees: the form from config.inf, typing that stops when a box is full, the tab order,
// the menu by keyboard, About, the programming dialog's countdown and Cancel, Save As and Open
// through a download and the file picker, and Exit.
// Usage: node acceptance.mjs SITE_FOLDER CHROMIUM
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import {kRunDone, kRunLagged} from './onscreen.mjs';
import {caseFolder, clickButton, downloadInto, seen, serve, slowFramesOf, startBrowser,
        waitForFile, waitUntil} from './support.mjs';

const [site, chromium] = process.argv.slice(2);
const kWidgetConfig = [
  'AppName "Widget Loader"', 'AppSize "300" "200"', 'AppInfo "Version 1"', 'AppInfo "Model 7"',
  '', 'ID "speed" "BYTE"', 'Name "Speed (0 to 255)"', 'ID "mode" "BYTE"', 'Name "Mode"', '',
].join('\r\n');

const main = (state) => state.dialogs[0];
const top = (state) => state.dialogs[state.dialogs.length - 1];
const texts = (buttons) => buttons.map((button) => button.text);

async function chooseMenuItem(page, title, item) {
  await clickButton(page, title);
  await waitUntil(page, `the ${title} menu`, (state) => top(state).openMenu.includes(item));
  await clickButton(page, item);
}

const kCases = [
  {
    name: 'the form comes from config.inf, at its configured size',
    config: kWidgetConfig,
    run: async (page) => {
      const state = await seen(page);
      assert.equal(state.title, 'Widget Loader');
      assert.equal(main(state).caption, 'Widget Loader');
      assert.deepEqual(main(state).texts, ['Speed (0 to 255)', 'Mode']);
      assert.deepEqual(main(state).inputs, ['', '']);
      assert.deepEqual(main(state).menu, ['File', 'About']);
      assert.deepEqual(main(state).size, {width: 300, height: 200});
      // Placed from the outer size, title and menu bar included, as on the desktop.
      const [program, exit] = main(state).buttons;
      assert.deepEqual([program.text, program.x, program.y], ['Program', 5, 125]);
      assert.deepEqual([exit.text, exit.x, exit.y], ['Exit', 215, 125]);
    },
  },
  {
    name: 'without config.inf the form is the template\'s, with no settings',
    config: null,
    run: async (page) => {
      const state = await seen(page);
      assert.equal(main(state).caption, 'Universal Programmer');
      assert.deepEqual(main(state).inputs, []);
      assert.deepEqual(texts(main(state).buttons), ['Program', 'Exit']);
    },
  },
  {
    name: 'a config.inf in Windows-1252 shows its accents',
    config: Buffer.from('AppName "Vitesse r\xe9gl\xe9e"\r\nID "v" "BYTE"\r\nName "Vitesse (0 \xe0 255)"\r\n',
                        'latin1'),
    run: async (page) => {
      const state = await seen(page);
      assert.equal(main(state).caption, 'Vitesse réglée');
      assert.deepEqual(main(state).texts, ['Vitesse (0 à 255)']);
    },
  },
  {
    name: 'typing stops when the box is full, and nothing typed is hidden',
    config: kWidgetConfig,
    run: async (page) => {
      const typed = '1234567890123456789012345';
      await page.focus('.up-client input');
      await page.keyboard.type(typed);
      const [value] = main(await seen(page)).inputs;
      assert.ok(value.length > 0 && value.length < typed.length, `typed into the box: ${value}`);
      assert.ok(typed.startsWith(value));
      const hidden = await page.$eval('.up-client input', (box) => box.scrollWidth > box.clientWidth);
      assert.equal(hidden, false);
    },
  },
  {
    name: 'Tab goes round the form, then Program and Exit',
    config: kWidgetConfig,
    run: async (page) => {
      const order = [];
      for (let i = 0; i < 5; ++i) {
        order.push((await seen(page)).focus);
        await page.keyboard.press('Tab');
      }
      assert.deepEqual(order, ['field Speed (0 to 255)', 'field Mode', 'Program', 'Exit',
                               'field Speed (0 to 255)']);
    },
  },
  {
    name: 'the menu by keyboard opens About, which shows config.inf\'s name and lines',
    config: kWidgetConfig,
    run: async (page) => {
      await page.keyboard.press('F10');
      await waitUntil(page, 'File focused', (state) => state.focus === 'File');
      await page.keyboard.press('ArrowDown');
      const open = await waitUntil(page, 'the File menu', (state) => main(state).openMenu.length > 0);
      assert.deepEqual(main(open).openMenu, ['Open...', 'Save', 'Save As...', 'Exit']);
      await page.keyboard.press('Escape');
      await waitUntil(page, 'the menu closed', (state) => main(state).openMenu.length === 0);
      await page.keyboard.press('ArrowRight');
      await waitUntil(page, 'About focused', (state) => state.focus === 'About');
      await page.keyboard.press('Enter');
      const about = await waitUntil(page, 'the About box', (state) => state.dialogs.length === 2);
      assert.equal(top(about).caption, 'Widget Loader');
      assert.deepEqual(top(about).texts, ['Version 1\nModel 7']);
      assert.deepEqual(texts(top(about).buttons), ['OK']);
      await page.keyboard.press('Enter');
      const back = await waitUntil(page, 'About closed', (state) => state.dialogs.length === 1);
      assert.equal(back.focus, 'field Speed (0 to 255)');
    },
  },
  {
    name: 'Start counts down, Cancel stops the countdown, Done closes the dialog',
    config: kWidgetConfig,
    run: async (page) => {
      await clickButton(page, 'Program');
      const ready = await waitUntil(page, 'the programming dialog',
                                    (state) => top(state).caption === 'Program');
      assert.equal(top(ready).progress, 'Ready to program');
      assert.deepEqual(texts(top(ready).buttons), ['Start', 'Done']);
      await clickButton(page, 'Start');
      await waitUntil(page, 'the countdown', (state) =>
          /^Starting in\.\.\.[123]$/.test(top(state).progress) &&
          texts(top(state).buttons).join() === 'Start,Cancel' && top(state).buttons[0].disabled);
      await clickButton(page, 'Cancel');
      await waitUntil(page, 'the countdown stopped', (state) =>
          top(state).progress === 'Ready to program' &&
          texts(top(state).buttons).join() === 'Start,Done');
      await clickButton(page, 'Done');
      await waitUntil(page, 'the dialog closed', (state) => state.dialogs.length === 1);
    },
  },
  {
    name: 'hiding the page mid-countdown cancels the run, as Cancel does',
    config: kWidgetConfig,
    run: async (page, downloads, browser) => {
      await clickButton(page, 'Program');
      await waitUntil(page, 'the programming dialog', (state) => top(state).caption === 'Program');
      await clickButton(page, 'Start');
      await waitUntil(page, 'the countdown', (state) => /^Starting in/.test(top(state).progress));
      const other = await browser.newPage();
      await other.bringToFront();
      try {
        await waitUntil(page, 'the run cancelled', (state) =>
            top(state).progress === 'Ready to program' &&
            texts(top(state).buttons).join() === 'Start,Done');
      } finally {
        await other.close();
        await page.bringToFront();
      }
    },
  },
  {
    name: 'Save As downloads the settings under the name typed, with .tss added',
    config: kWidgetConfig,
    run: async (page, downloads) => {
      await page.focus('.up-client input');
      await page.keyboard.type('12');
      await chooseMenuItem(page, 'File', 'Save As...');
      await waitUntil(page, 'the name asked for', (state) => top(state).caption === 'Save As');
      await page.keyboard.type('mine');
      await page.keyboard.press('Enter');
      const saved = await waitForFile(path.join(downloads, 'mine.tss'));
      assert.equal(saved.toString('latin1'), 'speed "12"\nmode "0"\n');
      await waitUntil(page, 'the layer closed', (state) => state.dialogs.length === 1);
    },
  },
  {
    name: 'Open loads the picked file into the form',
    config: kWidgetConfig,
    run: async (page) => {
      const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-open-')), 'saved.tss');
      fs.writeFileSync(file, 'speed "42"\r\nmode "7"\r\n');
      const [chooser] = await Promise.all([page.waitForFileChooser({timeout: 10000}),
                                           chooseMenuItem(page, 'File', 'Open...')]);
      await chooser.accept([file]);
      await waitUntil(page, 'the values loaded', (state) => main(state).inputs.join() === '42,7');
    },
  },
  {
    name: 'a file of another device\'s settings loads what it can, and a message box says so',
    config: kWidgetConfig,
    run: async (page) => {
      const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-open-')), 'other.tss');
      fs.writeFileSync(file, 'speed "9"\nbrightness "50"\nmode "3"\n');
      const [chooser] = await Promise.all([page.waitForFileChooser({timeout: 10000}),
                                           chooseMenuItem(page, 'File', 'Open...')]);
      await chooser.accept([file]);
      const box = await waitUntil(page, 'the message box', (state) => state.dialogs.length === 2);
      assert.equal(top(box).caption, 'Universal Programmer');
      assert.match(top(box).texts[0], /^This file holds settings that this form does not have/);
      assert.deepEqual(texts(top(box).buttons), ['OK']);
      assert.deepEqual(main(box).inputs, ['9', '']);
      await page.keyboard.press('Escape');
      await waitUntil(page, 'the box closed', (state) => state.dialogs.length === 1);
    },
  },
  {
    // Done, or on a machine too busy to keep time the word that the screen lagged: whether the
    // page tells them apart as a device would is web_decode's to judge.
    name: 'a run sends the packet to the end: Programming...Done, the bar full',
    config: kWidgetConfig,
    run: async (page) => {
      await clickButton(page, 'Program');
      await waitUntil(page, 'the programming dialog', (state) => top(state).caption === 'Program');
      await page.keyboard.press('Enter');  // Start is the default button
      await waitUntil(page, 'the run', (state) => top(state).progress === 'Programming...');
      const done = await waitUntil(page, 'the end of the run',
                                   (state) => [kRunDone, kRunLagged].includes(top(state).progress),
                                   15000);
      assert.deepEqual(texts(top(done).buttons), ['Start', 'Done']);
      const bar = await page.$eval('.up-modal .up-progress', (el) =>
          [el.getAttribute('aria-valuenow'), el.getAttribute('aria-valuemax')]);
      assert.equal(bar[0], bar[1]);
    },
  },
  {
    name: 'a run held up mid-packet ends with the word that the screen lagged, ready to try again',
    config: kWidgetConfig,
    run: async (page) => {
      await clickButton(page, 'Program');
      await waitUntil(page, 'the programming dialog', (state) => top(state).caption === 'Program');
      await page.keyboard.press('Enter');
      // Once a few swaps are out, the page's one thread busy for 150 ms, as on a machine too busy
      // to run it: the swap due meanwhile shows that much late, which no device reads.
      await page.waitForFunction(
          () => Number(document.querySelector('.up-modal .up-progress')
                           ?.getAttribute('aria-valuenow')) >= 3,
          {polling: 10, timeout: 10000});
      await page.evaluate(() => {
        const until = performance.now() + 150;
        while (performance.now() < until) {}
      });
      const lagged = await waitUntil(page, 'the end of the run',
                                     (state) => top(state).progress.startsWith('Programming...') &&
                                         top(state).progress !== 'Programming...', 15000);
      assert.equal(top(lagged).progress, kRunLagged);
      assert.deepEqual(texts(top(lagged).buttons), ['Start', 'Done']);
    },
  },
  {
    name: 'a display under 50 frames a second gets a word before Start, gone once it is faster',
    config: kWidgetConfig,
    frameDivisor: 3,  // 20 frames a second where the browser draws 60
    viewport: {width: 400, height: 220},  // the form fills its height: the word must not cover it
    run: async (page) => {
      const slow = await waitUntil(page, 'the word on the display',
                                   (state) => state.displayRate !== '');
      assert.match(slow.displayRate, /^This display shows only (1\d|2\d) frames a second, and pro/);
      await clickButton(page, 'Program');
      const ready = await waitUntil(page, 'the programming dialog',
                                    (state) => texts(top(state).buttons).join() === 'Start,Done');
      assert.notEqual(ready.displayRate, '', 'the word went before Start');
      const uncovered = await page.evaluate(() => {
        const dialogs = [...document.querySelectorAll('.up-dialog')];
        const word = document.getElementById('up-display-rate').getBoundingClientRect();
        return dialogs.every((dialog) => dialog.getBoundingClientRect().top >= word.bottom);
      });
      assert.ok(uncovered, 'the word covers a dialog');
      await page.evaluate(() => {
        window.upFrameDivisor = 1;
        window.dispatchEvent(new Event('resize'));
      });
      await waitUntil(page, 'the word gone', (state) => state.displayRate === '');
    },
  },
  {
    name: 'on a phone held upright the form is scaled to fit, never scrolled, and works by touch',
    config: kWidgetConfig.replace('AppSize "300" "200"', 'AppSize "600" "400"'),
    viewport: {width: 360, height: 640, hasTouch: true, isMobile: true},
    run: async (page) => {
      const box = await page.$eval('.up-dialog', (el) => {
        const rect = el.getBoundingClientRect();
        return {right: rect.right, bottom: rect.bottom, width: rect.width,
                scrolls: document.scrollingElement.scrollWidth > innerWidth ||
                         document.scrollingElement.scrollHeight > innerHeight};
      });
      assert.ok(box.right <= 360 && box.bottom <= 640, JSON.stringify(box));
      assert.equal(Math.round(box.width), 360);
      assert.equal(box.scrolls, false);
      const about = await page.evaluate(() => {
        const title = [...document.querySelectorAll('.up-menubar > button')]
                          .find((el) => el.textContent === 'About');
        const rect = title.getBoundingClientRect();
        return {x: rect.left + rect.width / 2, y: rect.top + rect.height / 2};
      });
      await page.touchscreen.tap(about.x, about.y);
      await waitUntil(page, 'the About box', (state) => state.dialogs.length === 2);
    },
  },
  {
    name: 'Escape ends the tool as Exit does',
    config: kWidgetConfig,
    run: async (page) => {
      await page.keyboard.press('Escape');
      await waitUntil(page, 'the tool ended', (state) => state.dialogs.length === 0);
    },
  },
  {
    name: 'Exit ends the tool, and the page says so',
    config: kWidgetConfig,
    run: async (page) => {
      await clickButton(page, 'Exit');
      await waitUntil(page, 'the tool ended', (state) =>
          state.dialogs.length === 0 && /closed/.test(state.status));
    },
  },
];

async function runCase(browser, testCase) {
  const folder = caseFolder(site, testCase.config);
  const server = await serve(folder);
  const page = await browser.newPage();
  if (testCase.viewport) await page.setViewport(testCase.viewport);
  if (testCase.frameDivisor) await slowFramesOf(page, testCase.frameDivisor);
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'up-web-downloads-'));
  await downloadInto(browser, downloads);
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  try {
    await page.goto(server.url);
    await waitUntil(page, 'the main dialog', (state) => state.dialogs.length === 1);
    await testCase.run(page, downloads, browser);
    assert.deepEqual(errors, [], 'errors in the page');
  } finally {
    await page.close();
    server.close();
  }
}

// A case that hangs fails the whole run instead of holding it up.
const watchdog = setTimeout(() => {
  console.error('watchdog: the cases took over 4 minutes');
  process.exit(1);
}, 240000);

const browser = await startBrowser(chromium);
let failures = 0;
for (const testCase of kCases) {
  try {
    await runCase(browser, testCase);
    console.log(`ok      ${testCase.name}`);
  } catch (error) {
    ++failures;
    console.log(`FAILED  ${testCase.name}\n        ${error.message}`);
  }
}
await browser.close();
clearTimeout(watchdog);
console.log(`${kCases.length - failures} of ${kCases.length} cases passed`);
process.exit(failures === 0 ? 0 : 1);
