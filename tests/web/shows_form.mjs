// Serves a page's folder as it stands (its own config.inf) and checks, in Debian's Chromium, that
// the page shows the form: the main dialog, captioned TITLE, with at least one setting.
// Usage: node shows_form.mjs FOLDER CHROMIUM TITLE
import assert from 'node:assert/strict';
import path from 'node:path';

import {seen, serve, startBrowser, waitUntil} from './support.mjs';

const [folder, chromium, title] = process.argv.slice(2);
const server = await serve(path.resolve(folder));
const browser = await startBrowser(chromium);
let status = 1;
try {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(server.url);
  const state = await waitUntil(page, 'the main dialog', (shown) => shown.dialogs.length === 1);
  assert.equal(state.dialogs[0].caption, title);
  assert.ok(state.dialogs[0].inputs.length > 0, 'the form has no settings');
  assert.deepEqual(errors, [], 'errors in the page');
  console.log(`ok      the page from ${folder} shows "${title}"`);
  status = 0;
} catch (error) {
  console.log(`FAILED  ${error.message}`);
} finally {
  await browser.close();
  server.close();
}
process.exit(status);
