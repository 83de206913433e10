// Editing a tax code through the page: a refused rate is drawn back as
// stored, and an edit given up with Escape stores nothing.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, Session, showRecord} from './support.mjs';

const {
  IDC_EDIT_TAX_CODE_IN_USE,
  IDC_EDIT_TAX_CODE_RATE,
  IDC_TAX_CODES_EDIT,
  IDC_TAX_CODES_GRID,
  IDD_EDIT_TAX_CODE,
  IDD_TAX_CODES
} = ids();
// The standard Cancel of the Win32 headers, the lists' Close.
const IDCANCEL = 2;

describe('Tax Codes in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start();
  });
  after(async () => {
    await s?.close();
  });

  it('shows a rate that the field refuses as stored, and OK stores nothing', async () => {
    const stored = await showRecord(s.dataDir, 'control');
    await s.openFromMenu('Code tables', 'Tax Codes');
    await s.gridRow(IDD_TAX_CODES, IDC_TAX_CODES_GRID, 2).click();
    await s.settled();
    await s.control(IDD_TAX_CODES, IDC_TAX_CODES_EDIT).click();
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor();
    await s.settled();

    // The station refuses the text; the field must not go on showing it,
    // or the OK after it would store a rate the person no longer sees.
    const rate = s.control(IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_RATE);
    const before = await rate.inputValue();
    await rate.click();
    await s.page.keyboard.press('Control+A');
    await s.page.keyboard.type('abc');
    await s.settled();
    assert.equal(await rate.inputValue(), before, 'the field shows the stored rate again');
    await s.page.keyboard.press('Enter');
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor({state: 'detached'});
    assert.deepEqual(await showRecord(s.dataDir, 'control'), stored);

    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_TAX_CODES).waitFor({state: 'detached'});
    await s.settled();
  });

  it('gives an edit up with Escape and stores nothing', async () => {
    const stored = await showRecord(s.dataDir, 'control');
    await s.openFromMenu('Code tables', 'Tax Codes');
    await s.gridRow(IDD_TAX_CODES, IDC_TAX_CODES_GRID, 1).click();
    await s.settled();
    await s.page.keyboard.press('Enter');  // Edit is the list's default button
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor();
    await s.settled();

    // Type a rate, Tab on to the check box (the rate reaches the station)
    // and tick it with Space at once: Space goes where the station's focus
    // went.  Then give the whole edit up.
    const inUse = s.control(IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_IN_USE).locator('input');
    const ticked = await inUse.isChecked();
    await s.control(IDD_EDIT_TAX_CODE, IDC_EDIT_TAX_CODE_RATE).click();
    await s.page.keyboard.press('Control+A');
    await s.page.keyboard.type('99');
    await s.page.keyboard.press('Tab');
    await s.page.keyboard.press('Space');
    await s.settled();
    assert.equal(await inUse.evaluate((n) => n === document.activeElement), true);
    assert.equal(await inUse.isChecked(), !ticked);

    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_EDIT_TAX_CODE).waitFor({state: 'detached'});
    await s.settled();
    assert.deepEqual(await showRecord(s.dataDir, 'control'), stored);
    const cells =
        await s.gridRow(IDD_TAX_CODES, IDC_TAX_CODES_GRID, 1).locator('td').allTextContents();
    assert.equal(cells[1], '17.50');

    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_TAX_CODES).waitFor({state: 'detached'});
    await s.settled();
    assert.deepEqual(s.pageErrors, []);
  });
});
