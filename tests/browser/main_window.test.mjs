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

  const text = (id) => s.page.locator(`#${id}`).textContent();
  const accessGroup = () => s.page.locator('.menu-group[data-access-menu]');

  // Opens the dialog whose probe Init makes the calls, and closes it.
  async function probe(param) {
    assert.equal((await s.command(`open ${IDD_FINANCIAL_YEAR} ${param}`)).ok, true);
    assert.equal((await s.command(`click ${IDD_FINANCIAL_YEAR} 2`)).ok, true);
  }

  async function waitForText(id, expected) {
    await s.page.waitForFunction(
        ([node, want]) => document.getElementById(node).textContent === want, [id, expected]);
  }

  it('shows the new title, program date and financial year', async () => {
    assert.equal(await text('main-title'), 'VX70 - Wintergreen Trading Ltd');
    await probe(11);
    await waitForText('main-title', 'VX70');
    await probe(14);
    await waitForText('status-date', 'Program date 29/02/2028');
    await probe(15);
    await waitForText('status-year', 'Financial year May 2027');
    await s.settled();
    assert.deepEqual(s.pageErrors, []);
  });

  it('marks the access menu enabled or disabled in the user list group', async () => {
    assert.equal(await accessGroup().count(), 1);
    assert.equal(await accessGroup().getAttribute('data-access-menu'), 'disabled');
    assert.equal(await accessGroup().locator('.menu-title').textContent(), 'System and users');

    await probe(13);
    await s.page.waitForSelector('.menu-group[data-access-menu="enabled"]');
    assert.equal(await accessGroup().locator('.menu-note').textContent(), 'Access menu enabled');

    await probe(12);
    await s.page.waitForSelector('.menu-group[data-access-menu="disabled"]');
    assert.equal(await accessGroup().locator('.menu-note').textContent(), 'Access menu disabled');
  });
});
