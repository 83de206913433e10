// Questions of the module answered in the page: a notice, a Yes/No
// question with its keys, and the edit box.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {Session} from './support.mjs';

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
    await s.dialog(901).waitFor();
    await s.settled();
    assert.equal(await s.gridRow(901, 1610, 0).getAttribute('aria-selected'), 'true');

    await s.control(901, 1413).click();
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
    await s.dialog(9026).waitFor();
    await s.settled();
    assert.equal(await s.control(9026, 1010).locator('input').isDisabled(), true);

    await s.page.keyboard.press('Escape');
    await s.dialog(9026).waitFor({state: 'detached'});
    await s.settled();
    await s.control(901, 2).click();
    await s.dialog(901).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });

  it('asks Yes or No and keeps the row when the answer is No', async () => {
    await s.openFromMenu('Code tables', 'Finance Charge Rates');
    await s.settled();
    const rows = () => s.control(3223, 1610).locator('tbody tr').allTextContents();
    const before = await rows();
    await s.gridRow(3223, 1610, 0).click();
    await s.control(3223, 1362).click();
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
    await s.control(3223, 2).click();
    await s.dialog(3223).waitFor({state: 'detached'});
  });

  it('takes a new name in the edit box, or nothing on Escape', async () => {
    await s.openFromMenu('Code tables', 'Departments');
    const name = () => s.gridRow(3615, 1373, 1).locator('td').nth(1).textContent();
    await s.gridRow(3615, 1373, 1).click();
    await s.control(3615, 1413).click();
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

    await s.control(3615, 1413).click();
    await box.waitFor();
    await s.settled();
    await s.page.keyboard.type('Sales "North"');
    await s.page.keyboard.press('Enter');
    await box.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await name(), 'Sales "North"');
    await s.control(3615, 2).click();
    await s.dialog(3615).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });
});
