// Pictures of four dialogs as the page draws them, for a person to look
// at: each takes its template's size (a tabbed dialog grows only as far as
// its pages' controls need).

import assert from 'node:assert/strict';
import {describe, it} from 'node:test';

import {ids, Session} from './support.mjs';

const {IDD_COMPANY_PREFS, IDD_CONTROL_ACCOUNTS, IDD_CUSTOMER_DEFAULTS, IDD_TAX_CODES} = ids();

const DIALOGS = [
  [IDD_COMPANY_PREFS, 'Company settings', 'Company Preferences', 'company-preferences'],
  [IDD_CUSTOMER_DEFAULTS, 'Ledger defaults', 'Customer Defaults', 'customer-defaults'],
  [IDD_TAX_CODES, 'Code tables', 'Tax Codes', 'tax-codes'],
  [IDD_CONTROL_ACCOUNTS, 'Code tables', 'Control Accounts', 'control-accounts'],
];

const MOST_GROWTH_PX = 40;

describe('Dialogs drawn in the browser', () => {
  // A station of its own for each, so that one dialog's state cannot spoil
  // another's picture.
  for (const [id, group, item, name] of DIALOGS)
    it(`draws ${item} at its template's size`, async () => {
      const s = await Session.start();
      try {
        await s.openFromMenu(group, item);
        await s.dialog(id).waitFor();
        await s.settled();
        const state = await s.page.evaluate(() => fetch('/api/state').then((r) => r.json()));
        const [, , width, height] = state.dialogs.find((x) => x.dialog === id).rect;
        const body = await s.dialog(id).locator('> .window-body').boundingBox();
        assert.ok(
            body.width >= width && body.width <= width + MOST_GROWTH_PX, `width ${body.width}`);
        assert.ok(
            body.height >= height && body.height <= height + MOST_GROWTH_PX,
            `height ${body.height}`);
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
        assert.deepEqual(s.pageErrors, []);
      } finally {
        await s.close();
      }
    });
});
