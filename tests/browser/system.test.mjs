// The host's own windows that the system dialogs open in the page: the
// printed System Info in a new tab, the help window at the module's topic,
// the system editor saving an INI file, and the Users grid's context menu.

import assert from 'node:assert/strict';
import {mkdtemp, readFile, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {after, before, describe, it} from 'node:test';

import {ids, Session} from './support.mjs';

const {
  IDC_ABOUT_TECH_SUPPORT,
  IDC_SYSTEM_INFO_PRINT,
  IDC_SYSTEM_INFO_SYSEDIT,
  IDC_USER_LIST_USERS_GRID,
  IDD_ABOUT,
  IDD_SYSTEM_INFO,
  IDD_USER_LIST,
  IDD_USER_LIST_USERS
} = ids();
const IDOK = 1;

describe('System windows in the browser', () => {
  let s;
  let temp;  // the station's temporary folder: printed files stay there
  before(async () => {
    temp = await mkdtemp(path.join(tmpdir(), 'vx70-temp-'));
    s = await Session.start({env: {TMPDIR: temp}});
  });
  after(async () => {
    await s?.close();
    await rm(temp, {recursive: true, force: true});
  });

  it('opens the printed System Info as a PDF in a new tab', async () => {
    await s.openFromMenu('System and users', 'System Info');
    await s.dialog(IDD_SYSTEM_INFO).waitFor();
    const [tab] = await Promise.all([
      s.page.context().waitForEvent('page'),
      s.control(IDD_SYSTEM_INFO, IDC_SYSTEM_INFO_PRINT).click(),
    ]);
    assert.match(tab.url(), /\/api\/report\/0$/);
    await tab.close();
    await s.settled();
  });

  it('saves an INI file from the system editor', async () => {
    const editor = s.page.locator('.sysedit-window');
    await s.control(IDD_SYSTEM_INFO, IDC_SYSTEM_INFO_SYSEDIT).click();
    await editor.waitFor();
    assert.deepEqual(
        await editor.getByRole('tab').allTextContents(), ['VX70.INI', 'WIN.INI']);
    await editor.getByRole('tab', {name: 'WIN.INI'}).click();
    // Enter is the editor's own: it ends a line and presses no button of the dialog below.
    await editor.locator('textarea').fill('[MR]\nDebug=1');
    await editor.locator('textarea').press('Enter');
    await s.settled();
    assert.equal(await s.dialog(IDD_SYSTEM_INFO).count(), 1);
    await editor.getByRole('button', {name: 'Save'}).click();
    await editor.waitFor({state: 'detached'});
    const file = path.join(s.dataDir, 'stations', 'STATION1', 'WIN.INI');
    assert.equal(await readFile(file, 'utf8'), '[MR]\nDebug=1\n');
    await s.control(IDD_SYSTEM_INFO, IDOK).click();
    await s.dialog(IDD_SYSTEM_INFO).waitFor({state: 'detached'});
    await s.settled();
  });

  it('opens the help window at the technical support topic', async () => {
    await s.openFromMenu('System and users', 'About');
    await s.dialog(IDD_ABOUT).waitFor();
    await s.control(IDD_ABOUT, IDC_ABOUT_TECH_SUPPORT).click();
    const help = s.page.locator('.help-window');
    await help.waitFor();
    const topic = help.frameLocator('iframe').locator('h1');
    assert.equal(await topic.textContent(), 'Technical support');
    await help.getByRole('button', {name: 'Close'}).click();
    await help.waitFor({state: 'detached'});
    await s.control(IDD_ABOUT, IDOK).click();
    await s.dialog(IDD_ABOUT).waitFor({state: 'detached'});
    await s.settled();
  });

  it('offers Remove user on the Users grid and asks before removing', async () => {
    await s.openFromMenu('System and users', 'User List');
    await s.dialog(IDD_USER_LIST).waitFor();
    await s.settled();
    await s.gridRow(IDD_USER_LIST_USERS, IDC_USER_LIST_USERS_GRID, 0).click({button: 'right'});
    const menu = s.page.locator('.context-menu');
    await menu.getByRole('menuitem', {name: 'Remove user'}).click();
    const questions = [[/could cause data corruption/, 'OK'], [/remove this user/, 'No']];
    for (const [asked, answer] of questions) {
      await s.settled();
      assert.match(await s.question().textContent(), asked);
      await s.question().getByRole('button', {name: answer}).click();
    }
    await s.question().waitFor({state: 'detached'});
    await s.control(IDD_USER_LIST, IDOK).click();
    await s.dialog(IDD_USER_LIST).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });
});
