// Program Options in the browser: a wallpaper and a ledger colour chosen as
// a person chooses them show on the main window once OK is pressed.

import assert from 'node:assert/strict';
import {mkdir, writeFile} from 'node:fs/promises';
import path from 'node:path';
import {after, before, describe, it} from 'node:test';

import {ids, Session} from './support.mjs';

const {
  IDD_OPTIONS,
  IDD_OPTIONS_WALLPAPER,
  IDD_OPTIONS_COLOURS,
  IDC_OK,
  IDC_OPTIONS_BROWSE,
  IDC_WALLPAPER_DISPLAY,
  IDC_WALLPAPER_CENTERED,
  IDC_COLOUR_CUSTOMERS_BUTTON,
} = ids();

// A bitmap of 2 x 1 pixels, 24 bits each: blue, then red.
function tinyBitmap() {
  const bytes = Buffer.alloc(14 + 40 + 8);
  bytes.write('BM', 0, 'ascii');
  bytes.writeUInt32LE(bytes.length, 2);
  bytes.writeUInt32LE(54, 10);
  bytes.writeUInt32LE(40, 14);
  bytes.writeInt32LE(2, 18);
  bytes.writeInt32LE(1, 22);
  bytes.writeUInt16LE(1, 26);
  bytes.writeUInt16LE(24, 28);
  bytes.set([0xff, 0, 0, 0, 0, 0xff], 54);
  return bytes;
}

describe('Program Options in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start();
  });
  after(async () => {
    await s?.close();
  });

  const tab = (name) => s.dialog(IDD_OPTIONS).getByRole('tab', {name});
  async function click(dialog, control) {
    await s.control(dialog, control).click();
    await s.settled();
  }

  it('shows the chosen wallpaper and ledger colour on the main window', async () => {
    const {folder} = await s.page.evaluate(() => fetch('/api/files').then((r) => r.json()));
    await mkdir(folder, {recursive: true});
    await writeFile(path.join(folder, 'WALL.BMP'), tinyBitmap());
    await writeFile(path.join(folder, 'NOTES.TXT'), 'not a picture');
    const workspace = s.page.locator('#workspace');
    const customers = s.page.locator('#toolbar [data-ledger="Customers"]');
    assert.equal(await workspace.getAttribute('data-wallpaper'), '');
    assert.equal(await customers.getAttribute('data-colour'), 'ffffff');

    await s.openFromMenu('Ledger defaults', 'Program Options');
    await tab('Wallpaper').click();
    await s.settled();
    await click(IDD_OPTIONS_WALLPAPER, IDC_OPTIONS_BROWSE);
    // The file chooser lists the bitmaps of the station folder only.
    const files = s.page.locator('.question[data-question="file"]');
    await files.locator('.file-list li').first().waitFor();
    assert.equal(await files.locator('select option').first().textContent(), 'Bitmap file (*.BMP)');
    assert.deepEqual(await files.locator('.file-list li').allTextContents(), ['WALL.BMP']);
    await s.page.keyboard.type('WALL.BMP');
    await s.page.keyboard.press('Enter');
    await s.settled();
    await click(IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_DISPLAY);
    await click(IDD_OPTIONS_WALLPAPER, IDC_WALLPAPER_CENTERED);

    await tab('Colours').click();
    await s.settled();
    // Escape gives the colour chooser up, a colour picked in it too.
    const chooser = s.page.locator('.question[data-question="colour"]');
    await click(IDD_OPTIONS_COLOURS, IDC_COLOUR_CUSTOMERS_BUTTON);
    await chooser.locator('.swatch[data-rgb="ff8000"]').click();
    await s.page.keyboard.press('Escape');
    await chooser.waitFor({state: 'detached'});
    await s.settled();
    assert.equal(await customers.getAttribute('data-colour'), 'ffffff');
    await click(IDD_OPTIONS_COLOURS, IDC_COLOUR_CUSTOMERS_BUTTON);
    await chooser.waitFor();
    assert.equal(await chooser.locator('.swatch.chosen').getAttribute('data-rgb'), 'ffffff');
    await chooser.locator('.swatch[data-rgb="ff8000"]').click();
    await chooser.getByRole('button', {name: 'OK'}).click();
    await s.settled();
    // The colour is the main window's at once, before OK.
    await s.page.waitForSelector('#toolbar [data-ledger="Customers"][data-colour="ff8000"]');
    await click(IDD_OPTIONS, IDC_OK);

    await s.page.waitForSelector('#workspace[data-wallpaper-position="8"]');
    const drawn = await workspace.evaluate(async (node) => {
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
    assert.deepEqual(drawn, {size: [2, 1], position: '50% 50%', repeat: 'no-repeat'});
    const mark = customers.locator('.ledger-mark');
    assert.equal(await mark.evaluate((n) => getComputedStyle(n).backgroundColor), 'rgb(255, 128, 0)');
    assert.deepEqual(s.pageErrors, []);
  });
});
