// Grid cells edited in the page: the discount table's cells typed into as
// a person would, and the account finder, where the person narrows the
// list by typing and picks an account that the control account takes.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, Session, showRecord} from './support.mjs';

const {
  IDC_CONTROL_ACCOUNTS_CODE_COLUMN,
  IDC_CONTROL_ACCOUNTS_GRID,
  IDC_CUSTOMER_DISCOUNT_TABLE,
  IDC_DISCOUNT_TABLE_RATE_COLUMN,
  IDC_DISCOUNT_TABLE_VALUE_COLUMN,
  IDC_OK,
  IDD_CONTROL_ACCOUNTS,
  IDD_CUSTOMER_DEFAULTS,
  IDD_CUSTOMER_DISCOUNT,
} = ids();
// The standard Cancel of the Win32 headers, the lists' Close.
const IDCANCEL = 2;

const DEFAULT_BANK_ROW = 2;

describe('Grid cells in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start();
  });
  after(async () => {
    await s?.close();
  });

  function tab(index) {
    return s.dialog(IDD_CUSTOMER_DEFAULTS).locator(`.tabs > li[data-page="${index}"]`);
  }

  async function typeIntoCell(row, column, text) {
    const cell = s.gridRow(IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, row)
                     .locator(`td[data-column="${column}"]`);
    await cell.dblclick();
    await s.page.keyboard.press('Control+A');
    await s.page.keyboard.type(text);
    await s.page.keyboard.press('Enter');
    await s.settled();
  }

  it('stores the discount table typed into its cells', async () => {
    await s.openFromMenu('Ledger defaults', 'Customer Defaults');
    await s.dialog(IDD_CUSTOMER_DEFAULTS).waitFor();
    await s.settled();
    await tab(3).click();
    await s.settled();
    await s.gridRow(IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, 3).click();
    await s.settled();
    await typeIntoCell(3, IDC_DISCOUNT_TABLE_VALUE_COLUMN, '20000');
    await typeIntoCell(3, IDC_DISCOUNT_TABLE_RATE_COLUMN, '10');
    const cells = await s.gridRow(IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, 3)
                      .locator('td')
                      .allTextContents();
    assert.deepEqual(cells, ['Discount', '20000.00', '10.00']);

    await s.control(IDD_CUSTOMER_DEFAULTS, IDC_OK).click();
    await s.dialog(IDD_CUSTOMER_DEFAULTS).waitFor({state: 'detached'});
    const setup = await showRecord(s.dataDir, 'setup');
    assert.equal(setup.custDiscountValues[3], 20000);
    assert.equal(setup.custDiscountRates[3], 10);
    assert.deepEqual(s.pageErrors, []);
  });

  // The finder opens on the code the cell holds, or the nearest; typing
  // narrows it by code or name; Enter or a double-click chooses.
  it('finds the account for a cell and answers with the chosen code', async () => {
    await s.openFromMenu('Code tables', 'Control Accounts');
    const row = s.gridRow(IDD_CONTROL_ACCOUNTS, IDC_CONTROL_ACCOUNTS_GRID, DEFAULT_BANK_ROW);
    const codeCell = row.locator(`td[data-column="${IDC_CONTROL_ACCOUNTS_CODE_COLUMN}"]`);
    const finder = s.question();
    const codes = () =>
        finder.locator('tbody tr').evaluateAll((rows) => rows.map((r) => r.dataset.code));
    const chosen = () => finder.locator('tbody tr.highlighted').getAttribute('data-code');
    await row.click();
    await s.settled();
    for (const [typed, opensOn] of [[null, '1200'], ['1205', '1210'], ['9999', '1230']]) {
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

    await codeCell.click();
    await s.page.locator('.cell-editor .finder-button').click();
    await finder.waitFor();
    await s.settled();
    const offered = await codes();
    const narrowed = [['deposit', ['1210']], ['120', ['1200']], ['Bank', ['1200', '1210']]];
    for (const [typed, left] of narrowed) {
      await s.page.locator('.finder-search').fill(typed);
      assert.deepEqual(await codes(), offered.filter((c) => left.includes(c)), typed);
    }
    await s.page.keyboard.press('ArrowDown');
    await s.page.keyboard.press('Enter');
    await finder.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await codeCell.textContent(), '1210');
    await s.control(IDD_CONTROL_ACCOUNTS, IDCANCEL).click();
    await s.dialog(IDD_CONTROL_ACCOUNTS).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });
});
