// What the page tells and sends on the person's behalf: only what they
// typed, in words meant for them, as they type, and in a shape that
// assistive technology can read.

import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';

import {Session} from './support.mjs';

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
});
