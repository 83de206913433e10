// The file and colour choosers, asked for by a test module whose dialogs
// put those questions when they open.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, probeModule, Session} from './support.mjs';

const ASK_FOR_FILE = 5;
const ASK_FOR_COLOUR = 6;
// The dialog whose probe handlers ask (any dialog of the resources would do).
const {IDD_CHANGE_PASSWORD} = ids();

describe('The file and colour choosers in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start({env: {VX70_MODULE: probeModule}});
  });
  after(async () => {
    await s?.close();
  });

  // The module reports what it was given in a notice, which is answered.
  async function notice() {
    const box = s.page.locator('.question[data-question="message"]');
    await box.waitFor();
    await s.settled();
    const text = await box.locator('.message-text').textContent();
    await s.page.keyboard.press('Enter');
    await box.waitFor({state: 'detached'});
    await s.settled();
    return text;
  }

  it('offers the station folder and answers with the typed name in it', async () => {
    const files = await s.page.evaluate(() => fetch('/api/files').then((r) => r.json()));
    assert.equal((await s.command(`open ${IDD_CHANGE_PASSWORD} ${ASK_FOR_FILE}`)).ok, true);
    const chooser = s.page.locator('.question[data-question="file"]');
    await chooser.waitFor();
    await s.settled();
    assert.equal(
        await chooser.locator('select option').first().textContent(), 'Bitmap file (*.BMP)');
    // Only bitmaps are listed; the folder holds none of them.
    assert.equal(
        await chooser.locator('.file-list li').count(),
        files.files.filter((f) => /\.bmp$/i.test(f)).length);
    await s.page.keyboard.type('WALL.BMP');
    await s.page.keyboard.press('Enter');
    assert.equal(await notice(), `file 1 [${files.folder}/WALL.BMP]`);
    await s.command(`close ${IDD_CHANGE_PASSWORD}`);
  });

  it('answers with the chosen colour, or nothing on Escape', async () => {
    assert.equal((await s.command(`open ${IDD_CHANGE_PASSWORD} ${ASK_FOR_COLOUR}`)).ok, true);
    const chooser = s.page.locator('.question[data-question="colour"]');
    await chooser.waitFor();
    await s.settled();
    assert.equal(await chooser.locator('.swatch.chosen').getAttribute('data-rgb'), 'ffffff');
    await chooser.locator('.swatch[data-rgb="ff8000"]').click();
    await chooser.getByRole('button', {name: 'OK'}).click();
    // Windows colours are 0x00BBGGRR.
    assert.equal(await notice(), 'colour 1 0080ff');
    await s.command(`close ${IDD_CHANGE_PASSWORD}`);

    await s.command(`open ${IDD_CHANGE_PASSWORD} ${ASK_FOR_COLOUR}`);
    await chooser.waitFor();
    await s.settled();
    await s.page.keyboard.press('Escape');
    assert.equal(await notice(), 'colour 0 ffffff');
    await s.command(`close ${IDD_CHANGE_PASSWORD}`);
    assert.deepEqual(s.pageErrors, []);
  });
});
