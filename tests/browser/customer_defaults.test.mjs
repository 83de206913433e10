// Customer Defaults in the browser: the discount table's cells edited as a
// person would.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, Session, showRecord} from './support.mjs';

const {
  IDC_CUSTOMER_DISCOUNT_TABLE,
  IDC_DISCOUNT_TABLE_RATE_COLUMN,
  IDC_DISCOUNT_TABLE_VALUE_COLUMN,
  IDC_LEDGER_CREDIT_LIMIT,
  IDC_OK,
  IDD_CUSTOMER_DEFAULTS,
  IDD_CUSTOMER_DISCOUNT,
  IDD_CUSTOMER_RECORD,
} = ids();

describe('Customer Defaults in the browser', () => {
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
    // The credit limit has the focus on opening.
    const creditLimit = s.control(IDD_CUSTOMER_RECORD, IDC_LEDGER_CREDIT_LIMIT);
    assert.equal(await creditLimit.evaluate((n) => n.contains(document.activeElement)), true);

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
});
