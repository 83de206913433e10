// Questions of the module answered in the page: a notice, a Yes/No
// question with its keys, and the edit box.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, Session} from './support.mjs';

const {
  IDC_ACCOUNT_STATUS_EDIT,
  IDC_ACCOUNT_STATUS_GRID,
  IDC_DEPARTMENTS_EDIT,
  IDC_DEPARTMENTS_GRID,
  IDC_FINANCE_RATES_DELETE,
  IDC_FINANCE_RATES_GRID,
  IDD_ACCOUNT_STATUS,
  IDD_DEPARTMENTS,
  IDD_EDIT_ACCOUNT_STATUS,
  IDD_FINANCE_RATES
} = ids();
// The standard Cancel of the Win32 headers, the lists' Close.
const IDCANCEL = 2;

describe('Questions in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start();
  });
  after(async () => {
    await s?.close();
  });

  it('shows a notice with its icon and goes on once it is answered', async () => {
    await s.openFromMenu('Code tables', 'Account Status');
    await s.dialog(IDD_ACCOUNT_STATUS).waitFor();
    await s.settled();
    assert.equal(
        await s.gridRow(IDD_ACCOUNT_STATUS, IDC_ACCOUNT_STATUS_GRID, 0)
            .getAttribute('aria-selected'),
        'true');

    await s.control(IDD_ACCOUNT_STATUS, IDC_ACCOUNT_STATUS_EDIT).click();
    const box = s.question();
    await box.waitFor();
    await s.settled();
    assert.equal(await box.getAttribute('role'), 'alertdialog');
    assert.equal(await box.getAttribute('data-icon'), 'information');
    assert.equal(
        (await box.locator('.message-text').textContent()).trim(),
        'You cannot change the \'On Hold\' status of this item',
    );
    assert.deepEqual(await box.locator('.question-buttons button').allTextContents(), ['OK']);
    // While the question waits, the menu and the dialogs take no input.
    assert.equal(await s.page.locator('#menu-bar').evaluate((n) => n.inert), true);

    await s.page.keyboard.press('Enter');
    await box.waitFor({state: 'detached'});
    await s.dialog(IDD_EDIT_ACCOUNT_STATUS).waitFor();
    await s.page.keyboard.press('Escape');
    await s.dialog(IDD_EDIT_ACCOUNT_STATUS).waitFor({state: 'detached'});
    await s.settled();
    await s.control(IDD_ACCOUNT_STATUS, IDCANCEL).click();
    await s.dialog(IDD_ACCOUNT_STATUS).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });

  it('asks Yes or No and keeps the row when the answer is No', async () => {
    await s.openFromMenu('Code tables', 'Finance Charge Rates');
    await s.settled();
    const rows = () =>
        s.control(IDD_FINANCE_RATES, IDC_FINANCE_RATES_GRID).locator('tbody tr').allTextContents();
    const before = await rows();
    await s.gridRow(IDD_FINANCE_RATES, IDC_FINANCE_RATES_GRID, 0).click();
    await s.control(IDD_FINANCE_RATES, IDC_FINANCE_RATES_DELETE).click();
    const box = s.question();
    await box.waitFor();
    await s.settled();
    assert.equal(await box.getAttribute('data-icon'), 'question');
    assert.match(await box.locator('.message-text').textContent(), /delete this entry\?/);
    assert.deepEqual(
        await box.locator('.question-buttons button').allTextContents(), ['Yes', 'No']);
    // Escape is no answer to a Yes/No question; N is.
    await s.page.keyboard.press('Escape');
    await s.settled();
    assert.equal(await box.count(), 1);
    await s.page.keyboard.press('n');
    await box.waitFor({state: 'detached'});
    await s.settled();
    assert.deepEqual(await rows(), before);
    await s.control(IDD_FINANCE_RATES, IDCANCEL).click();
    await s.dialog(IDD_FINANCE_RATES).waitFor({state: 'detached'});
  });

  it('takes a new name in the edit box, or nothing on Escape', async () => {
    await s.openFromMenu('Code tables', 'Departments');
    const name = () =>
        s.gridRow(IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID, 1).locator('td').nth(1).textContent();
    await s.gridRow(IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID, 1).click();
    await s.control(IDD_DEPARTMENTS, IDC_DEPARTMENTS_EDIT).click();
    const box = s.question();
    await box.waitFor();
    await s.settled();
    const input = box.locator('input[type="text"]');
    assert.equal(await input.inputValue(), await name());
    assert.equal(await input.getAttribute('maxlength'), '30');
    await s.page.keyboard.type('Ignored');
    await s.page.keyboard.press('Escape');
    await box.waitFor({state: 'detached'});
    await s.settled();
    assert.notEqual(await name(), 'Ignored');

    await s.control(IDD_DEPARTMENTS, IDC_DEPARTMENTS_EDIT).click();
    await box.waitFor();
    await s.settled();
    await s.page.keyboard.type('Sales "North"');
    await s.page.keyboard.press('Enter');
    await box.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await name(), 'Sales "North"');
    await s.control(IDD_DEPARTMENTS, IDCANCEL).click();
    await s.dialog(IDD_DEPARTMENTS).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });
});
