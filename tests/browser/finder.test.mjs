// The account finder: the person narrows the list by typing and picks an
// account, which the control account takes.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, Session} from './support.mjs';

const {
  IDC_CONTROL_ACCOUNTS_CODE_COLUMN,
  IDC_CONTROL_ACCOUNTS_GRID,
  IDD_CONTROL_ACCOUNTS
} = ids();
// The standard Cancel of the Win32 headers, the lists' Close.
const IDCANCEL = 2;

const DEFAULT_BANK_ROW = 2;

describe('The account finder in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start();
  });
  after(async () => {
    await s?.close();
  });

  it('filters by code or name and answers with the chosen code', async () => {
    await s.openFromMenu('Code tables', 'Control Accounts');
    const row = s.gridRow(IDD_CONTROL_ACCOUNTS, IDC_CONTROL_ACCOUNTS_GRID, DEFAULT_BANK_ROW);
    const codeCell = row.locator(`td[data-column="${IDC_CONTROL_ACCOUNTS_CODE_COLUMN}"]`);
    await row.click();
    await s.settled();
    await codeCell.click();
    await s.page.locator('.cell-editor .finder-button').click();
    const finder = s.question();
    await finder.waitFor();
    await s.settled();
    assert.equal(await finder.getAttribute('data-question'), 'finder');
    const codes = () =>
        finder.locator('tbody tr').evaluateAll((rows) => rows.map((r) => r.dataset.code));
    const offered = await codes();
    assert.ok(offered.includes('1200') && offered.includes('1210'), offered.join());

    await s.page.keyboard.type('deposit');
    assert.deepEqual(await codes(), ['1210']);
    await s.page.locator('.finder-search').fill('120');
    assert.deepEqual(await codes(), ['1200']);
    await s.page.locator('.finder-search').fill('Bank');
    assert.deepEqual(await codes(), offered.filter((c) => ['1200', '1210'].includes(c)));
    await s.page.keyboard.press('ArrowDown');
    await s.page.keyboard.press('Enter');
    await finder.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await codeCell.textContent(), '1210');

    await s.control(IDD_CONTROL_ACCOUNTS, IDCANCEL).click();
    await s.dialog(IDD_CONTROL_ACCOUNTS).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });

  it('opens on the code the cell holds, or the nearest, and a double-click chooses', async () => {
    await s.openFromMenu('Code tables', 'Control Accounts');
    const row = s.gridRow(IDD_CONTROL_ACCOUNTS, IDC_CONTROL_ACCOUNTS_GRID, DEFAULT_BANK_ROW);
    const codeCell = row.locator(`td[data-column="${IDC_CONTROL_ACCOUNTS_CODE_COLUMN}"]`);
    const finder = s.question();
    const chosen = () => finder.locator('tbody tr.highlighted').getAttribute('data-code');
    await row.click();
    await s.settled();
    // What the cell holds when the finder opens, and the account it opens on.
    const held = await codeCell.textContent();
    for (const [typed, opensOn] of [[null, held], ['1205', '1210'], ['9999', '1230']]) {
      await codeCell.click();
      if (typed !== null) await s.page.locator('.cell-editor input').fill(typed);
      await s.page.locator('.cell-editor .finder-button').click();
      await finder.waitFor();
      await s.settled();
      assert.equal(await chosen(), opensOn);
      if (typed !== '9999') await s.page.keyboard.press('Escape');
    }
    await finder.locator('tbody tr[data-code="1200"]').dblclick();
    await finder.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await codeCell.textContent(), '1200');
    await s.control(IDD_CONTROL_ACCOUNTS, IDCANCEL).click();
    await s.dialog(IDD_CONTROL_ACCOUNTS).waitFor({state: 'detached'});
  });
});
