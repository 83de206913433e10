// What the page tells and sends on the person's behalf: only what they
// typed, as they type it, in words meant for them, and in a shape that
// assistive technology can read; and the module's questions answered in
// the page: a notice, a Yes/No question with its keys, and the edit box.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, Session, showRecord} from './support.mjs';

const {
  IDC_ACCOUNT_STATUS_EDIT,
  IDC_DEPARTMENTS_EDIT,
  IDC_DEPARTMENTS_GRID,
  IDC_FINANCE_RATES_DELETE,
  IDC_PREFS_NO_VISA_WARNING,
  IDD_ACCOUNT_STATUS,
  IDD_DEPARTMENTS,
  IDD_EDIT_ACCOUNT_STATUS,
  IDD_FINANCE_RATES
} = ids();
// The standard Cancel of the Win32 headers, the lists' Close.
const IDCANCEL = 2;

describe('The page on the person\'s behalf', () => {
  let s;
  const sent = [];  // the commands the page posted
  before(async () => {
    s = await Session.start();
    s.page.on('request', (r) => {
      if (r.url().endsWith('/api/command')) sent.push(JSON.parse(r.postData()).command);
    });
  });
  after(async () => {
    await s?.close();
  });

  it('sends and stores the password typed, never the asterisks shown', async () => {
    const {page} = s;
    const [password, confirmation, ok] = [1783, 1784, 1942].map((id) => s.control(3632, id));
    await s.openFromMenu('Company settings', 'Change Password');
    await password.fill('SECRET');
    await confirmation.fill('SECRX');
    await ok.click();
    await s.question().waitFor();
    await page.keyboard.press('Enter');
    await s.settled();
    // Retyped after "Passwords do not match": it goes on from the typed text.
    await password.click();
    await page.keyboard.press('End');
    await page.keyboard.type('9');
    await confirmation.fill('SECRET9');
    await ok.click();
    await s.settled();
    assert.ok(!sent.some((line) => line.includes('*')), sent.join('\n'));
    assert.equal(await s.dialog(3632).count(), 0);
  });

  it('tells a refusal in words for the person and clears it on success', async () => {
    const {page} = s;
    await s.openFromMenu('Company settings', 'Company Preferences');
    await s.dialog(3600).waitFor();
    for (const [typed, status] of [
      ['中', 'The character "中" cannot be stored in this company\'s data.'],
      ['Acme', ''],
    ]) {
      await s.control(3601, 1673).fill(typed);
      await s.settled();
      assert.equal(await page.locator('#status-message').textContent(), status);
    }
    await page.keyboard.press('Escape');
    await s.dialog(3600).waitFor({state: 'detached'});
  });

  it('sends the text as it is typed, before the click that follows', async () => {
    const {page} = s;
    await s.openFromMenu('Company settings', 'Company Preferences');
    const ok = s.control(3600, 1942);
    await s.control(3601, 1673).click();
    await page.keyboard.press('Control+A');
    await page.keyboard.press('Delete');
    await s.settled();
    assert.equal(await ok.isEnabled(), false);
    // Still in the field: OK follows the name as it is typed.
    await page.keyboard.type('Acme Two');
    await s.settled();
    assert.equal(await ok.isEnabled(), true);
    await page.keyboard.type(' Ltd');
    await ok.click();
    await s.dialog(3600).waitFor({state: 'detached'});
    assert.equal((await showRecord(s.dataDir, 'setup')).companyName, 'Acme Two Ltd');
  });

  it('offers a calendar on a date field, labelled by its prompt, and types the day chosen',
     async () => {
       const {page} = s;
       await s.openFromMenu('Company settings', 'Change Program Date');
       const field = s.dialog(3606).getByRole('textbox', {name: 'Default Program Date:'});
       const [day, month, year] = (await field.inputValue()).split('/');
       await s.control(3606, 1336).locator('.finder-button').click();
       const calendar = page.locator('.date-picker');
       assert.equal(await calendar.locator('td[aria-selected="true"]').textContent(), String(+day));
       const chosen = +day === 15 ? '16' : '15';
       await calendar.locator(`td[data-day="${chosen}"]`).click();
       await s.control(3606, 1).click();
       await s.dialog(3606).waitFor({state: 'detached'});
       assert.equal(await page.locator('#status-date').textContent(),
                    `Program date ${chosen}/${month}/${year}`);
     });

  // Texts the page drew cut or run together, each read back as shown.
  const shownWhole = [
    {
      what: 'a check box keeps the spaces beside its access key',
      menu: ['Company settings', 'Company Preferences'],
      shown: async () => {
        await s.dialog(3600).getByRole('tab', {name: 'Parameters'}).click();
        await s.settled();
        return s.page.locator(`[data-control="${IDC_PREFS_NO_VISA_WARNING}"] label`)
            .evaluate((n) => n.innerText);
      },
      expected: 'No Warning on Visa receipts',
    },
    {
      what: 'a tax code item keeps a visible space between code and rate',
      menu: ['Ledger defaults', 'Customer Defaults'],
      shown: async () => {
        await s.control(3608, 2061).locator('.gc-arrow').click();
        const item = s.page.locator('.gc-list td', {hasText: 'T1 '}).first();
        const space = await item.evaluate((td) => {
          const range = document.createRange();
          range.setStart(td.firstChild, td.textContent.indexOf(' '));
          range.setEnd(td.firstChild, td.textContent.indexOf(' ') + 1);
          return range.getBoundingClientRect().width;
        });
        await s.page.keyboard.press('Escape');
        return space >= 4;
      },
      expected: true,
    },
    {
      what: 'grid cells show their whole value',
      menu: ['Code tables', 'Currencies'],
      shown: () => s.control(3616, 1610).locator('td').evaluateAll(
          (cells) => cells.filter((td) => td.scrollWidth > td.clientWidth)
                         .map((td) => td.textContent)),
      expected: [],
    },
    {
      what: 'the edit box names what it edits and leaves the current row in sight',
      menu: ['Code tables', 'Departments'],
      shown: async () => {
        const row = s.gridRow(3615, 1373, 1);
        await row.click();
        await s.settled();
        const current = await s.control(3615, 1373).getAttribute('aria-activedescendant');
        await s.control(3615, 1413).click();
        const box = s.question();
        await box.waitFor();
        const [r, b] = [await row.boundingBox(), await box.boundingBox()];
        const shown = {
          current: current === await row.getAttribute('id'),
          title: await box.getAttribute('aria-label'),
          field: await box.getByRole('textbox', {name: 'Name (No 2):'}).count(),
          covers: b.y < r.y + r.height && r.y < b.y + b.height,
        };
        await s.page.keyboard.press('Escape');
        await box.waitFor({state: 'detached'});
        return shown;
      },
      expected: {current: true, title: 'Edit Departments', field: 1, covers: false},
    },
  ];
  for (const {what, menu, shown, expected} of shownWhole) {
    it(what, async () => {
      await s.openFromMenu(...menu);
      assert.deepEqual(await shown(), expected);
      await s.page.keyboard.press('Escape');
      await s.page.locator('.dialog').waitFor({state: 'detached'});
    });
  }

  it('reaches the menu by Alt and its letter, and the menu and toolbar by Tab', async () => {
    const {page} = s;
    for (const [keys, group] of [['Alt+C', 'Company settings'], ['Alt+T', 'Code tables']]) {
      await page.keyboard.press(keys);
      const menu = page.getByRole('menu', {name: group});
      assert.equal(await menu.evaluate((m) => m.contains(document.activeElement)), true, keys);
      await page.keyboard.press('Escape');
    }
    await page.evaluate(() => document.activeElement.blur());
    const reached = new Set();
    for (let i = 0; i < 16; ++i) {
      await page.keyboard.press('Tab');
      reached.add(await page.evaluate(() => document.activeElement.className));
    }
    assert.ok(reached.has('menu-title') && reached.has('ledger'), [...reached].join());
    const iconWidth = await page.evaluate(() => new Promise((resolve) => {
      const image = new Image();
      image.onload = () => resolve(image.naturalWidth);
      image.onerror = () => resolve(0);
      image.src = document.querySelector('link[rel="icon"]')?.href ?? '';
    }));
    assert.ok(iconWidth > 0);
    assert.deepEqual(s.pageErrors, []);
  });

  // The module's questions drawn in the page: each with its icon and
  // buttons, the rest of the page inert while it waits, answered by a key.
  const questions = [
    {
      menu: 'Account Status', list: IDD_ACCOUNT_STATUS, button: IDC_ACCOUNT_STATUS_EDIT,
      icon: 'information', buttons: ['OK'], refused: [], answer: 'Enter',
      then: IDD_EDIT_ACCOUNT_STATUS,
    },
    {
      // Escape is no answer to a Yes/No question; N is.
      menu: 'Finance Charge Rates', list: IDD_FINANCE_RATES, button: IDC_FINANCE_RATES_DELETE,
      icon: 'question', buttons: ['Yes', 'No'], refused: ['Escape'], answer: 'n',
    },
  ];
  for (const q of questions) {
    it(`asks the question of ${q.menu} in the page and takes its answer's key`, async () => {
      await s.openFromMenu('Code tables', q.menu);
      await s.control(q.list, q.button).click();
      const box = s.question();
      await box.waitFor();
      await s.settled();
      assert.equal(await box.getAttribute('role'), 'alertdialog');
      assert.equal(await box.getAttribute('data-icon'), q.icon);
      assert.deepEqual(await box.locator('.question-buttons button').allTextContents(), q.buttons);
      assert.equal(await s.page.locator('#menu-bar').evaluate((n) => n.inert), true);
      for (const key of q.refused) {
        await s.page.keyboard.press(key);
        await s.settled();
        assert.equal(await box.count(), 1, key);
      }
      await s.page.keyboard.press(q.answer);
      await box.waitFor({state: 'detached'});
      if (q.then) {
        await s.dialog(q.then).waitFor();
        await s.page.keyboard.press('Escape');
        await s.dialog(q.then).waitFor({state: 'detached'});
        await s.settled();
      }
      await s.control(q.list, IDCANCEL).click();
      await s.dialog(q.list).waitFor({state: 'detached'});
      assert.deepEqual(s.pageErrors, []);
    });
  }

  it('takes a new name in the edit box, or nothing on Escape', async () => {
    await s.openFromMenu('Code tables', 'Departments');
    const row = s.gridRow(IDD_DEPARTMENTS, IDC_DEPARTMENTS_GRID, 1);
    await row.click();
    const box = s.question();
    for (const [typed, key, shown] of [['Ignored', 'Escape', 'Sales'],
                                       ['Sales "North"', 'Enter', 'Sales "North"']]) {
      await s.control(IDD_DEPARTMENTS, IDC_DEPARTMENTS_EDIT).click();
      await box.waitFor();
      await s.settled();
      const input = box.locator('input[type="text"]');
      assert.deepEqual([await input.inputValue(), await input.getAttribute('maxlength')],
                       ['Sales', '30']);
      await s.page.keyboard.type(typed);
      await s.page.keyboard.press(key);
      await box.waitFor({state: 'detached'});
      await s.settled();
      assert.equal(await row.locator('td').nth(1).textContent(), shown);
    }
    await s.control(IDD_DEPARTMENTS, IDCANCEL).click();
    await s.dialog(IDD_DEPARTMENTS).waitFor({state: 'detached'});
    assert.deepEqual(s.pageErrors, []);
  });
});
