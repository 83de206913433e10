// Customer Defaults in the browser: the discount table's cells edited as a
// person would, and the Discount tab that the smaller editions take away.

import assert from 'node:assert/strict';
import {after, describe, it} from 'node:test';

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
  const sessions = [];
  after(async () => {
    for (const s of sessions) await s.close();
  });

  function tab(s, index) {
    return s.dialog(IDD_CUSTOMER_DEFAULTS).locator(`.tabs > li[data-page="${index}"]`);
  }

  async function typeIntoCell(s, row, column, text) {
    const cell = s.gridRow(IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, row)
                     .locator(`td[data-column="${column}"]`);
    await cell.dblclick();
    await s.page.keyboard.press('Control+A');
    await s.page.keyboard.type(text);
    await s.page.keyboard.press('Enter');
    await s.settled();
  }

  it('stores the discount table typed into its cells', async () => {
    const s = await Session.start();
    sessions.push(s);
    await s.openFromMenu('Ledger defaults', 'Customer Defaults');
    await s.dialog(IDD_CUSTOMER_DEFAULTS).waitFor();
    await s.settled();
    // The credit limit has the focus on opening.
    const creditLimit = s.control(IDD_CUSTOMER_RECORD, IDC_LEDGER_CREDIT_LIMIT);
    assert.equal(await creditLimit.evaluate((n) => n.contains(document.activeElement)), true);

    await tab(s, 3).click();
    await s.settled();
    await s.gridRow(IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, 3).click();
    await s.settled();
    await typeIntoCell(s, 3, IDC_DISCOUNT_TABLE_VALUE_COLUMN, '20000');
    await typeIntoCell(s, 3, IDC_DISCOUNT_TABLE_RATE_COLUMN, '10');
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

  it('has no Discount tab in edition 4, and Ctrl+Tab passes over it', async () => {
    const s = await Session.start({serveArgs: ['--edition', '4']});
    sessions.push(s);
    await s.openFromMenu('Ledger defaults', 'Customer Defaults');
    await s.dialog(IDD_CUSTOMER_DEFAULTS).waitFor();
    assert.equal(await tab(s, 3).isHidden(), true);
    await tab(s, 2).click();
    await s.settled();
    await s.page.keyboard.press('Control+Tab');
    await s.settled();
    assert.equal(await tab(s, 0).getAttribute('aria-selected'), 'true');
    assert.deepEqual(s.pageErrors, []);
  });
});
