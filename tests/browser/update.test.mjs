// Another station's change reaches the page, which names what changed.

import assert from 'node:assert/strict';
import {execFile} from 'node:child_process';
import {after, before, describe, it} from 'node:test';
import {promisify} from 'node:util';

import {program, Session} from './support.mjs';

const run = promisify(execFile);

describe('Change notices in the browser', () => {
  let s;
  before(async () => {
    s = await Session.start({serveArgs: ['--multi-user']});
  });
  after(async () => {
    await s?.close();
  });

  // What another station stores, and what the page then says changed.
  const changes = [
    {
      what: 'the company settings',
      script: ['open 3632', 'click 3632 1942'],
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
      const seq = Number(await s.page.evaluate(() => document.body.dataset.seq));
      const other = run(
          program, ['drive', '-', '--data', s.dataDir, '--multi-user', '--station', 'STATION2']);
      other.child.stdin.end([...script, ''].join('\n'));
      await other;
      await s.page.waitForFunction(
          (seq) => Number(document.body.dataset.seq) > seq &&
              document.getElementById('status-message').textContent !== '',
          seq);
      await s.settled();
      assert.equal(await s.page.locator('#status-message').textContent(), notice);
    });
  }
});
