// What the browser tests share: a fresh demonstration company, a `vx70
// serve` on it, a headless Chromium on the page, and ways to wait for the
// page to settle and to read the company's records behind its back.

import {execFile, spawn} from 'node:child_process';
import {readdirSync, readFileSync} from 'node:fs';
import {mkdir, mkdtemp, rm} from 'node:fs/promises';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {promisify} from 'node:util';

const here = path.dirname(fileURLToPath(import.meta.url));
const source = path.resolve(here, '..', '..');
// The page's npm packages live in web/, not beside the tests.
const requireFromWeb = createRequire(path.join(source, 'web', 'package.json'));
const {chromium} = requireFromWeb('playwright-core');

const run = promisify(execFile);

export const program = process.env.VX70_PROGRAM ?? path.join(source, 'build', 'bin', 'vx70');
export const probeModule =
    process.env.VX70_PROBE_MODULE ?? path.join(source, 'build', 'bin', 'probe_module.so');
export const chromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';
export const screenshotDir = process.env.VX70_SCREENSHOTS ??
    path.join(process.env.VX70_BUILD_DIR ?? path.join(source, 'build'), 'screenshots');

// The dialog and control identifiers of the resource headers
// (frame/res/ids_*.h), by name: every `#define NAME number`.
export function ids() {
  const folder = path.join(source, 'frame', 'res');
  const names = {};
  for (const file of readdirSync(folder).filter((f) => /^ids_\w+\.h$/.test(f))) {
    const text = readFileSync(path.join(folder, file), 'utf8');
    for (const [, name, value] of text.matchAll(/^#define\s+(\w+)\s+(\d+)\b/gm))
      names[name] = Number(value);
  }
  return names;
}

const SERVER_STOP_LIMIT_MS = 10000;

// `vx70 show --data DIR WHAT`: the first record, as an object.
export async function showRecord(dataDir, what) {
  const {stdout} = await run(program, ['show', '--data', dataDir, what], {
    maxBuffer: 64 * 1024 * 1024,
  });
  return JSON.parse(stdout.split('\n')[0]);
}

// Starts `vx70 serve` (on any free port unless given one); the address is
// what it prints first.
function startServer(dataDir, extraArgs, env, port = 0) {
  const args = ['serve', '--port', String(port), '--data', dataDir, ...extraArgs];
  const child =
      spawn(program, args, {stdio: ['ignore', 'pipe', 'pipe'], env: {...process.env, ...env}});
  let stderr = '';
  child.stderr.on('data', (chunk) => (stderr += chunk));
  const url = new Promise((resolve, reject) => {
    let stdout = '';
    child.stdout.on('data', (chunk) => {
      const match = /open (http:\/\/\S+) in a browser/.exec(stdout += chunk);
      if (match) resolve(match[1]);
    });
    child.on(
        'exit',
        (code, signal) => reject(
            new Error(`vx70 serve ended (${code ?? signal}) before it listened: ${stderr}`)));
    child.on('error', reject);
  });
  return {child, url, stderr: () => stderr};
}

async function stopServer(child) {
  if (child.exitCode !== null || child.signalCode !== null) return child.exitCode;
  const ended = new Promise((resolve) => child.once('exit', (code) => resolve(code)));
  child.kill('SIGTERM');
  let timer;
  const late = new Promise((resolve) => {
    timer = setTimeout(() => resolve('late'), SERVER_STOP_LIMIT_MS);
  });
  const result = await Promise.race([ended, late]);
  clearTimeout(timer);
  if (result === 'late') {
    child.kill('SIGKILL');
    await ended;
    throw new Error('vx70 serve did not end on SIGTERM');
  }
  return result;
}

// One station served to one browser page, on a company of its own.
export class Session {
  static async start({serveArgs = [], env = {}} = {}) {
    const session = new Session();
    try {
      session.root = await mkdtemp(path.join(tmpdir(), 'vx70-browser-'));
      session.dataDir = path.join(session.root, 'company');
      await run(program, ['init', session.dataDir, '--demo']);
      session.serveArgs = serveArgs;
      session.env = env;
      session.server = startServer(session.dataDir, serveArgs, env);
      session.url = await session.server.url;
      session.browser = await chromium.launch({
        executablePath: chromiumPath,
        headless: true,
        args: (process.env.CHROMIUM_ARGS ?? '').split(' ').filter(Boolean),
      });
      session.page = await session.browser.newPage({viewport: {width: 1024, height: 768}});
      session.pageErrors = [];
      session.page.on('pageerror', (error) => session.pageErrors.push(error.message));
      await session.page.goto(session.url);
      await session.settled();
    } catch (error) {
      await session.close().catch(() => {});
      throw error;
    }
    return session;
  }

  // Closes the browser and the server, whatever state they are in, and
  // removes the company.  The server must end cleanly on SIGTERM.
  async close() {
    const failures = [];
    if (this.browser) await this.browser.close().catch((e) => failures.push(e));
    if (this.server) {
      const code = await stopServer(this.server.child).catch((e) => failures.push(e));
      if (code !== 0 && code !== undefined && !failures.length)
        failures.push(new Error(`vx70 serve ended with ${code}: ${this.server.stderr()}`));
    }
    if (this.root) await rm(this.root, {recursive: true, force: true});
    if (failures.length) throw failures[0];
  }

  // Ends the server as a person closing it would, runs `meanwhile`, and
  // starts it again on the same port, where the page finds it again.
  async restartServer(meanwhile) {
    const code = await stopServer(this.server.child);
    if (code !== 0) throw new Error(`vx70 serve ended with ${code}: ${this.server.stderr()}`);
    await meanwhile();
    const port = new URL(this.url).port;
    this.server = startServer(this.dataDir, this.serveArgs, this.env, port);
    await this.server.url;
  }

  // The page has drawn the latest state and has no command on its way.
  async settled() {
    await this.page.waitForFunction(
        () => document.body.dataset.ready === '1' && !document.body.hasAttribute('data-busy'),
    );
  }

  dialog(id) {
    return this.page.locator(`.dialog[data-dialog="${id}"]`);
  }

  control(dialogId, controlId) {
    // A dialog's own controls lie in its body, a page's in the page.
    return this.page.locator(
        `.dialog[data-dialog="${dialogId}"] > .window-body > [data-control="${controlId}"], ` +
            `.page[data-dialog="${dialogId}"] > [data-control="${controlId}"]`,
    );
  }

  // Runs a command behind the page's back, as a script would; the page
  // learns of it from the station's events.
  async command(line) {
    return this.page.evaluate(
        (command) => fetch('/api/command', {
                       method: 'POST',
                       headers: {'Content-Type': 'application/json'},
                       body: JSON.stringify({command}),
                     }).then((r) => r.json()),
        line,
    );
  }

  // What the station holds, not what the page draws.
  async state() {
    return this.page.evaluate(() => fetch('/api/state').then((r) => r.json()));
  }

  // Clicks a control and waits for the page to settle.
  async click(dialogId, controlId) {
    await this.control(dialogId, controlId).click();
    await this.settled();
  }

  // Presses a button that closes its dialog, and waits until it has gone.
  async closeBy(dialogId, controlId) {
    await this.control(dialogId, controlId).click();
    await this.dialog(dialogId).waitFor({state: 'detached'});
    await this.settled();
  }

  // Closes the dialog by the Escape key (its Cancel).
  async escape(dialogId) {
    await this.page.keyboard.press('Escape');
    await this.dialog(dialogId).waitFor({state: 'detached'});
    await this.settled();
  }

  question() {
    return this.page.locator('.question');
  }

  // Opens a dialog as a person does: the menu's group, then its item.
  async openFromMenu(group, item) {
    await this.page.getByRole('menubar').getByRole('menuitem', {name: group}).click();
    await this.page.getByRole('menu', {name: group}).getByRole('menuitem', {name: item}).click();
    await this.settled();
  }

  // The grid's row of that number, and its cells' texts.
  gridRow(dialogId, gridId, row) {
    return this.control(dialogId, gridId).locator(`tbody tr[data-row="${row}"]`);
  }

  async screenshot(dialogId, name) {
    await mkdir(screenshotDir, {recursive: true});
    const file = path.join(screenshotDir, `${name}.png`);
    await this.dialog(dialogId).screenshot({path: file});
    return file;
  }
}
