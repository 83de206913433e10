// The page of one served station as a person uses it in a browser: the
// dialogs it draws, keys and clicks handed to the station in order, what
// it sends on the person's behalf (passwords typed, never their
// asterisks), the module's questions, the date picker, the finder and the
// grid's cell editor, the main window's wallpaper and colours, the host's
// own windows, and the station's stream (other stations' notices, patches
// drawn in place, a lost connection), and the main window following what
// the module changes in it.  The stored records are the C++ tests'
// business; these check what only a browser shows.

import assert from 'node:assert/strict';
import {execFile} from 'node:child_process';
import {mkdir, mkdtemp, readFile, rm, writeFile} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {after, before, describe, it} from 'node:test';
import {promisify} from 'node:util';

import {ids, probeModule, program, Session, showRecord} from './support.mjs';

const I = ids();
// The standard OK and Cancel of the Win32 headers, the lists' Close.
const IDOK = 1;
const IDCANCEL = 2;
const LOST = 'The connection to the station was lost; trying again.';
const run = promisify(execFile);

// A bitmap of 2 x 1 pixels, 24 bits each: blue, then red (its 62 bytes:
// file header, info header of 40 bytes, two pixels padded to 8 bytes).
const TINY_BITMAP = Buffer.from(
    'Qk0+AAAAAAAAADYAAAAoAAAAAgAAAAEAAAABABgAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA/wAAAAD/AAA=',
    'base64');

describe('The page in the browser', () => {
  let s;
  let temp;         // the station's temporary folder: printed files stay there
  const sent = [];  // the commands the page posted
  before(async () => {
    temp = await mkdtemp(path.join(tmpdir(), 'vx70-temp-'));
    s = await Session.start({serveArgs: ['--multi-user'], env: {TMPDIR: temp}});
    s.page.on('request', (r) => {
      if (r.url().endsWith('/api/command')) sent.push(JSON.parse(r.postData()).command);
    });
  });
  after(async () => {
    await s?.close();
    await rm(temp, {recursive: true, force: true});
  });

  // Waits until the element shows `want` as its property or attribute `what`.
  function shows(selector, what, want) {
    return s.page.waitForFunction(([selector, what, want]) => {
      const node = document.querySelector(selector);
      return node && (what in node ? node[what] : node.getAttribute(what)) === want;
    }, [selector, what, want]);
  }
  const status = () => s.page.locator('#status-message');

  // Each dialog takes its template's size (a tabbed dialog grows only as
  // far as its pages' controls need), and pictures of them are kept for a
  // person to look at.
  const drawn = [
    [I.IDD_COMPANY_PREFS, 'Company settings', 'Company Preferences', 'company-preferences'],
    [I.IDD_CUSTOMER_DEFAULTS, 'Ledger defaults', 'Customer Defaults', 'customer-defaults'],
    [I.IDD_TAX_CODES, 'Code tables', 'Tax Codes', 'tax-codes'],
    [I.IDD_CONTROL_ACCOUNTS, 'Code tables', 'Control Accounts', 'control-accounts'],
  ];
  for (const [id, group, item, name] of drawn)
    it(`draws ${item} at its template's size`, async () => {
      await s.openFromMenu(group, item);
      const state = await s.state();
      const [, , width, height] = state.dialogs.find((x) => x.dialog === id).rect;
      const body = await s.dialog(id).locator('> .window-body').boundingBox();
      assert.ok(body.width >= width && body.width <= width + 40, `width ${body.width}`);
      assert.ok(body.height >= height && body.height <= height + 40, `height ${body.height}`);
      if (!state.dialogs.some((x) => x.container === id))
        assert.deepEqual([body.width, body.height], [width, height]);
      // Every control of the dialog and of its front page lies inside it.
      const outside = await s.dialog(id).evaluate((dialog) => {
        const frame = dialog.querySelector('.window-body').getBoundingClientRect();
        return [...dialog.querySelectorAll('.ctl')]
            .filter((n) => n.offsetParent && !n.closest('.page[hidden]'))
            .filter((n) => {
              const r = n.getBoundingClientRect();
              return r.left < frame.left || r.top < frame.top || r.right > frame.right + 0.5 ||
                  r.bottom > frame.bottom + 0.5;
            })
            .map((n) => n.dataset.control);
      });
      assert.deepEqual(outside, []);
      assert.equal(
          await s.page.evaluate(() => document.fonts.check('11px "Pixelated MS Sans Serif"')),
          true);
      await s.screenshot(id, name);
      await s.escape(id);
    });

  // The keyboard: every key goes to the station in the order pressed, and a
  // dialog that a modal dialog has disabled takes nothing from the page.
  const taxGrid = async () => (await s.state())
                                  .dialogs.find((d) => d.dialog === I.IDD_TAX_CODES)
                                  .controls.find((c) => c.id === I.IDC_TAX_CODES_GRID);

  it('moves the Tax Codes list ten rows for ten quick presses of Down', async () => {
    await s.openFromMenu('Code tables', 'Tax Codes');
    await s.gridRow(I.IDD_TAX_CODES, I.IDC_TAX_CODES_GRID, 0).click();
    await s.settled();
    for (let i = 0; i < 10; ++i) await s.page.keyboard.press('ArrowDown');
    await s.settled();
    assert.equal((await taxGrid()).current.row, 10);
    assert.equal(
        await s.gridRow(I.IDD_TAX_CODES, I.IDC_TAX_CODES_GRID, 10).getAttribute('aria-selected'),
        'true');
  });

  it('sends nothing for a click on the list while its editor is open', async () => {
    await s.page.keyboard.press('Enter');  // Edit, the list's default button
    await s.dialog(I.IDD_EDIT_TAX_CODE).waitFor();
    await s.settled();
    // Move the editor off the list, then double-click a row of the list.
    const bar = await s.dialog(I.IDD_EDIT_TAX_CODE).locator('.title-bar-text').boundingBox();
    await s.page.mouse.move(bar.x + 10, bar.y + bar.height / 2);
    await s.page.mouse.down();
    await s.page.mouse.move(bar.x + 10 + 400, bar.y + bar.height / 2);
    await s.page.mouse.up();
    const row = await s.gridRow(I.IDD_TAX_CODES, I.IDC_TAX_CODES_GRID, 3).boundingBox();
    const before = sent.length;
    await s.page.mouse.dblclick(row.x + 8, row.y + row.height / 2);
    await s.settled();
    assert.deepEqual(sent.slice(before), []);
    assert.equal((await taxGrid()).current.row, 10);
    await s.escape(I.IDD_EDIT_TAX_CODE);
    await s.escape(I.IDD_TAX_CODES);
  });

  it('flashes Financial Year on Escape while its Cancel is disabled', async () => {
    await s.openFromMenu('Company settings', 'Financial Year');  // posted transactions
    await s.page.keyboard.press('Escape');
    await s.page.waitForSelector(`.dialog[data-dialog="${I.IDD_FINANCIAL_YEAR}"].beep`);
    await s.page.keyboard.press('Enter');  // OK just closes it
    await s.dialog(I.IDD_FINANCIAL_YEAR).waitFor({state: 'detached'});
  });

  // Editing tax code T1: a refused rate is drawn back as the station holds
  // it, so that OK never stores a rate the person no longer sees; and
  // Space after Tab goes where the station's focus went.
  it('draws a refused rate back and sends Space where Tab moved the focus', async () => {
    await s.openFromMenu('Code tables', 'Tax Codes');
    await s.gridRow(I.IDD_TAX_CODES, I.IDC_TAX_CODES_GRID, 1).click();
    await s.settled();
    await s.click(I.IDD_TAX_CODES, I.IDC_TAX_CODES_EDIT);
    await s.dialog(I.IDD_EDIT_TAX_CODE).waitFor();
    await s.settled();
    const rate = s.control(I.IDD_EDIT_TAX_CODE, I.IDC_EDIT_TAX_CODE_RATE);
    const inUse = s.control(I.IDD_EDIT_TAX_CODE, I.IDC_EDIT_TAX_CODE_IN_USE).locator('input');
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
    await s.escape(I.IDD_EDIT_TAX_CODE);
    await s.escape(I.IDD_TAX_CODES);
  });

  // The discount table's cells typed into as a person would: the cell
  // editor commits on Enter, and the row is drawn from what the station holds.
  it('takes the discount table typed into its cells', async () => {
    const row = s.gridRow(I.IDD_CUSTOMER_DISCOUNT, I.IDC_CUSTOMER_DISCOUNT_TABLE, 3);
    await s.openFromMenu('Ledger defaults', 'Customer Defaults');
    await s.dialog(I.IDD_CUSTOMER_DEFAULTS).locator('.tabs > li[data-page="3"]').click();
    await s.settled();
    await row.click();
    await s.settled();
    for (const [column, text] of [
             [I.IDC_DISCOUNT_TABLE_VALUE_COLUMN, '20000'],
             [I.IDC_DISCOUNT_TABLE_RATE_COLUMN, '10']]) {
      await row.locator(`td[data-column="${column}"]`).dblclick();
      await s.page.keyboard.press('Control+A');
      await s.page.keyboard.type(text);
      await s.page.keyboard.press('Enter');
      await s.settled();
    }
    assert.deepEqual(await row.locator('td').allTextContents(), ['Discount', '20000.00', '10.00']);
    await s.escape(I.IDD_CUSTOMER_DEFAULTS);
  });

  // The finder opens on the code the cell holds, or the nearest; typing
  // narrows it by code or name; Enter or a double-click chooses.
  it('finds the account for a cell and answers with the chosen code', async () => {
    await s.openFromMenu('Code tables', 'Control Accounts');
    const row = s.gridRow(I.IDD_CONTROL_ACCOUNTS, I.IDC_CONTROL_ACCOUNTS_GRID, 2);  // the bank
    const codeCell = row.locator(`td[data-column="${I.IDC_CONTROL_ACCOUNTS_CODE_COLUMN}"]`);
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
    for (const [typed, left] of [
             ['deposit', ['1210']], ['120', ['1200']], ['Bank', ['1200', '1210']]]) {
      await s.page.locator('.finder-search').fill(typed);
      assert.deepEqual(await codes(), offered.filter((c) => left.includes(c)), typed);
    }
    await s.page.keyboard.press('ArrowDown');
    await s.page.keyboard.press('Enter');
    await finder.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await codeCell.textContent(), '1210');
    await s.closeBy(I.IDD_CONTROL_ACCOUNTS, IDCANCEL);
  });

  it('sends the password typed, never the asterisks shown', async () => {
    const [password, confirmation, ok] = [1783, 1784, 1942].map((id) => s.control(3632, id));
    await s.openFromMenu('Company settings', 'Change Password');
    await password.fill('SECRET');
    await confirmation.fill('SECRX');
    await ok.click();
    await s.question().waitFor();
    await s.page.keyboard.press('Enter');
    await s.settled();
    // Retyped after "Passwords do not match": it goes on from the typed text.
    await password.click();
    await s.page.keyboard.press('End');
    await s.page.keyboard.type('9');
    await confirmation.fill('SECRET9');
    await ok.click();
    await s.settled();
    assert.ok(!sent.some((line) => line.includes('*')), sent.join('\n'));
    assert.equal(await s.dialog(3632).count(), 0);
  });

  // A refusal is told in words for the person and cleared on success; the
  // text goes to the station as it is typed, before the click that follows.
  it('tells a refusal in words and sends the text as it is typed', async () => {
    await s.openFromMenu('Company settings', 'Company Preferences');
    for (const [typed, told] of [
             ['中', 'The character "中" cannot be stored in this company\'s data.'],
             ['Acme', ''],
    ]) {
      await s.control(3601, 1673).fill(typed);
      await s.settled();
      assert.equal(await status().textContent(), told);
    }
    const ok = s.control(3600, 1942);
    await s.control(3601, 1673).click();
    await s.page.keyboard.press('Control+A');
    await s.page.keyboard.press('Delete');
    await s.settled();
    assert.equal(await ok.isEnabled(), false);
    // Still in the field: OK follows the name as it is typed.
    await s.page.keyboard.type('Acme Two');
    await s.settled();
    assert.equal(await ok.isEnabled(), true);
    await s.page.keyboard.type(' Ltd');
    await ok.click();
    await s.dialog(3600).waitFor({state: 'detached'});
    assert.equal((await showRecord(s.dataDir, 'setup')).companyName, 'Acme Two Ltd');
  });

  it('offers a calendar on a date field, labelled by its prompt, and types the day chosen',
     async () => {
       await s.openFromMenu('Company settings', 'Change Program Date');
       const field = s.dialog(3606).getByRole('textbox', {name: 'Default Program Date:'});
       const [day, month, year] = (await field.inputValue()).split('/');
       await s.control(3606, 1336).locator('.finder-button').click();
       const calendar = s.page.locator('.date-picker');
       assert.equal(await calendar.locator('td[aria-selected="true"]').textContent(), String(+day));
       const chosen = +day === 15 ? '16' : '15';
       await calendar.locator(`td[data-day="${chosen}"]`).click();
       await s.closeBy(3606, IDOK);
       assert.equal(
           await s.page.locator('#status-date').textContent(),
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
        return s.page.locator(`[data-control="${I.IDC_PREFS_NO_VISA_WARNING}"] label`)
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
      shown: () => s.control(3616, 1610)
                       .locator('td')
                       .evaluateAll(
                           (cells) => cells.filter((td) => td.scrollWidth > td.clientWidth)
                                          .map((td) => td.textContent)),
      expected: [],
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

  // The edit box names what it edits, leaves the current row in sight, and
  // takes a new name on Enter, or nothing on Escape.
  it('takes a new name in the edit box, or nothing on Escape', async () => {
    await s.openFromMenu('Code tables', 'Departments');
    const row = s.gridRow(I.IDD_DEPARTMENTS, I.IDC_DEPARTMENTS_GRID, 1);
    await row.click();
    await s.settled();
    const current = await s.control(I.IDD_DEPARTMENTS, I.IDC_DEPARTMENTS_GRID)
                        .getAttribute('aria-activedescendant');
    assert.equal(current, await row.getAttribute('id'));
    const box = s.question();
    for (const [typed, key, shown] of [
             ['Ignored', 'Escape', 'Sales'], ['Sales "North"', 'Enter', 'Sales "North"']]) {
      await s.click(I.IDD_DEPARTMENTS, I.IDC_DEPARTMENTS_EDIT);
      await box.waitFor();
      await s.settled();
      const input = box.getByRole('textbox', {name: 'Name (No 2):'});
      assert.equal(await box.getAttribute('aria-label'), 'Edit Departments');
      assert.deepEqual(
          [await input.inputValue(), await input.getAttribute('maxlength')], ['Sales', '30']);
      const [r, b] = [await row.boundingBox(), await box.boundingBox()];
      assert.ok(b.y >= r.y + r.height || r.y >= b.y + b.height, 'the row stays in sight');
      await s.page.keyboard.type(typed);
      await s.page.keyboard.press(key);
      await box.waitFor({state: 'detached'});
      await s.settled();
      assert.equal(await row.locator('td').nth(1).textContent(), shown);
    }
    await s.closeBy(I.IDD_DEPARTMENTS, IDCANCEL);
  });

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
    const iconWidth =
        await page.evaluate(() => new Promise((resolve) => {
                              const image = new Image();
                              image.onload = () => resolve(image.naturalWidth);
                              image.onerror = () => resolve(0);
                              image.src = document.querySelector('link[rel="icon"]')?.href ?? '';
                            }));
    assert.ok(iconWidth > 0);
  });

  // The module's questions drawn in the page: each with its icon and
  // buttons, the rest of the page inert while it waits, answered by a key.
  const questions = [
    {
      menu: 'Account Status',
      list: I.IDD_ACCOUNT_STATUS,
      button: I.IDC_ACCOUNT_STATUS_EDIT,
      icon: 'information',
      buttons: ['OK'],
      refused: [],
      answer: 'Enter',
      then: I.IDD_EDIT_ACCOUNT_STATUS,
    },
    {
      // Escape is no answer to a Yes/No question; N is.
      menu: 'Finance Charge Rates',
      list: I.IDD_FINANCE_RATES,
      button: I.IDC_FINANCE_RATES_DELETE,
      icon: 'question',
      buttons: ['Yes', 'No'],
      refused: ['Escape'],
      answer: 'n',
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
        await s.escape(q.then);
      }
      await s.closeBy(q.list, IDCANCEL);
    });
  }

  it('shows the chosen wallpaper and ledger colour on the main window', async () => {
    const {folder} = await s.page.evaluate(() => fetch('/api/files').then((r) => r.json()));
    await mkdir(folder, {recursive: true});
    await writeFile(path.join(folder, 'WALL.BMP'), TINY_BITMAP);
    await writeFile(path.join(folder, 'NOTES.TXT'), 'not a picture');
    const workspace = s.page.locator('#workspace');
    const customers = s.page.locator('#toolbar [data-ledger="Customers"]');
    assert.equal(await workspace.getAttribute('data-wallpaper'), '');
    assert.equal(await customers.getAttribute('data-colour'), 'ffffff');
    const tab = (name) => s.dialog(I.IDD_OPTIONS).getByRole('tab', {name});

    await s.openFromMenu('Ledger defaults', 'Program Options');
    await tab('Wallpaper').click();
    await s.settled();
    await s.click(I.IDD_OPTIONS_WALLPAPER, I.IDC_OPTIONS_BROWSE);
    // The file chooser lists the bitmaps of the station folder only.
    const files = s.page.locator('.question[data-question="file"]');
    await files.locator('.file-list li').first().waitFor();
    assert.equal(await files.locator('select option').first().textContent(), 'Bitmap file (*.BMP)');
    assert.deepEqual(await files.locator('.file-list li').allTextContents(), ['WALL.BMP']);
    await s.page.keyboard.type('WALL.BMP');
    await s.page.keyboard.press('Enter');
    await s.settled();
    await s.click(I.IDD_OPTIONS_WALLPAPER, I.IDC_WALLPAPER_DISPLAY);
    await s.click(I.IDD_OPTIONS_WALLPAPER, I.IDC_WALLPAPER_CENTERED);

    await tab('Colours').click();
    await s.settled();
    // Escape gives the colour chooser up, a colour picked in it too.
    const chooser = s.page.locator('.question[data-question="colour"]');
    await s.click(I.IDD_OPTIONS_COLOURS, I.IDC_COLOUR_CUSTOMERS_BUTTON);
    await chooser.locator('.swatch[data-rgb="ff8000"]').click();
    await s.page.keyboard.press('Escape');
    await chooser.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await customers.getAttribute('data-colour'), 'ffffff');
    await s.click(I.IDD_OPTIONS_COLOURS, I.IDC_COLOUR_CUSTOMERS_BUTTON);
    await chooser.waitFor();
    assert.equal(await chooser.locator('.swatch.chosen').getAttribute('data-rgb'), 'ffffff');
    await chooser.locator('.swatch[data-rgb="ff8000"]').click();
    await chooser.getByRole('button', {name: 'OK'}).click();
    await s.settled();
    // The colour is the main window's at once, before OK.
    await s.page.waitForSelector('#toolbar [data-ledger="Customers"][data-colour="ff8000"]');
    await s.click(I.IDD_OPTIONS, I.IDC_OK);

    await s.page.waitForSelector('#workspace[data-wallpaper-position="8"]');
    const wallpaper = await workspace.evaluate(async (node) => {
      const style = getComputedStyle(node);
      const url = /url\("?([^")]+)"?\)/.exec(style.backgroundImage)[1];
      const image = new Image();
      image.src = url;
      await image.decode();
      return {
        size: [image.naturalWidth, image.naturalHeight],
        position: style.backgroundPosition,
        repeat: style.backgroundRepeat,
      };
    });
    assert.deepEqual(wallpaper, {size: [2, 1], position: '50% 50%', repeat: 'no-repeat'});
    const mark = customers.locator('.ledger-mark');
    assert.equal(
        await mark.evaluate((n) => getComputedStyle(n).backgroundColor), 'rgb(255, 128, 0)');
  });

  // The host's own windows: the printed System Info in a new tab, the
  // system editor saving an INI file, the help window at the module's
  // topic, and the Users grid's context menu.
  it('opens the printed System Info as a PDF in a new tab', async () => {
    await s.openFromMenu('System and users', 'System Info');
    const [tab] = await Promise.all([
      s.page.context().waitForEvent('page'),
      s.control(I.IDD_SYSTEM_INFO, I.IDC_SYSTEM_INFO_PRINT).click(),
    ]);
    assert.match(tab.url(), /\/api\/report\/0$/);
    await tab.close();
    await s.settled();
  });

  it('saves an INI file from the system editor', async () => {
    const editor = s.page.locator('.sysedit-window');
    await s.control(I.IDD_SYSTEM_INFO, I.IDC_SYSTEM_INFO_SYSEDIT).click();
    await editor.waitFor();
    assert.deepEqual(await editor.getByRole('tab').allTextContents(), ['VX70.INI', 'WIN.INI']);
    await editor.getByRole('tab', {name: 'WIN.INI'}).click();
    // Enter is the editor's own: it ends a line and presses no button of the dialog below.
    await editor.locator('textarea').fill('[MR]\nDebug=1');
    await editor.locator('textarea').press('Enter');
    await s.settled();
    assert.equal(await s.dialog(I.IDD_SYSTEM_INFO).count(), 1);
    await editor.getByRole('button', {name: 'Save'}).click();
    await editor.waitFor({state: 'detached'});
    const file = path.join(s.dataDir, 'stations', 'STATION1', 'WIN.INI');
    assert.equal(await readFile(file, 'utf8'), '[MR]\nDebug=1\n');
    await s.closeBy(I.IDD_SYSTEM_INFO, IDOK);
  });

  it('opens the help window at the technical support topic', async () => {
    await s.openFromMenu('System and users', 'About');
    await s.control(I.IDD_ABOUT, I.IDC_ABOUT_TECH_SUPPORT).click();
    const help = s.page.locator('.help-window');
    await help.waitFor();
    assert.equal(
        await help.frameLocator('iframe').locator('h1').textContent(), 'Technical support');
    await help.getByRole('button', {name: 'Close'}).click();
    await help.waitFor({state: 'detached'});
    await s.closeBy(I.IDD_ABOUT, IDOK);
  });

  it('offers Remove user on the Users grid and asks before removing', async () => {
    await s.openFromMenu('System and users', 'User List');
    await s.gridRow(I.IDD_USER_LIST_USERS, I.IDC_USER_LIST_USERS_GRID, 0).click({button: 'right'});
    await s.page.locator('.context-menu').getByRole('menuitem', {name: 'Remove user'}).click();
    for (const [asked, answer] of [
             [/could cause data corruption/, 'OK'], [/remove this user/, 'No']]) {
      await s.settled();
      assert.match(await s.question().textContent(), asked);
      await s.question().getByRole('button', {name: answer}).click();
    }
    await s.question().waitFor({state: 'detached'});
    await s.closeBy(I.IDD_USER_LIST, IDOK);
  });

  // The station's stream: what another station stores is named in words.
  const changes = [
    {
      what: 'the company settings',
      script: ['open 3632', 'type 3632 1783 "NEW"', 'type 3632 1784 "NEW"', 'click 3632 1942'],
      notice: 'Another station changed the company\'s settings; the values shown were reloaded.',
    },
    {
      what: 'a tax code',
      script: [
        'open 3619', 'select 3619 1610 5', 'click 3619 1413', 'type 3620 1962 "3.25"',
        'click 3620 1942', 'click 3619 2'
      ],
      notice: 'Another station changed the control accounts or a code table; ' +
          'the values shown were reloaded.',
    },
  ];
  for (const {what, script, notice} of changes) {
    it(`names what changed when another station stored ${what}`, async () => {
      const other = run(
          program, ['drive', '-', '--data', s.dataDir, '--multi-user', '--station', 'STATION2']);
      other.child.stdin.end([...script, ''].join('\n'));
      await other;
      await shows('#status-message', 'textContent', notice);
    });
  }

  it('redraws what another command changed', async () => {
    await s.openFromMenu('Company settings', 'Company Preferences');
    const address = `.page[data-dialog="${I.IDD_PREFS_ADDRESS}"]`;
    const cases = [
      [
        `click ${I.IDD_PREFS_ADDRESS} ${I.IDC_PREFS_PRINT_NAME}`,
        `${address} > [data-control="${I.IDC_PREFS_PRINT_NAME}"] input`, 'checked', true
      ],
      [
        `type ${I.IDD_PREFS_ADDRESS} ${I.IDC_PREFS_TELEPHONE} "0161 496 0000"`,
        `${address} > [data-control="${I.IDC_PREFS_TELEPHONE}"]`, 'value', '0161 496 0000'
      ],
      [
        `page ${I.IDD_COMPANY_PREFS} 2`,
        `.dialog[data-dialog="${I.IDD_COMPANY_PREFS}"] .tabs [data-page="2"]`, 'aria-selected',
        'true'
      ],
    ];
    for (const [command, selector, what, want] of cases) {
      assert.equal((await s.command(command)).ok, true, command);
      await shows(selector, what, want);
    }
  });

  it('says the stream was lost and draws the whole state once it is back', async () => {
    await s.restartServer(async () => {
      await shows('#status-message', 'textContent', LOST);
      const script = `open ${I.IDD_COMPANY_PREFS}\n` +
          `type ${I.IDD_PREFS_ADDRESS} ${I.IDC_PREFS_COMPANY_NAME} "Renamed Ltd"\n` +
          `click ${I.IDD_COMPANY_PREFS} ${I.IDC_OK}\n`;
      const other = run(program, ['drive', '-', '--data', s.dataDir]);
      other.child.stdin.end(script);
      await other;
    });
    await shows('#main-title', 'textContent', 'VX70 - Renamed Ltd');
    await s.settled();
    // The station that came back has no dialog open, and the page says
    // nothing of a lost connection any more.
    assert.equal(await s.dialog(I.IDD_COMPANY_PREFS).count(), 0);
    assert.notEqual(await status().textContent(), LOST);
    assert.deepEqual(s.pageErrors, []);
  });
});

// The probe module's Init handlers change the title, the status line's
// program date and financial year, and the access menu's state, run here
// behind the page's back.
describe('The main window in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start({env: {VX70_MODULE: probeModule}});
  });
  after(async () => {
    await s?.close();
  });

  it('draws each change of the title, status line and access menu', async () => {
    assert.equal(
        await s.page.locator('#main-title').textContent(), 'VX70 - Wintergreen Trading Ltd');
    const access = s.page.locator('.menu-group[data-access-menu]');
    assert.equal(await access.getAttribute('data-access-menu'), 'disabled');
    assert.equal(await access.locator('.menu-title').textContent(), 'System and users');
    // The probe's Init call, the element it changes and what that shows.
    for (const [param, selector, text] of [
             [11, '#main-title', 'VX70'],
             [14, '#status-date', 'Program date 29/02/2028'],
             [15, '#status-year', 'Financial year May 2027'],
             [13, '.menu-group[data-access-menu="enabled"] .menu-note', 'Access menu enabled'],
             [12, '.menu-group[data-access-menu="disabled"] .menu-note', 'Access menu disabled'],
    ]) {
      assert.equal((await s.command(`open ${I.IDD_FINANCIAL_YEAR} ${param}`)).ok, true);
      assert.equal((await s.command(`click ${I.IDD_FINANCIAL_YEAR} 2`)).ok, true);
      await s.page.waitForFunction(
          ([selector, text]) => document.querySelector(selector)?.textContent === text,
          [selector, text]);
    }
    assert.deepEqual(s.pageErrors, []);
  });
});
