// What the page tells and sends on the person's behalf: only what they
// typed, in words meant for them, as they type, and in a shape that
// assistive technology can read.

import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import {once} from 'node:events';
import {after, before, describe, it} from 'node:test';

import {ids, program, Session, showRecord} from './support.mjs';

const {IDC_PREFS_NO_VISA_WARNING} = ids();
const CHANGE_PASSWORD = 3632;
const NEW_PASSWORD = 1783;
const CONFIRM_PASSWORD = 1784;
const PASSWORD_OK = 1942;

// The commands the page posts, as the server receives them.
function recordCommands(page) {
  const sent = [];
  page.on('request', (r) => {
    if (r.url().endsWith('/api/command')) sent.push(JSON.parse(r.postData()).command);
  });
  return sent;
}

// A second station that opens a dialog and holds it (and its multi-user
// action) until `release` is called.
async function holdDialog(dataDir, dialog) {
  const other = spawn(
      program, ['drive', '-', '--data', dataDir, '--multi-user', '--station', 'STATION2'],
      {stdio: ['pipe', 'pipe', 'inherit']});
  let out = '';
  other.stdout.on('data', (chunk) => (out += chunk));
  other.stdin.write(`open ${dialog}\n`);
  while (!out.includes('"granted"')) await once(other.stdout, 'data');
  return async () => {
    other.stdin.end();
    await once(other, 'exit');
  };
}

const eventNames = (answer) => answer.events.map((e) => e.event?.event ?? e.event);

describe('The page on the person\'s behalf', () => {
  let s;
  let sent;
  before(async () => {
    s = await Session.start({serveArgs: ['--multi-user']});
    sent = recordCommands(s.page);
  });
  after(async () => {
    await s?.close();
  });

  it('sends and stores the password typed, never the asterisks shown', async () => {
    const {page} = s;
    await s.openFromMenu('Company settings', 'Change Password');
    await s.control(CHANGE_PASSWORD, NEW_PASSWORD).click();
    await page.keyboard.type('SECRET');
    await s.control(CHANGE_PASSWORD, CONFIRM_PASSWORD).click();
    await page.keyboard.type('SECRX');
    await s.control(CHANGE_PASSWORD, PASSWORD_OK).click();
    await s.question().waitFor();
    await page.keyboard.press('Enter');
    await s.settled();
    // Retyped after "Passwords do not match": the new field goes on from
    // what the person typed there.
    await s.control(CHANGE_PASSWORD, NEW_PASSWORD).click();
    await page.keyboard.press('End');
    await page.keyboard.type('9');
    await s.control(CHANGE_PASSWORD, CONFIRM_PASSWORD).fill('SECRET9');
    await s.control(CHANGE_PASSWORD, PASSWORD_OK).click();
    await s.settled();
    assert.ok(!sent.some((line) => line.includes('*')), sent.join('\n'));
    assert.equal(await s.dialog(CHANGE_PASSWORD).count(), 0);
    // The dialog offers the stored password: confirming it succeeds only
    // when it is what was typed.
    await s.command(`open ${CHANGE_PASSWORD}`);
    await s.command(`type ${CHANGE_PASSWORD} ${CONFIRM_PASSWORD} "SECRET9"`);
    const ok = await s.command(`click ${CHANGE_PASSWORD} ${PASSWORD_OK}`);
    assert.deepEqual(eventNames(ok), ['update-sent', 'dialog']);
    await s.settled();
  });

  it('says which station keeps a dialog from opening', async () => {
    const release = await holdDialog(s.dataDir, 3600);
    try {
      await s.openFromMenu('Company settings', 'Company Preferences');
      const box = s.question();
      assert.equal(await box.count(), 1);
      assert.equal(await s.dialog(3600).count(), 0);
      assert.match(
          await box.locator('.message-text').textContent(),
          /^Company Preferences cannot be opened now: Station STATION2 \(user MANAGER\) is using it/);
      await s.page.keyboard.press('Enter');
      await box.waitFor({state: 'detached'});
    } finally {
      await release();
    }
  });

  it('tells a refusal in words for the person and clears it on success', async () => {
    const {page} = s;
    const status = page.locator('#status-message');
    await s.openFromMenu('Code tables', 'Tax Codes');
    await s.gridRow(3619, 1610, 1).click();
    await s.control(3619, 1413).click();
    await s.dialog(3620).waitFor();
    await s.settled();
    const rate = s.control(3620, 1962);
    await rate.fill('abc');
    await page.keyboard.press('Tab');
    await s.settled();
    assert.equal(await status.textContent(), 'This field takes a number: "abc" is not one it can hold.');
    await rate.fill('1.5');
    await page.keyboard.press('Tab');
    await s.settled();
    assert.equal(await status.textContent(), '');
    await page.keyboard.press('Escape');
    await s.dialog(3620).waitFor({state: 'detached'});
    await page.keyboard.press('Escape');
    await s.dialog(3619).waitFor({state: 'detached'});
  });

  it('sends the text as it is typed, before the click that follows', async () => {
    const {page} = s;
    await s.openFromMenu('Company settings', 'Company Preferences');
    const name = s.control(3601, 1673);
    const ok = s.control(3600, 1942);
    await name.click();
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

  it('offers a calendar on a date field and types the chosen day into it', async () => {
    const {page} = s;
    await s.openFromMenu('Company settings', 'Change Program Date');
    const field = s.control(3606, 1336);
    const [day, month, year] = (await field.locator('input').inputValue()).split('/');
    await field.locator('.finder-button').click();
    const calendar = page.locator('.date-picker');
    assert.equal(await calendar.locator('td[aria-selected="true"]').textContent(), String(+day));
    const chosen = +day === 15 ? '16' : '15';
    await calendar.locator(`td[data-day="${chosen}"]`).click();
    await s.settled();
    assert.equal(await calendar.count(), 0);
    await s.control(3606, 1).click();
    await s.dialog(3606).waitFor({state: 'detached'});
    assert.equal(
        await page.locator('#status-date').textContent(), `Program date ${chosen}/${month}/${year}`);
  });

  // Texts the page drew cut or run together, each read back as shown.
  const wholeTexts = [
    {
      what: 'a check box keeps the spaces beside its access key',
      menu: ['Company settings', 'Company Preferences'],
      shown: async () => {
        await s.dialog(3600).getByRole('tab', {name: 'Parameters'}).click();
        await s.settled();
        const label = s.page.locator(`[data-control="${IDC_PREFS_NO_VISA_WARNING}"] label`);
        return label.evaluate((n) => n.innerText);
      },
      expected: 'No Warning on Visa receipts',
    },
    {
      what: 'a tax code item keeps a visible space between code and rate',
      menu: ['Ledger defaults', 'Customer Defaults'],
      shown: async () => {
        await s.control(3608, 2061).locator('.gc-arrow').click();
        await s.settled();
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
          (cells) => cells.filter((td) => td.scrollWidth > td.clientWidth).map((td) => td.textContent)),
      expected: [],
    },
    {
      what: 'the edit box names what it edits and leaves the row in sight',
      menu: ['Code tables', 'Departments'],
      shown: async () => {
        const row = s.gridRow(3615, 1373, 1);
        await row.click();
        await s.control(3615, 1413).click();
        const box = s.question();
        await box.waitFor();
        await s.settled();
        const [a, b] = [await row.boundingBox(), await box.boundingBox()];
        const covers = b.y < a.y + a.height && a.y < b.y + b.height;
        const shown = {
          title: await box.getAttribute('aria-label'),
          label: await box.getByRole('textbox', {name: 'Name (No 2):'}).count(),
          covers,
        };
        await s.page.keyboard.press('Escape');
        await box.waitFor({state: 'detached'});
        return shown;
      },
      expected: {title: 'Edit Departments', label: 1, covers: false},
    },
  ];
  for (const {what, menu, shown, expected} of wholeTexts) {
    it(what, async () => {
      await s.openFromMenu(...menu);
      const open = s.page.locator('.dialog');
      assert.deepEqual(await shown(), expected);
      await s.page.keyboard.press('Escape');
      await open.waitFor({state: 'detached'});
    });
  }

  it('reaches the menu by Alt and its letter, and the menu and toolbar by Tab', async () => {
    const {page} = s;
    for (const [keys, group] of [['Alt+C', 'Company settings'], ['Alt+T', 'Code tables']]) {
      await page.keyboard.press(keys);
      const menu = page.getByRole('menu', {name: group});
      assert.equal(await menu.isVisible(), true, keys);
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
    const icon = await page.evaluate(() => new Promise((resolve) => {
      const image = new Image();
      image.onload = () => resolve(image.naturalWidth);
      image.onerror = () => resolve(0);
      image.src = document.querySelector('link[rel="icon"]')?.href ?? '';
    }));
    assert.ok(icon > 0);
  });

  it('names fields by their label, message boxes by their message, and tells the current row',
     async () => {
       const {page} = s;
       await s.openFromMenu('Company settings', 'Change Program Date');
       assert.equal(
           await s.dialog(3606).getByRole('textbox', {name: 'Default Program Date:'}).count(), 1);
       await page.keyboard.press('Escape');
       await s.dialog(3606).waitFor({state: 'detached'});

       await s.openFromMenu('Code tables', 'Finance Charge Rates');
       const grid = s.control(3223, 1610);
       await s.gridRow(3223, 1610, 0).click();
       await s.settled();
       const current = await grid.getAttribute('aria-activedescendant');
       assert.equal(await page.locator(`#${current}`).getAttribute('data-row'), '0');
       await s.control(3223, 1362).click();
       const box = s.question();
       await box.waitFor();
       const message = await box.locator('.message-text').textContent();
       assert.equal(await page.getByRole('alertdialog', {name: message}).count(), 1);
       await page.keyboard.press('n');
       await box.waitFor({state: 'detached'});
       await page.keyboard.press('Escape');
       await s.dialog(3223).waitFor({state: 'detached'});
     });
});
