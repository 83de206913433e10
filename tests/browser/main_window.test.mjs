// The main window follows what the module changes in it: the title, the
// status line's program date and financial year, and the access menu's
// state in the group of the user list.  The probe module makes the calls
// from its Init handlers, run here behind the page's back.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {ids, probeModule, Session} from './support.mjs';

const {IDD_FINANCIAL_YEAR} = ids();

describe('The main window in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start({env: {VX70_MODULE: probeModule}});
  });
  after(async () => {
    await s?.close();
  });

  // The probe's Init call, the element it changes and what that shows.
  const changes = [
    [11, '#main-title', 'VX70'],
    [14, '#status-date', 'Program date 29/02/2028'],
    [15, '#status-year', 'Financial year May 2027'],
    [13, '.menu-group[data-access-menu="enabled"] .menu-note', 'Access menu enabled'],
    [12, '.menu-group[data-access-menu="disabled"] .menu-note', 'Access menu disabled'],
  ];

  it('draws each change of the title, status line and access menu', async () => {
    assert.equal(await s.page.locator('#main-title').textContent(), 'VX70 - Wintergreen Trading Ltd');
    const access = s.page.locator('.menu-group[data-access-menu]');
    assert.equal(await access.getAttribute('data-access-menu'), 'disabled');
    assert.equal(await access.locator('.menu-title').textContent(), 'System and users');
    for (const [param, selector, text] of changes) {
      assert.equal((await s.command(`open ${IDD_FINANCIAL_YEAR} ${param}`)).ok, true);
      assert.equal((await s.command(`click ${IDD_FINANCIAL_YEAR} 2`)).ok, true);
      await s.page.waitForFunction(
          ([selector, text]) => document.querySelector(selector)?.textContent === text,
          [selector, text]);
    }
    assert.deepEqual(s.pageErrors, []);
  });
});
