// The keyboard in the browser: the page hands every key to the station in
// the order pressed, the station decides what it does, and a dialog that a
// modal dialog has disabled takes nothing from the page.  A rate the field
// refuses is drawn back as the station holds it.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, Session} from './support.mjs';

const {
  IDC_EDIT_TAX_CODE_IN_USE,
  IDC_EDIT_TAX_CODE_RATE,
  IDC_TAX_CODES_EDIT,
  IDC_TAX_CODES_GRID,
  IDD_EDIT_TAX_CODE,
  IDD_FINANCIAL_YEAR,
  IDD_TAX_CODES
} = ids();

describe('The keyboard in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start();
  });
  after(async () => {
    await s?.close();
  });

  // What the station holds, not what the page draws.
  async function stationGrid() {
    const state = await s.page.evaluate(() => fetch('/api/state').then((r) => r.json()));
    const list = state.dialogs.find((d) => d.dialog === IDD_TAX_CODES);
    return list.controls.find((c) => c.id === IDC_TAX_CODES_GRID);
  }

  it('moves the Tax Codes list ten rows for ten quick presses of Down', async () => {
    await s.openFromMenu('Code tables', 'Tax Codes');
    await s.gridRow(IDD_TAX_CODES, IDC_TAX_CODES_GRID, 0).click();
    await s.settled();
    assert.equal((await stationGrid()).current.row, 0);
    for (let i = 0; i < 10; ++i) await s.page.keyboard.press('ArrowDown');
    await s.settled();
    assert.equal((await stationGrid()).current.row, 10);
    assert.equal(
        await s.gridRow(IDD_TAX_CODES, IDC_TAX_CODES_GRID, 10).getAttribute('aria-selected'),
        'true');
  });

  it('sends nothing for a click on the list while its editor is open', async () => {
    await s.page.keyboard.press('Enter');  // Edit, the list's default button
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor();
    await s.settled();
    // Move the editor off the list, then double-click a row of the list.
    const bar = await s.dialog(IDD_EDIT_TAX_CODE).locator('.title-bar-text').boundingBox();
    await s.page.mouse.move(bar.x + 10, bar.y + bar.height / 2);
    await s.page.mouse.down();
    await s.page.mouse.move(bar.x + 10 + 400, bar.y + bar.height / 2);
    await s.page.mouse.up();
    const row = await s.gridRow(IDD_TAX_CODES, IDC_TAX_CODES_GRID, 3).boundingBox();

    const sent = [];
    const onRequest = (request) => {
      if (request.url().endsWith('/api/command')) sent.push(request.postDataJSON().command);
    };
    s.page.on('request', onRequest);
    await s.page.mouse.dblclick(row.x + 8, row.y + row.height / 2);
    await s.settled();
    s.page.off('request', onRequest);
    assert.deepEqual(sent, []);
    assert.equal((await stationGrid()).current.row, 10);
    assert.equal(await s.dialog(IDD_EDIT_TAX_CODE).count(), 1);

    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor({state: 'detached'});
    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_TAX_CODES).waitFor({state: 'detached'});
    await s.settled();
  });

  it('keeps Financial Year open on Escape while its Cancel is disabled', async () => {
    // The demonstration company has posted transactions.
    await s.openFromMenu('Company settings', 'Financial Year');
    await s.dialog(IDD_FINANCIAL_YEAR).waitFor();
    await s.page.keyboard.press('Escape');
    // The station beeps: the frame flashes, and nothing is refused.
    await s.page.waitForSelector(`.dialog[data-dialog="${IDD_FINANCIAL_YEAR}"].beep`);
    await s.settled();
    assert.equal(await s.dialog(IDD_FINANCIAL_YEAR).count(), 1);
    assert.notEqual(
        await s.page.locator('#status-message').getAttribute('data-kind'), 'error',
        await s.page.locator('#status-message').textContent());

    await s.page.keyboard.press('Enter');  // OK just closes it
    await s.dialog(IDD_FINANCIAL_YEAR).waitFor({state: 'detached'});
    await s.settled();
    assert.deepEqual(s.pageErrors, []);
  });

  // Editing tax code T1: a refused rate is drawn back as the station holds
  // it, so that OK never stores a rate the person no longer sees; and
  // Space after Tab goes where the station's focus went.
  it('draws a refused rate back and sends Space where Tab moved the focus', async () => {
    await s.openFromMenu('Code tables', 'Tax Codes');
    await s.gridRow(IDD_TAX_CODES, IDC_TAX_CODES_GRID, 1).click();
    await s.settled();
    await s.control(IDD_TAX_CODES, IDC_TAX_CODES_EDIT).click();
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor();
    await s.settled();
    const rate = s.control(IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_RATE);
    const inUse = s.control(IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_IN_USE).locator('input');
    const ticked = await inUse.isChecked();
    await rate.click();
    await s.page.keyboard.press('Control+A');
    await s.page.keyboard.type('abc');
    await s.settled();
    assert.equal(await rate.inputValue(), '17.50');

    await s.page.keyboard.press('Control+A');
    await s.page.keyboard.type('99');
    await s.page.keyboard.press('Tab');
    await s.page.keyboard.press('Space');
    await s.settled();
    assert.equal(await inUse.evaluate((n) => n === document.activeElement), true);
    assert.equal(await inUse.isChecked(), !ticked);
    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor({state: 'detached'});
    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_TAX_CODES).waitFor({state: 'detached'});
    await s.settled();
    assert.deepEqual(s.pageErrors, []);
  });
});
